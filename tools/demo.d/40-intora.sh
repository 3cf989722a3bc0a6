#!/usr/bin/env bash
# Intora hands "mupa://" links to running messengers (stand-ins of "mupa.exe").
set -euo pipefail
export SUITE_TOOLS=$SUITE_ROOT/tools
source "$SUITE_ROOT/tests/win/intora/messenger.sh"
messenger_setup "$SUITE_WIN_BIN" "$SUITE_ROOT/build/demo/intora"
trap stop_messengers EXIT

echo "Two messengers run: one logged in as 10001, one not logged in."
start_messenger online --number 10001
start_messenger offline --number 0

link='mupa://OpenTalkForm/&FriendName=张三'
echo
echo "Intora.exe \"$link\""
run_intora "$link"
echo "  messenger 10001 received:     $(decoded_copydata online)"
echo "  messenger not logged in got:  $(decoded_copydata offline | wc -l) records"

link='mupa://Login/&LoginName=用户&Password=p%41ss'
echo
echo "Intora.exe \"$link\""
run_intora "$link"
echo "  messenger 10001 received:     $(decoded_copydata online | tail -n 1)"
echo "  messenger not logged in got:  $(decoded_copydata offline | tail -n 1)"
stop_messengers

echo
echo "No messenger runs: the login link offers to start it, and the helper answers No."
"$SUITE_TOOLS/wine-run" "$M_DIR/Intora.exe" 'mupa://Login/&LoginName=u&Password=p' &
intora=$!
cp "$SUITE_WIN_BIN/intora_driver.exe" "$M_DIR/"
prompt=$("$SUITE_TOOLS/wine-run" "$M_DIR/intora_driver.exe" prompt no 30000 | tr -d '\r' |
  sed -n 's/^text=//p')
echo "  prompt \"提示\": $(python3 -c 'import sys; print(bytes.fromhex(sys.argv[1]).decode("gbk"))' "$prompt")"
rc=0
wait $intora || rc=$?
echo "  answered No: Intora ended with exit code $rc"
