#!/usr/bin/env bash
# Clients destroyed while their library unloads must not hang: FreeLibrary with clients up,
# FreeLibrary while the peers are closing, process exit with the library loaded, and
# FreeLibrary right after the clients are opened.
set -euo pipefail
cd "$SUITE_BIN"
for mode in free free-after-close exit free-at-once; do
  out=$(timeout 60 "$SUITE_TOOLS/wine-run" unload_host.exe "$mode" | tr -d '\r') || {
    echo "unload_host $mode failed: $out"; exit 1; }
  echo "$mode: $(echo "$out" | tr '\n' ' ')"
  [[ "$out" == *"up 3"* ]] || { echo "clients did not come up in mode $mode"; exit 1; }
  [[ "$mode" == free-at-once || "$out" == *"events 1"* ]] || { echo "no callback in mode $mode"; exit 1; }
  [[ "$out" == *"done"* ]] || { echo "mode $mode did not finish"; exit 1; }
done
echo "1 passed, 0 failed"
