#!/usr/bin/env bash
# install_test.sh tree <work> <cmake> <cc> <host.c>
#   `cmake --install` of the build into <work>/tree (made afresh), whose file list must be
#   exactly the one below; then the host is built against <work>/tree/include and lib alone.
# install_test.sh run <work>
#   Runs that host under Wine. Its own folder holds only the host and the stand-in
#   Network.dll that Netrik.dll imports; Skinelle.dll and Netrik.dll can only come from the
#   installed bin/, which is on the path.
set -euo pipefail
mode=$1 work=$2
tree=$work/tree host=$work/host

if [ "$mode" = tree ]; then
  cmake=$3 cc=$4 source=$5
  rm -rf "$work"
  mkdir -p "$host"
  "$cmake" --install "${SUITE_BUILD:?}" --prefix "$tree" >/dev/null
  expected="bin/Brovia.exe
bin/Intora.exe
bin/Netrik.dll
bin/Skinelle.dll
include/Netrik.h
include/Skinelle.h
lib/Netrik.def
lib/Skinelle.def
lib/libNetrik.dll.a
lib/libSkinelle.dll.a"
  actual=$(cd "$tree" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
  if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected list:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
  fi
  "$cc" -Wall -Werror -o "$host/install_host.exe" "$source" \
        -I"$tree/include" -L"$tree/lib" -lSkinelle -lNetrik
  cp "${SUITE_BIN:?}/Network.dll" "$host/"
else
  WINEPATH="Z:${tree//\//\\}\\bin" "${SUITE_TOOLS:?}/wine-run" "$host/install_host.exe"
fi
