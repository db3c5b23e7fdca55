#!/bin/sh
# Runs ctest in the current build directory with a Wine server that is already up.
# The first Wine process of a session starts the server and Wine's system programs,
# and they inherit its standard output; were that a test, ctest would wait for the
# pipe to close until the server ends, long after the test itself, and time it out.
# Started here, they hold /dev/null instead. Runs under the display the tests use, so
# the desktop program that owns their windows can open it.
# Usage: wine-ctest.sh <wine program> [ctest arguments...]
wine=$1
shift
wineserver -p </dev/null >/dev/null 2>&1
"$wine" wineboot </dev/null >/dev/null 2>&1
ctest "$@"
status=$?
wineserver -k </dev/null >/dev/null 2>&1
exit $status
