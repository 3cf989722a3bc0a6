#!/usr/bin/env bash
# Builds the binary tree document fuzz target (clang, libFuzzer, AddressSanitizer; a 64-bit
# host build, the code being portable) and runs it for a bounded time.
# FUZZ_SECONDS overrides the run time (30 s by default).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$root/build/fuzz/bintree
mkdir -p "$out/corpus" "$out/artifacts"
cxx=${FUZZ_CXX:-clang++}

sources=(
  "$root"/common/bintree/BinaryTreeDocument100.cpp
  "$root"/platform/src/*.cpp
  "$root"/platform/src/posix/*.cpp
)
flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer -I"$root/common/bintree"
       -I"$root/platform/include" -I"$root/tests/support/include")

"$cxx" "${flags[@]}" -fsanitize=fuzzer,address "$root/tests/fuzz/bintree_fuzz.cpp" \
  "${sources[@]}" -ldl -lpthread -o "$out/bintree_fuzz"
"$cxx" "${flags[@]}" "$root/tests/fuzz/bintree_seeds.cpp" "$root"/tests/support/src/*.cpp \
  -o "$out/bintree_seeds"
"$out/bintree_seeds" "$out/corpus"

. "$root/tests/fuzz/lib/run.bash"
run_fuzz_target bintree "$out" 30 4096
