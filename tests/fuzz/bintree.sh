#!/usr/bin/env bash
# Builds the Skinelle loading and lookup fuzz target (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, every finding fatal; a 64-bit host build, the code being
# portable) and runs it for a bounded time. FUZZ_SECONDS overrides the run time (30 s by
# default).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$root/build/fuzz/bintree
mkdir -p "$out/corpus" "$out/artifacts"
cxx=${FUZZ_CXX:-clang++}

sources=(
  "$root"/common/bintree/BinaryTreeDocument100.cpp
  "$root"/skinelle/uDocumentLookup.cpp
  "$root"/skinelle/uSkinManage.cpp
  "$root"/skinelle/uResourceManage.cpp
  "$root"/platform/src/*.cpp
  "$root"/platform/src/posix/*.cpp
)
flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer -Wno-ignored-attributes
       -I"$root/common/bintree" -I"$root/skinelle" -I"$root/include"
       -I"$root/platform/include" -I"$root/tests/support/include")

"$cxx" "${flags[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  "$root/tests/fuzz/bintree_fuzz.cpp" "${sources[@]}" -ldl -lpthread -o "$out/bintree_fuzz"
"$cxx" "${flags[@]}" "$root/tests/fuzz/bintree_seeds.cpp" "$root"/tests/support/src/*.cpp \
  -o "$out/bintree_seeds"
"$out/bintree_seeds" "$out/corpus"

. "$root/tests/fuzz/lib/run.bash"
run_fuzz_target bintree "$out" 30 4096
