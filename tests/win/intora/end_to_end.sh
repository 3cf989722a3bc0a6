#!/usr/bin/env bash
# Intora with real messenger stand-ins under Wine: which windows get which record, the start
# prompt answered both ways, and a hung messenger that cannot hold Intora.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/messenger.sh"

messenger_setup "$SUITE_BIN" "$SUITE_BUILD/test-work/intora-e2e"
cp "$SUITE_BIN/intora_driver.exe" "$M_DIR/"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_rc0() {  # what
  [ "$INTORA_RC" = 0 ] || fail "$1: Intora exit code $INTORA_RC"
}
expect_lines() {  # NAME KIND COUNT what
  local n
  n=$(record_lines "$1" "$2" | wc -l)
  [ "$n" = "$3" ] || fail "$4: $1 has $n '$2' lines, expected $3"
}
expect_last() {  # NAME EXPECTED-LINE what
  local got
  got=$(record_lines "$1" copydata | tail -n 1)
  [ "$got" = "$2" ] || fail "$3: $1 got '$got', expected '$2'"
}
driver() {
  local out rc
  out=$("$SUITE_TOOLS/wine-run" "$M_DIR/intora_driver.exe" "$@")
  rc=$?
  printf '%s\n' "${out//$'\r'/}"
  return $rc
}
trap stop_messengers EXIT

