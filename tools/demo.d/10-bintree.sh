#!/usr/bin/env bash
# The binary tree document: write a sample skin document with the test builder, then load it
# and look a few paths up, natively and with the Windows build under Wine.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
paths=('MainForm\Caption' 'MainForm\Width' '\MainForm\Alpha\' '  Buttons\Close\Normal '
       'Buttons\Close\Hint' 'Buttons\Close' 'SkinID' 'TextColor' 'mainform\caption'
       'Buttons\\Close')

# SUITE_NATIVE_RUN: qemu-i386-static where the kernel runs no 32-bit programs.
${SUITE_NATIVE_RUN:-} "$SUITE_NATIVE_BIN/bintree_sample" write "$work/sample.skn"
echo "--- native build${SUITE_NATIVE_RUN:+ (through $SUITE_NATIVE_RUN)}"
${SUITE_NATIVE_RUN:-} "$SUITE_NATIVE_BIN/bintree_sample" show "$work/sample.skn" "${paths[@]}"
if [ -x "$SUITE_WIN_BIN/bintree_sample.exe" ]; then
  echo "--- Windows build under Wine"
  cp "$work/sample.skn" "$SUITE_WIN_BIN/demo-sample.skn"
  (cd "$SUITE_WIN_BIN" && "$SUITE_ROOT/tools/wine-run" bintree_sample.exe show demo-sample.skn \
    "${paths[@]}")
  rm -f "$SUITE_WIN_BIN/demo-sample.skn"
fi
