#!/usr/bin/env bash
# Installs the library into a scratch prefix and builds a consumer three ways:
# find_package, pkg-config, and plain -I/-L against the build tree; then
# compares the library's exported symbols with the allow-list beside it.
# Usage: check.sh <the library's build folder> <its source folder (regex/)> <the folder of libvantrel.so>
set -euo pipefail
build="$1"; source="$2"; built="$3"; work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source/tests/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
LD_LIBRARY_PATH="$work/prefix/lib:${LD_LIBRARY_PATH:-}" "$work/consumer/consumer"

libdir="$(dirname "$(find "$work/prefix" -name vantrel.pc | head -n1)")"
flags="$(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs vantrel)"
g++ -std=c++17 "$source/tests/consumer/main.cpp" $flags -o "$work/by-pkg-config"
LD_LIBRARY_PATH="$work/prefix/lib:$(dirname "$libdir"):${LD_LIBRARY_PATH:-}" "$work/by-pkg-config"

g++ -std=c++17 -I "$source/include" "$source/tests/consumer/main.cpp" \
    -L "$built" -lvantrel -o "$work/from-tree"
LD_LIBRARY_PATH="$built" "$work/from-tree"

readelf -d "$built/libvantrel.so" | grep -q 'SONAME.*libvantrel\.so\.[0-9]'
# The library exports its interface and nothing else; a change to
# exported-symbols.txt is a change of the library's ABI.
nm -DC --defined-only "$built/libvantrel.so" | cut -d' ' -f3- | LC_ALL=C sort -u >"$work/exported"
diff -u "$source/tests/consumer/exported-symbols.txt" "$work/exported"
