#!/usr/bin/env bash
# Skinelle.dll exports exactly its 25 names, each with its fixed ordinal, and nothing else.
set -euo pipefail
dll=${SUITE_BIN:?}/Skinelle.dll
dump=$("${SUITE_OBJDUMP:?}" -p "$dll")

expected="1 GetResFileByName
2 GetResStreamByName
3 GetResGUIDByName
4 GetResBoolByName
5 GetResDoubleByName
6 GetResFloatByName
7 GetResUInt32ByName
8 GetResInt32ByName
9 GetResStringByName
10 GetResBitmapByName
11 LoadResFile
12 GetSkinFileByName
13 GetSkinStreamByName
14 GetSkinGUIDByName
15 GetSkinBoolByName
16 GetSkinDoubleByName
17 GetSkinFloatByName
18 GetSkinUInt32ByName
19 GetSkinInt32ByName
20 GetSkinStringByName
21 GetSkinBitmapByName
22 UnRegisterSkinListener
23 RegisterSkinListener
24 ChangeSkinTransparency
25 LoadSkinFile"

base=$(awk '/^Ordinal Base/ {print $3; exit}' <<<"$dump")
# "[  23] ChangeSkinTransparency": the index is counted from the ordinal base.
actual=$(awk -v base="$base" '
  /\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
  on && /^[[:space:]]*$/ {on = 0}
  on {gsub(/[][]/, " "); print $1 + base, $2}' <<<"$dump" | sort -n)
addresses=$(awk '/Export Address Table -- Ordinal Base/ {on = 1; next}
  on && /^[[:space:]]*$/ {on = 0}
  on && /Export RVA|Forwarder RVA/ {n++} END {print n + 0}' <<<"$dump")

fail=0
if [ "$actual" != "$expected" ]; then
  echo "export names and ordinals differ:"
  diff <(echo "$expected") <(echo "$actual") || true
  fail=1
fi
if [ "$addresses" != 25 ]; then
  echo "the export address table has $addresses entries, not 25"
  fail=1
fi
if grep -q "@" <<<"$actual"; then
  echo "decorated names exported"
  fail=1
fi
[ $fail = 0 ] && echo "Skinelle.dll: 25 exports with their ordinals, nothing else"
exit $fail
