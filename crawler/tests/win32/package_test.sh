#!/bin/sh
# The Windows package as a user gets it: unzipped into a fresh Wine prefix, its
# plovik.exe crawls the sample site on loopback, over http and over https, and
# prints, row for row and text for text, what the Linux program prints for the same
# site, with the same exit status.
# Usage: package_test.sh PACKAGE.zip LINUX_BUILD_DIR WINDOWS_BUILD_DIR WINE SITE_DIR
set -eu
zip=$(realpath "$1") host_bin=$(realpath "$2")/bin trust=$(realpath "$3")/tests/trust_certificate.exe
wine=$4 site=$(realpath "$5")

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
servers=
cleanup() {
    for pid in $servers; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; done
    "$(dirname "$(command -v "$wine")")/wineserver" -k 2>/dev/null || wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$wine" wineboot --init >/dev/null 2>&1
# A crash ends the program at once instead of waiting behind a dialog.
"$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/Plovik"
(cd "$WINEPREFIX/drive_c/Plovik" && cmake -E tar xf "$zip")
exe=$(cd "$WINEPREFIX/drive_c/Plovik" && ls */bin/plovik.exe)
[ -n "$exe" ] || { echo "no plovik.exe in $zip"; exit 1; }

# start_server NAME [OPTIONS...]: the sample site on a free loopback port; sets $port.
start_server() {
    name=$1
    shift
    "$host_bin/plovik_sample_server" --root "$site" --port-file "$work/$name.port" "$@" >"$work/$name.log" 2>&1 &
    servers="$servers $!"
    for i in $(seq 100); do [ -s "$work/$name.port" ] && break; sleep 0.1; done
    [ -s "$work/$name.port" ] || { echo "the sample server did not start"; cat "$work/$name.log"; exit 1; }
    port=$(cat "$work/$name.port")
}

status=0
# check TEXTS URL OPTIONS...: the same crawl by both programs; TEXTS "same" when the
# standard error must match too (a failed fetch's reason is each HTTP layer's own).
check() {
    texts=$1
    shift
    linux_exit=0 windows_exit=0
    "$host_bin/plovik" --crawl "$@" >"$work/linux.out" 2>"$work/linux.err" || linux_exit=$?
    # From C:\Plovik, as a user of the unzipped package would start it.
    (cd "$WINEPREFIX/drive_c/Plovik" && "$wine" "C:\\Plovik\\$exe" --crawl "$@") \
        >"$work/windows.out" 2>"$work/windows.err" || windows_exit=$?
    [ -s "$work/linux.out" ] || { echo "the Linux program printed no rows for $*"; cat "$work/linux.err"; exit 1; }
    if [ $linux_exit != $windows_exit ]; then
        echo "package_test: $*: exit status $windows_exit, the Linux program's $linux_exit"
        status=1
    fi
    if [ "$texts" = same ] && ! cmp -s "$work/linux.err" "$work/windows.err"; then
        echo "package_test: $*: status texts differ (Linux, then Windows):"
        diff "$work/linux.err" "$work/windows.err" || true
        status=1
    fi
    if cmp -s "$work/linux.out" "$work/windows.out"; then
        echo "package_test: $*: the rows match the Linux program's"
    else
        echo "package_test: $*: the rows differ (Linux, then Windows):"
        diff "$work/linux.out" "$work/windows.out" || true
        status=1
    fi
}

start_server http
url="http://127.0.0.1:$port/"
check same "$url" --format table
check same "$url" --format csv
check same "$url" --format csv --links standard

# https with a self-signed certificate: refused by both until trusted. WinINet under
# Wine matches the host only against the certificate's DNS names, hence 127.0.0.1 twice.
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1,DNS:127.0.0.1 -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1
openssl x509 -in "$work/cert.pem" -outform der -out "$work/cert.der"
start_server https --cert "$work/cert.pem" --key "$work/key.pem"
url="https://127.0.0.1:$port/"
check own "$url" --format csv --links standard
grep -q ',-1$' "$work/windows.out" || { echo "package_test: an untrusted certificate was accepted"; status=1; }
export CURL_CA_BUNDLE="$work/cert.pem"
# The helper needs the GCC runtime DLLs, which the package's bin folder holds.
WINEPATH="C:\\Plovik\\$(dirname "$exe" | tr / '\\\\')" "$wine" "$trust" "$work/cert.der"
check same "$url" --format csv --links standard
grep -q ',200$' "$work/windows.out" || { echo "package_test: no page was fetched over https"; status=1; }
# Without arguments and without a display, as on Linux: one line and status 2. Last:
# whatever a start without a display leaves in the Wine server cannot touch the crawls.
windows_exit=0
(cd "$WINEPREFIX/drive_c/Plovik" && env -u DISPLAY timeout 120 "$wine" "C:\\Plovik\\$exe") \
    >"$work/windows.out" 2>"$work/windows.err" || windows_exit=$?
if [ $windows_exit != 2 ] || [ -s "$work/windows.out" ] ||
    [ "$(cat "$work/windows.err")" != "plovik: no display; use plovik --crawl URL (see plovik --help)" ]; then
    echo "package_test: without a display: exit status $windows_exit, output and errors:"
    cat "$work/windows.out" "$work/windows.err"
    status=1
else
    echo "package_test: without a display it says so and exits with 2"
fi

exit $status
