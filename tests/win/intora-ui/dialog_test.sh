#!/usr/bin/env bash
# The number-selection dialog end to end: Intora.exe started with an open-chat link while
# messenger stand-ins answer numbers, the dialog driven by intora_dialog_driver.exe, and the
# records that the stand-ins received checked. Leaves a screenshot of the dialog in
# $SUITE_BUILD/artifacts/intora-dialog.png.
set -euo pipefail
: "${SUITE_BIN:?}" "${SUITE_TOOLS:?}" "${SUITE_BUILD:?}"

run() { "$SUITE_TOOLS/wine-run" "$@"; }
work=$(mktemp -d "$SUITE_BUILD/intora-dialog.XXXXXX")
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
fail() { echo "FAIL: $*"; exit 1; }
hex() { iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n'; }
zeros() { printf '%*s' $(($1 * 2)) '' | tr ' ' 0; }

friend="张三"
# The open-chat record: command 11022, empty login name and password, the friend name.
name_hex=$(printf '%s' "$friend" | hex)
expected="0e2b0000$(zeros 100)${name_hex}$(zeros $((50 - ${#name_hex} / 2)))"

messengers=()
cleanup() {
  touch "$work/stop"
  for p in "${messengers[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

start_messenger() {  # name number
  rm -f "$work/stop"
  run "$SUITE_BIN/mupa.exe" --number "$2" --record "$(winpath "$work/$1.txt")" \
    --stop "$(winpath "$work/stop")" --lifetime 90000 >/dev/null 2>&1 &
  messengers+=($!)
  for _ in $(seq 1 150); do
    grep -q '^started' "$work/$1.txt" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "messenger $1 did not start"
}

stop_messengers() {
  touch "$work/stop"
  for p in "${messengers[@]}"; do wait "$p" 2>/dev/null || true; done
  messengers=()
  rm -f "$work/stop"
}

start_intora() {
  timeout 60 "$SUITE_TOOLS/wine-run" "$SUITE_BIN/Intora.exe" \
    "mupa://OpenTalkForm/&FriendName=$friend" >/dev/null 2>&1 &
  intora=$!
}

finish_intora() {
  local rc=0
  wait "$intora" || rc=$?
  [ "$rc" -eq 0 ] || fail "Intora ended with $rc"
}

drive() { run "$SUITE_BIN/intora_dialog_driver.exe" "$@" | iconv -f GBK -t UTF-8 | tr -d '\r'; }

sends() { grep -c '^copydata' "$work/$1.txt" || true; }

hwnd_of() { sed -n 's/^started .* hwnd=\([0-9]*\) .*/\1/p' "$work/$1.txt"; }

# 1. Two numbers: both rows listed (20 pixels high) in window order, the topmost first; the
#    chosen row's window gets the record, the other nothing.
start_messenger a 11111
start_messenger b -22222
start_intora
out=$(drive wait 20000 messengers)
echo "$out"
grep -q '^dialog caption=请选择号码 rows=2 height=20 ' <<<"$out" || fail "dialog rows"
first=$(sed -n 's/^messenger //p' <<<"$out" | head -1)
if [ "$first" = "$(hwnd_of a)" ]; then top=11111; else top=-22222; fi
grep -q "^row 0 $top\$" <<<"$out" || fail "topmost window's number first"
grep -q '^row 1 ' <<<"$out" || fail "second row"
row_b=$(sed -n 's/^row \([01]\) -22222$/\1/p' <<<"$out")
out=$(drive wait 5000 select "$row_b")
rect=$(sed -n 's/.* rect=\([-0-9,]*\)$/\1/p' <<<"$out")
mkdir -p "$SUITE_BUILD/artifacts"
IFS=, read -r x y w h <<<"$rect"
display=$("$SUITE_TOOLS/xvfb-ensure")
DISPLAY=$display import -window root "$work/screen.png"
convert "$work/screen.png" -crop "$((w + 40))x$((h + 40))+$((x - 20))+$((y - 20))" +repage \
  "$SUITE_BUILD/artifacts/intora-dialog.png"
echo "screenshot: $SUITE_BUILD/artifacts/intora-dialog.png"
drive wait 5000 ok gone 10000
finish_intora
[ "$(sends b)" = 1 ] || fail "chosen window got $(sends b) records"
[ "$(sends a)" = 0 ] || fail "other window got a record"
grep -q "^copydata self=1 dwData=0 cbData=154 data=$expected\$" "$work/b.txt" || fail "record bytes"

# 2. OK without a selection: the message, the dialog stays; the close button sends nothing.
start_intora
out=$(drive wait 20000 ok message 10000 wait 5000 close gone 10000)
echo "$out"
grep -q '^message caption=Intora text=请选择号码$' <<<"$out" || fail "no-selection message"
finish_intora
[ "$(sends a)" = 0 ] && [ "$(sends b)" = 1 ] || fail "close sent something"

# 3. A right-button drag leaves the window; a left-button drag moves it by the offset. A
#    double click on a row sends like OK.
start_intora
out=$(drive wait 20000 drag right 20 15 drag left 20 15 dblclick 0 gone 10000)
echo "$out"
grep -qx 'moved 0 0' <<<"$out" || fail "right drag moved the window"
grep -qx 'moved 20 15' <<<"$out" || fail "left drag"
finish_intora
[ $(( $(sends a) + $(sends b) )) = 2 ] || fail "double click sent no record"
stop_messengers

# 4. Two windows answering the same number: both rows listed; either choice goes to the
#    topmost of the two.
rm -f "$work/a.txt" "$work/b.txt"
start_messenger a 33333
start_messenger b 33333
start_intora
out=$(drive wait 20000 messengers select 1 ok gone 10000)
echo "$out"
grep -q '^row 0 33333$' <<<"$out" && grep -q '^row 1 33333$' <<<"$out" || fail "same number rows"
first=$(sed -n 's/^messenger //p' <<<"$out" | head -1)
finish_intora
if [ "$first" = "$(hwnd_of a)" ]; then topmost=a other=b; else topmost=b other=a; fi
[ "$(sends $topmost)" = 1 ] && [ "$(sends $other)" = 0 ] || fail "same number: not the topmost"
stop_messengers
echo "PASS"
