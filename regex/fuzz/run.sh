#!/bin/sh
# Builds a fuzz target with clang's libFuzzer and runs it.
#
#   regex/fuzz/run.sh [seconds] [extra libFuzzer options...]
#
# TARGET picks the target: stream_reader_fuzz (default) or expression_fuzz.
# BUILD_DIR (default build-fuzz at the top of the tree) holds the objects,
# the binary and each target's growing corpus; the seeds in
# regex/fuzz/corpus/<target> are read but never written.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$root/build-fuzz}
target=${TARGET:-stream_reader_fuzz}
seconds=${1:-60}
[ $# -gt 0 ] && shift
cxx=${CXX_FUZZ:-clang++-14}
jobs=${JOBS:-2}

# The enum check recovers so that ubsan.supp can silence the engine's one
# known report; halt_on_error still stops at any other.
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize-recover=enum"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1:suppressions=$here/ubsan.supp}"
mkdir -p "$build/obj" "$build/corpus/$target" "$build/artifacts/$target"

# The library is compiled with coverage instrumentation so the fuzzer sees
# inside it.
ls "$root"/regex/src/*.cpp | xargs -P "$jobs" -I{} sh -c '
  src="$1"; obj="$2/obj/$(basename "$src" .cpp).o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find "$3/regex/src" "$3/regex/include" -name "*.h" -newer "$obj")" ]; then
    echo "compiling $(basename "$src")"
    '"$cxx"' '"$flags"' -fsanitize=fuzzer-no-link -DVANTREL_BUILDING \
      -I"$3/regex/include" -I"$3/regex/src" -c "$src" -o "$obj"
  fi' _ {} "$build" "$root"

$cxx $flags -fsanitize=fuzzer -I"$root/regex/include" \
  "$here/$target.cpp" "$build"/obj/*.o -lpthread -ldl \
  -o "$build/$target"

cd "$build"
exec "./$target" -max_total_time="$seconds" -artifact_prefix="$build/artifacts/$target/" \
  -max_len=4096 -rss_limit_mb=1024 "$@" "$build/corpus/$target" "$here/corpus/$target"