# A login while the mutex is missing: the helper answers the start prompt (yes or no).
login_with_prompt() {  # ANSWER
  local intora prompt want
  run_intora 'mupa://Login/&LoginName=u&Password=p' &
  intora=$!
  prompt=$(driver prompt "$1" 30000) || fail "no start prompt: $prompt"
  wait $intora
  INTORA_RC=$?
  expect_rc0 "login answered $1"
  want=$(printf '木帕 还未启动，是否启动？' | iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n')
  echo "$prompt" | grep -qx "text=$want" || fail "prompt text: $prompt"
  echo "$prompt" | grep -qx "owner=0" || fail "prompt has an owner window: $prompt"
}

OPEN=11022
LOGIN=11021

echo "--- no messenger"
run_intora
expect_rc0 "no argument"
run_intora 'mupa://OpenTalkForm/&FriendName=abc'
expect_rc0 "open chat without a messenger"
[ "$INTORA_MS" -lt 20000 ] || fail "open chat without a messenger took ${INTORA_MS} ms"
[ -e "$M_DIR/messenger-record.txt" ] && fail "open chat started the messenger"

echo "--- one logged-in messenger"
start_messenger a --number 10001 || fail "start a"
run_intora 'mupa://OpenTalkForm/&FriendName=张三'
expect_rc0 "open chat"
expect_lines a copydata 1 "open chat to the one logged-in messenger"
expect_last a "$(expected_copydata $OPEN '' '' '张三')" "open chat record"
expect_lines a number-query 1 "open chat asks the number once"
record_lines a number-query | grep -qx 'number-query wparam=0 lparam=0' || fail "number query parameters"

run_intora 'mupa://OpenTalkForm/x?&FriendName=%41b+c&d=e' 'mupa://Login/&LoginName=u&Password=p'
expect_last a "$(expected_copydata $OPEN '' '' '%41b+c&d=e')" "value kept as it stands, first argument only"
expect_lines a copydata 2 "second argument ignored"

long=$(printf '中%.0s' $(seq 1 30))
run_intora "mupa://OpenTalkForm/&FriendName=$long"
expect_last a "$(expected_copydata $OPEN '' '' "$(printf '中%.0s' $(seq 1 24))")" "long name cut whole characters"

run_intora 'mupa://opentalkform/&FriendName=abc'
run_intora 'mupa://OpenTalkForm/'
expect_last a "$(expected_copydata $OPEN '' '' '')" "open chat without the friend-name marker"
expect_lines a copydata 4 "prefix in another letter case does nothing"
stop_messengers

echo "--- several messengers: 0, a number, a property value of 2"
start_messenger zero --number 0 || fail "start zero"
start_messenger num --number 20002 || fail "start num"
start_messenger prop2 --number 777 --prop 2 || fail "start prop2"
run_intora 'mupa://OpenTalkForm/&FriendName=friend'
expect_rc0 "open chat with one of three logged in"
expect_lines num copydata 1 "open chat goes to the logged-in messenger"
expect_last num "$(expected_copydata $OPEN '' '' 'friend')" "open chat record"
expect_lines zero copydata 0 "nothing to the messenger that is not logged in"
expect_lines zero number-query 1 "the messenger that is not logged in is asked"
expect_lines prop2 number-query 0 "a window with property value 2 is not asked"
expect_lines prop2 copydata 0 "a window with property value 2 gets nothing"

echo "--- login with the mutex present"
run_intora 'mupa://Login/&LoginName=用户&Password=p%41ss&x=1'
expect_rc0 "login"
for m in zero num; do
  expect_last $m "$(expected_copydata $LOGIN '用户' 'p%41ss&x=1' '')" "login record to $m"
done
expect_lines zero copydata 1 "login reaches the messenger that is not logged in"
expect_lines num copydata 2 "login reaches the logged-in messenger"
expect_lines zero number-query 1 "login asks no numbers"
expect_lines prop2 copydata 0 "login skips a window with property value 2"
run_intora 'mupa://Login/&LoginName=u'
expect_last num "$(expected_copydata $LOGIN '' '' '')" "login without the password marker"
run_intora 'mupa://Login/&Password=p&LoginName=u'
expect_last zero "$(expected_copydata $LOGIN '' 'p&LoginName=u' '')" "login with the markers swapped"
stop_messengers

echo "--- a negative number"
start_messenger neg --number -5 || fail "start neg"
run_intora 'mupa://OpenTalkForm/&FriendName=n'
expect_lines neg copydata 1 "a negative number counts as logged in"
stop_messengers

echo "--- login without the mutex, answered No"
start_messenger nomutex --no-mutex || fail "start nomutex"
login_with_prompt no
expect_lines nomutex copydata 0 "answer No sends nothing"
[ -e "$M_DIR/messenger-record.txt" ] && fail "answer No started the messenger"

echo "--- login without the mutex, answered Yes"
login_with_prompt yes
expect_last nomutex "$(expected_copydata $LOGIN 'u' 'p' '')" "answer Yes sends the login"
for _ in $(seq 1 300); do
  grep -q '^started' "$M_DIR/messenger-record.txt" 2>/dev/null && break
  sleep 0.1
done
grep -q '^started' "$M_DIR/messenger-record.txt" 2>/dev/null ||
  fail "answer Yes did not start mupa.exe beside Intora"
stop_messengers

echo "--- a messenger that never answers"
start_messenger ok --number 10001 || fail "start ok"
start_messenger hung --hang --number 30003 || fail "start hung"
run_intora 'mupa://OpenTalkForm/&FriendName=h'
expect_rc0 "open chat with a hung messenger"
echo "open chat with a hung messenger took ${INTORA_MS} ms"
[ "$INTORA_MS" -lt 30000 ] || fail "open chat with a hung messenger took ${INTORA_MS} ms"
expect_last ok "$(expected_copydata $OPEN '' '' 'h')" "open chat beside a hung messenger"
run_intora 'mupa://Login/&LoginName=u&Password=p'
expect_rc0 "login with a hung messenger"
echo "login with a hung messenger took ${INTORA_MS} ms"
[ "$INTORA_MS" -lt 30000 ] || fail "login with a hung messenger took ${INTORA_MS} ms"
expect_last ok "$(expected_copydata $LOGIN 'u' 'p' '')" "login beside a hung messenger"
stop_messengers

[ $failures = 0 ] && echo "all Intora end-to-end checks passed"
exit $((failures > 0))
