#!/usr/bin/env bash
# Each program imports the system libraries of the toolkit parts it uses and no others:
# Intora (forms, controls, bitmaps) has no picture decoders, OLE, common controls or web
# browser; Brovia has them all. Read with the build's own objdump.
set -euo pipefail
imports() {
  "${SUITE_OBJDUMP:?}" -p "${SUITE_BIN:?}/$1" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr 'A-Z' 'a-z' | sort -u
}
status=0
check() {  # program, "has" or "lacks", libraries...
  local program=$1 want=$2 list
  shift 2
  list=$(imports "$program")
  for lib in "$@"; do
    if grep -qx "$lib" <<<"$list"; then found=has; else found=lacks; fi
    if [ "$found" != "$want" ]; then
      echo "FAIL: $program $found $lib (imports: $(tr '\n' ' ' <<<"$list"))"
      status=1
    fi
  done
}
check Intora.exe has user32.dll gdi32.dll
check Intora.exe lacks ole32.dll oleaut32.dll comctl32.dll windowscodecs.dll
check Brovia.exe has ole32.dll oleaut32.dll windowscodecs.dll shell32.dll
[ $status -eq 0 ] && echo "imports as expected"
exit $status
