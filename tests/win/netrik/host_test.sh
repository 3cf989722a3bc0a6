#!/usr/bin/env bash
# Runs the host program under Wine as a debuggee: its own checks must pass, and the report
# lines Netrik wrote to the debugger output must have arrived, byte for byte (code page 936).
set -uo pipefail
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$SUITE_TOOLS/wine-run" "$SUITE_BIN/debug_collector.exe" "$SUITE_BIN/netrik_host.exe" check \
  | tr -d '\r' >"$out"
rc=${PIPESTATUS[0]}
cat "$out" | iconv -f gbk -t utf-8 -c
[ "$rc" -eq 0 ] || { echo "host failed ($rc)"; exit 1; }

# "异常:%s 模块:Netrik.dll 单元:%s 方法:%s 位置:" in code page 936.
line() {
  printf 'DBG:\xd2\xec\xb3\xa3:%s \xc4\xa3\xbf\xe9:Netrik.dll \xb5\xa5\xd4\xaa:%s \xb7\xbd\xb7\xa8:%s \xce\xbb\xd6\xc3:' "$1" "$2" "$3"
}
status=0
expect() {
  if grep -qxF "$(line "$1" "$2" "$3")" "$out"; then
    echo "ok   report: $3: $1"
  else
    echo "FAIL report missing: $3: $1"
    status=1
  fi
}
expect "call 'DllGetPlugInfo' proc error" uNetrik LoadPlugs
expect "List index out of bounds (1)" uSysHooks EnumHookProcs
# "命令客户端超过最大连接数".
expect $'\xc3\xfc\xc1\xee\xbf\xcd\xbb\xa7\xb6\xcb\xb3\xac\xb9\xfd\xd7\xee\xb4\xf3\xc1\xac\xbd\xd3\xca\xfd' uNetrik CreateConnection
exit $status
