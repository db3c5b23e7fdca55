#!/bin/sh
# Exits 0 when every package named is installed. Unlike `dpkg -s`, a name installed
# for two architectures (libgtest-dev and libgtest-dev:i386) is not ambiguous here.
for p in "$@"; do
    dpkg-query -W -f='${db:Status-Abbrev}\n' "$p" 2>/dev/null | grep -q '^ii' || exit 1
done
