#!/usr/bin/env bash
# Builds the JPEG decoder fuzz target (clang, libFuzzer, AddressSanitizer; a 64-bit host build
# against the host's libjpeg62-turbo, the code being portable) and runs it for a bounded time.
# FUZZ_SECONDS overrides the run time (20 s by default).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$root/build/fuzz/jpeg
mkdir -p "$out/corpus" "$out/artifacts"
cxx=${FUZZ_CXX:-clang++}
flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer -I"$root/platform/include"
       -I"$root/tests/support/include")

"$cxx" "${flags[@]}" -fsanitize=fuzzer,address "$root/tests/fuzz/jpeg_fuzz.cpp" \
  "$root/platform/src/jpeg/jpeg.cpp" "$root/platform/src/common.cpp" -ljpeg -o "$out/jpeg_fuzz"
"$cxx" "${flags[@]}" "$root/tests/fuzz/jpeg_seeds.cpp" "$root/tests/support/pictures/PictureWriters.cpp" \
  -ljpeg -o "$out/jpeg_seeds"
"$out/jpeg_seeds" "$out/corpus"

log=$out/run.log
set +e
"$out/jpeg_fuzz" "$out/corpus" -max_total_time="${FUZZ_SECONDS:-20}" -max_len=8192 \
  -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$out/artifacts/" >"$log" 2>&1
rc=$?
set -e
grep -E '^Done [0-9]+ runs' "$log" || tail -n 40 "$log"
if [ $rc -ne 0 ]; then
  echo "jpeg fuzz: finding (exit $rc), see $log and $out/artifacts"
  exit 1
fi
echo "jpeg fuzz: no finding"
