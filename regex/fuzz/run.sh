#!/bin/sh
# Builds the settings stream reader fuzz target with clang's libFuzzer and runs it.
#
#   regex/fuzz/run.sh [seconds] [extra libFuzzer options...]
#
# BUILD_DIR (default build-fuzz at the top of the tree) holds the objects,
# the binary and the growing corpus; the seeds in regex/fuzz/corpus are read
# but never written.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
[ $# -gt 0 ] && shift
cxx=${CXX_FUZZ:-clang++-14}
jobs=${JOBS:-2}

flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined"
mkdir -p "$build/obj" "$build/corpus" "$build/artifacts"

# The library is compiled with coverage instrumentation so the fuzzer sees
# inside the reader.
ls "$root"/regex/src/*.cpp | xargs -P "$jobs" -I{} sh -c '
  src="$1"; obj="$2/obj/$(basename "$src" .cpp).o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ "$3/regex/src/RegularExpressionImpl.h" -nt "$obj" ] \
     || [ "$3/regex/include/vantrel/RegularExpression.h" -nt "$obj" ]; then
    echo "compiling $(basename "$src")"
    '"$cxx"' '"$flags"' -fsanitize=fuzzer-no-link -DVANTREL_BUILDING \
      -I"$3/regex/include" -I"$3/regex/src" -c "$src" -o "$obj"
  fi' _ {} "$build" "$root"

$cxx $flags -fsanitize=fuzzer -I"$root/regex/include" \
  "$here/stream_reader_fuzz.cpp" "$build"/obj/*.o -lpthread -ldl \
  -o "$build/stream_reader_fuzz"

cd "$build"
exec ./stream_reader_fuzz -max_total_time="$seconds" -artifact_prefix="$build/artifacts/" \
  -max_len=4096 -rss_limit_mb=1024 "$@" "$build/corpus" "$here/corpus"
