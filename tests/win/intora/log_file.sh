#!/usr/bin/env bash
# The exception log: "MuPa.log" lands beside the executable whatever the working directory,
# entries are appended, and a log file that cannot be written is no error.
set -uo pipefail
work=$SUITE_BUILD/test-work/intora-log
rm -rf "$work"
mkdir -p "$work/app" "$work/elsewhere"
cp "$SUITE_BIN/intora_log_writer.exe" "$work/app/"
log=$work/app/MuPa.log
winpath() { local p=$1; echo "Z:${p//\//\\}"; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

run_writer() {  # message method
  (cd "$work/elsewhere" && timeout 60 "$SUITE_TOOLS/wine-run" "$work/app/intora_log_writer.exe" "$@")
}

# date, optionally a blank and a time, the full-width colon, then the report line.
entry_re() {  # method
  echo "^[0-9]{4}/[0-9]{1,2}/[0-9]{1,2}( [0-9]{1,2}:[0-9]{2}:[0-9]{2})?：异常:boom 模块:UIControls 单元:OLVEXImageButton 方法:$1 位置:$"
}
as_utf8() { iconv -f GBK -t UTF-8 "$1" | tr -d '\r'; }

run_writer boom Paint >/dev/null || fail "first report: exit code $?"
[ -f "$log" ] || fail "no MuPa.log beside the program"
[ -e "$work/elsewhere/MuPa.log" ] && fail "MuPa.log written into the working directory"
[ "$(wc -l < "$log")" = 1 ] || fail "first report: expected one line, got $(wc -l < "$log")"
as_utf8 "$log" | grep -Eq "$(entry_re Paint)" || fail "first entry: $(as_utf8 "$log")"
[ "$(tail -c 2 "$log" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "entry does not end in CR LF"
first=$(head -n 1 "$log")

run_writer boom DrawButton >/dev/null || fail "second report: exit code $?"
[ "$(wc -l < "$log")" = 2 ] || fail "second report: expected two lines"
[ "$(head -n 1 "$log")" = "$first" ] || fail "second report changed the first line"
as_utf8 "$log" | sed -n 2p | grep -Eq "$(entry_re DrawButton)" || fail "second entry: $(as_utf8 "$log")"

# A log file held open without sharing by another program: the entry is lost quietly.
cp "$SUITE_BIN/intora_driver.exe" "$work/"
before=$(md5sum < "$log")
"$SUITE_TOOLS/wine-run" "$work/intora_driver.exe" hold "$(winpath "$log")" "$(winpath "$work/release")" 60000 \
  > "$work/hold.out" 2>&1 &
holder=$!
for _ in $(seq 1 150); do grep -q held "$work/hold.out" 2>/dev/null && break; sleep 0.1; done
if grep -q held "$work/hold.out"; then
  run_writer boom Paint >/dev/null || fail "log held open: exit code $?"
  [ "$(md5sum < "$log")" = "$before" ] || fail "log held open elsewhere was changed"
else
  fail "the helper could not hold the log open: $(cat "$work/hold.out")"
fi
touch "$work/release"
wait "$holder" 2>/dev/null

# A read-only log file: nothing written, nothing reported, normal exit. Root writes to files
# without write permission, so the file is made immutable as well where that is possible.
chmod a-w "$log"
[ "$(id -u)" = 0 ] && chattr +i "$log" 2>/dev/null
if ( : >> "$log" ) 2>/dev/null; then
  echo "SKIP read-only log: this user can write to read-only files here"
else
  run_writer boom SetIcon >/dev/null || fail "read-only log: exit code $?"
  [ "$(md5sum < "$log")" = "$before" ] || fail "read-only log file was changed"
fi
[ "$(id -u)" = 0 ] && chattr -i "$log" 2>/dev/null
chmod u+w "$log"

echo "log file: $(as_utf8 "$log" | head -n 1)"
[ $failures = 0 ] && echo "all log file checks passed"
exit $((failures > 0))
