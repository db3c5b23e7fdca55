#pragma once
// Number texts with the C locale's rules, whatever the process locale is, and the
// C-style integer conversion of the settings fields (saturating instead of overflowing).

#include <cstdint>
#include <string>

namespace plovik {

// The bytes of a text as unsigned values, for loops that test byte values:
// for (unsigned char c : BytesOf(s)).
struct ByteRange {
    const unsigned char* pBegin;
    const unsigned char* pEnd;
    const unsigned char* begin() const { return pBegin; }
    const unsigned char* end() const { return pEnd; }
};
inline ByteRange BytesOf(const std::string& s)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    return {p, p + s.size()};
}

// "%.3f" of the value, always with a '.' and no grouping ("0.150").
std::string FormatFixed3(double dValue);

// A copy with the letters A to Z in lower case; other bytes unchanged (addresses
// and labels compare this way whatever the user's locale).
std::string LowerAscii(std::string s);

// Blanks, control bytes and DEL as %XX with upper-case hex; with bNonAscii also
// every byte from 0x80 on.
std::string PercentEncodeBytes(const std::string& s, bool bNonAscii);
// No byte at or below 0x20 or at or above 0x7F.
bool IsPrintableAscii(const std::string& s);

// "%d" of the value.
std::string FormatInt(std::int64_t nValue);

// Optional leading blanks (space, \t\n\v\f\r), an optional sign, then the leading
// decimal digits; no digits give 0. Out-of-range values saturate at the type's limits.
std::int32_t ParseCInt32(const std::string& sText);

// The most rank iterations the program takes.
constexpr std::uint32_t kMaxIterations = 40;

// The iterations field's rule: a value that, taken as unsigned, exceeds
// kMaxIterations (so also any negative value) becomes kMaxIterations.
std::uint32_t CapIterations(std::int32_t nValue);

}  // namespace plovik

namespace plovik {

// The dialog's data exchange of an unsigned field: optional blanks, decimal digits,
// optional blanks, at most 4294967295; false for anything else.
bool ParseExchangeUnsigned(const std::string& sText, std::uint32_t& nValue);

// An arrow press on a numeric setting: a proposed change of zero or less steps up,
// a positive one down; the result is held within 1 .. nMax.
std::uint32_t StepSetting(std::uint32_t nSetting, int nDelta, std::int64_t nMax);

}  // namespace plovik
