#!/usr/bin/env bash
# Builds the project beside this script, which adds the library with
# add_subdirectory, and runs its program. The library brings that project no
# tests and no install rules of its own.
# Usage: check.sh <the library's source folder (regex/)> [cmake arguments...]
set -euo pipefail
source="$1"; shift
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

run() {
    "$@" >"$work/log" 2>&1 || { cat "$work/log"; echo "failed: $*"; exit 1; }
}
run cmake -S "$source/tests/subproject" -B "$work/build" -DVANTREL_SOURCE_DIR="$source" "$@"
run cmake --build "$work/build" --parallel 2
"$work/build/consumer"

tests="$(cd "$work/build" && ctest -N | sed -n 's/^Total Tests: //p')"
[ "$tests" = 0 ] || { echo "the library added $tests tests to the project"; exit 1; }
run cmake --install "$work/build" --prefix "$work/prefix"
if [ -d "$work/prefix" ] && [ -n "$(find "$work/prefix" -type f)" ]; then
    echo "the library installed files for the project:"
    find "$work/prefix" -type f
    exit 1
fi
