#!/usr/bin/env bash
# Intora's number-selection dialog: two logged-in messengers (stand-ins of "mupa.exe"), an
# open-chat link, the dialog shown and answered by a driver, and the delivered record.
set -euo pipefail
tools=$SUITE_ROOT/tools
bin=$SUITE_WIN_BIN
work=$SUITE_ROOT/build/demo/intora-dialog
rm -rf "$work" && mkdir -p "$work"
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
pids=()
trap 'touch "$work/stop"; for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done' EXIT

for n in 10001 10002; do
  "$tools/wine-run" "$bin/mupa.exe" --number $n --record "$(winpath "$work/$n.txt")" \
    --stop "$(winpath "$work/stop")" --lifetime 60000 >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 1 150); do grep -q '^started' "$work/$n.txt" 2>/dev/null && break; sleep 0.1; done
done
echo "Two messengers run, logged in as 10001 and 10002."

link='mupa://OpenTalkForm/&FriendName=张三'
echo "Intora.exe \"$link\""
timeout 60 "$tools/wine-run" "$bin/Intora.exe" "$link" >/dev/null 2>&1 &
intora=$!
drive() { "$tools/wine-run" "$bin/intora_dialog_driver.exe" "$@" | iconv -f GBK -t UTF-8 | tr -d '\r'; }
drive wait 20000 | sed 's/^/  /'
row=$(drive wait 5000 | sed -n 's/^row \([0-9]\) 10002$/\1/p')
echo "  the user picks 10002 and presses 确定"
drive wait 5000 select "$row" ok gone 10000 | sed 's/^/  /'
rc=0
wait $intora || rc=$?
echo "  Intora ended with exit code $rc"
for n in 10001 10002; do
  rec=$(sed -n 's/^copydata .*data=//p' "$work/$n.txt")
  if [ -z "$rec" ]; then
    echo "  messenger $n received nothing"
  else
    python3 - "$n" "$rec" <<'PY'
import struct, sys
data = bytes.fromhex(sys.argv[2])
command = struct.unpack_from("<i", data)[0]
name = data[104:154].split(b"\0")[0].decode("gbk")
print('  messenger %s received command %d, friend name "%s"' % (sys.argv[1], command, name))
PY
  fi
done
