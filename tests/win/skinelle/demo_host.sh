#!/usr/bin/env bash
# The demo host, linked against the import library, runs and reports what it should.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=$(cd "$work" && "${SUITE_TOOLS:?}/wine-run" "${SUITE_BIN:?}/skinelle_demo_host.exe" .)
echo "$out"
expect() {
  grep -qF -- "$1" <<<"$out" || { echo "missing: $1"; exit 1; }
}
expect "RegisterSkinListener again                     = 0 (false)"
expect "window received skin message (WM_APP+1): wParam 0, lParam 0"
expect "GetSkinStringByName(MainForm\\Caption)   = -1 (true) \"示例皮肤\""
expect "= 640 x 480"
expect "GetSkinDoubleByName(MainForm\\Alpha)     = -1 (true) 0.85"
expect "GetSkinBoolByName(MainForm\\Transparent) = -1 (true) value -1"
expect "GetSkinStringByName(Font\\Name)          = -1 (true) \"宋体\""
expect "window received transparency message (WM_APP+2): wParam 1, lParam 180"
expect "window received transparency message (WM_APP+2): wParam 0, lParam 255"
[ "$(grep -c "window received" <<<"$out")" = 3 ] || { echo "expected exactly 3 messages"; exit 1; }
