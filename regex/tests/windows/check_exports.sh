#!/usr/bin/env bash
# The DLL exports RegularExpression, its members and the two stream operators,
# and nothing of the internals; it imports only Windows and the GCC runtime
# DLLs that ship beside it.
set -euo pipefail
objdump="$1"; dll="$2"
headers="$("$objdump" -p "$dll")"

exports="$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | awk 'NR > 1 && NF {print $NF}' | c++filt)"
api='^(RegexClass::RegularExpression::|RegexClass::operator(<<|>>)\(|(typeinfo|typeinfo name|vtable) for RegexClass::RegularExpression$)'
grep -q '^RegexClass::RegularExpression::ParseExpression()' <<<"$exports" || { echo "ParseExpression is not exported"; exit 1; }
if others="$(grep -Ev "$api" <<<"$exports")"; then
    echo "exported beyond the API:"; echo "$others"; exit 1
fi

imports="$(awk '/DLL Name:/ {print $3}' <<<"$headers")"
allowed='^(KERNEL32|USER32|msvcrt|libstdc\+\+-6|libgcc_s_[a-z0-9_]+-1|libgcc_s_seh-1|libwinpthread-1)\.dll$'
if others="$(grep -Eiv "$allowed" <<<"$imports")"; then
    echo "imports beyond Windows and the GCC runtime:"; echo "$others"; exit 1
fi
echo "$(wc -l <<<"$exports") exports, imports: $(tr '\n' ' ' <<<"$imports")"
