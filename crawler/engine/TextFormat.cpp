#include "TextFormat.h"

#include <charconv>
#include <limits>

namespace plovik {

std::string FormatFixed3(double dValue)
{
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, dValue, std::chars_format::fixed, 3);
    if (res.ec != std::errc())
        return "nan";
    return std::string(buf, res.ptr);
}

std::string FormatInt(std::int64_t nValue)
{
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, nValue);
    return std::string(buf, res.ptr);
}

std::int32_t ParseCInt32(const std::string& sText)
{
    std::size_t i = 0;
    const std::size_t n = sText.size();
    while (i < n && (sText[i] == ' ' || (sText[i] >= '\t' && sText[i] <= '\r')))
        ++i;
    bool bNegative = false;
    if (i < n && (sText[i] == '+' || sText[i] == '-'))
        bNegative = sText[i++] == '-';
    // Accumulate toward the limit of the sign so INT32_MIN is reachable.
    const std::int64_t nLimit = bNegative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                          : std::numeric_limits<std::int32_t>::max();
    std::int64_t nValue = 0;
    for (; i < n && sText[i] >= '0' && sText[i] <= '9'; ++i) {
        nValue = nValue * 10 + (sText[i] - '0');
        if (nValue > nLimit)
            nValue = nLimit;
    }
    return static_cast<std::int32_t>(bNegative ? -nValue : nValue);
}

std::uint32_t CapIterations(std::int32_t nValue)
{
    const auto nUnsigned = static_cast<std::uint32_t>(nValue);
    return nUnsigned > kMaxIterations ? kMaxIterations : nUnsigned;
}

std::string LowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string PercentEncodeBytes(const std::string& s, bool bNonAscii)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (unsigned char ch : BytesOf(s)) {
        if (ch <= 0x20 || ch == 0x7F || (bNonAscii && ch >= 0x80)) {
            out += '%';
            out += kHex[ch >> 4];
            out += kHex[ch & 0xF];
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

bool IsPrintableAscii(const std::string& s)
{
    for (unsigned char ch : BytesOf(s))
        if (ch <= 0x20 || ch >= 0x7F)
            return false;
    return true;
}

bool ParseExchangeUnsigned(const std::string& sText, std::uint32_t& nValue)
{
    const char* const kBlanks = " \t\n\v\f\r";
    const auto nFirst = sText.find_first_not_of(kBlanks);
    if (nFirst == std::string::npos)
        return false;
    const auto nLast = sText.find_last_not_of(kBlanks);
    std::uint64_t n = 0;
    for (std::size_t i = nFirst; i <= nLast; ++i) {
        const char c = sText[i];
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
        if (n > 0xFFFFFFFFull)
            return false;
    }
    nValue = static_cast<std::uint32_t>(n);
    return true;
}

std::uint32_t StepSetting(std::uint32_t nSetting, int nDelta, std::int64_t nMax)
{
    // The setting as the arrows see it: a signed number.
    std::int64_t n = static_cast<std::int32_t>(nSetting);
    n += nDelta <= 0 ? 1 : -1;
    return static_cast<std::uint32_t>(n < 1 ? 1 : (n > nMax ? nMax : n));
}

}  // namespace plovik
