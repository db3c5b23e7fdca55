#!/bin/sh
# The Windows package as a user gets it: unzipped into a fresh Wine prefix, its
# plovik.exe crawls the sample site on loopback and prints, row for row and text for
# text, what the Linux program prints for the same site, with the same exit status.
# Usage: package_test.sh PACKAGE.zip LINUX_BUILD_DIR WINE SITE_DIR
set -eu
zip=$(realpath "$1") host_bin=$(realpath "$2")/bin wine=$3 site=$(realpath "$4")

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
server=
cleanup() {
    [ -z "$server" ] || { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null || true; }
    "$(dirname "$(command -v "$wine")")/wineserver" -k 2>/dev/null || wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$wine" wineboot --init >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/Plovik"
(cd "$WINEPREFIX/drive_c/Plovik" && cmake -E tar xf "$zip")
exe=$(cd "$WINEPREFIX/drive_c/Plovik" && ls */bin/plovik.exe)
[ -n "$exe" ] || { echo "no plovik.exe in $zip"; exit 1; }

"$host_bin/plovik_sample_server" --root "$site" --port-file "$work/port" >"$work/server.log" 2>&1 &
server=$!
for i in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || { echo "the sample server did not start"; cat "$work/server.log"; exit 1; }
url="http://127.0.0.1:$(cat "$work/port")/"

status=0
for options in "--format table" "--format csv" "--format csv --links standard"; do
    name=$(echo "$options" | tr -d ' -')
    linux_exit=0 windows_exit=0
    "$host_bin/plovik" --crawl "$url" $options >"$work/linux.$name" 2>"$work/linux.err" || linux_exit=$?
    # From C:\Plovik, as a user of the unzipped package would start it.
    (cd "$WINEPREFIX/drive_c/Plovik" && "$wine" "C:\\Plovik\\$exe" --crawl "$url" $options) \
        >"$work/windows.$name" 2>"$work/windows.err" || windows_exit=$?
    [ -s "$work/linux.$name" ] || { echo "the Linux program printed no $options rows"; cat "$work/linux.err"; exit 1; }
    if [ $linux_exit != $windows_exit ]; then
        echo "package_test: exit status $windows_exit, the Linux program's $linux_exit"
        status=1
    fi
    if ! cmp -s "$work/linux.err" "$work/windows.err"; then
        echo "package_test: $options status texts differ (Linux, then Windows):"
        diff "$work/linux.err" "$work/windows.err" || true
        status=1
    fi
    if cmp -s "$work/linux.$name" "$work/windows.$name"; then
        echo "package_test: $options rows of $(echo "$exe" | cut -d/ -f1) match the Linux program's"
    else
        echo "package_test: $options rows differ (Linux, then Windows):"
        diff "$work/linux.$name" "$work/windows.$name" || true
        status=1
    fi
done
exit $status
