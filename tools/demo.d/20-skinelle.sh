#!/usr/bin/env bash
# Skinelle.dll under Wine: a host linked against the import library writes a sample skin,
# registers a window as listener, loads the skin and resources, prints typed lookups and the
# listener messages its window receives.
set -euo pipefail
host=$SUITE_WIN_BIN/skinelle_demo_host.exe
if [ ! -e "$host" ]; then
  echo "skinelle_demo_host.exe not built"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$SUITE_ROOT/tools/wine-run" "$host" .
