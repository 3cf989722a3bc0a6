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
  "$root/platform/src/jpeg/jpeg.cpp" "$root"/platform/src/*.cpp \
  "$root"/platform/src/posix/*.cpp -ljpeg -ldl -lpthread -o "$out/jpeg_fuzz"
"$cxx" "${flags[@]}" "$root/tests/fuzz/jpeg_seeds.cpp" "$root/tests/support/pictures/PictureWriters.cpp" \
  -ljpeg -o "$out/jpeg_seeds"
"$out/jpeg_seeds" "$out/corpus"

. "$root/tests/fuzz/lib/run.bash"
run_fuzz_target jpeg "$out" 20 8192
