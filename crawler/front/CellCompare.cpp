#include "CellCompare.h"

#include "TextFormat.h"

#include <algorithm>

namespace plovik {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int Sign(long long n)
{
    return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

}  // namespace

int CompareNumberTexts(const std::string& x, const std::string& y)
{
    return Sign(static_cast<long long>(ParseCInt32(x)) - ParseCInt32(y));
}

int CompareDateTexts(const std::string& x, const std::string& y)
{
    auto part = [](const std::string& s, std::size_t nPos, std::size_t nLen) {
        return nPos < s.size() ? ParseCInt32(s.substr(nPos, nLen)) : 0;
    };
    for (const auto& field : {std::make_pair(6u, 4u), std::make_pair(3u, 2u), std::make_pair(0u, 2u)}) {
        const int n =
            Sign(static_cast<long long>(part(x, field.first, field.second)) - part(y, field.first, field.second));
        if (n != 0)
            return n;
    }
    return 0;
}

bool IsNumberText(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), IsDigit);
}

bool IsDateText(const std::string& s)
{
    if (s.size() != 10)
        return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!IsDigit(s[static_cast<std::size_t>(i)]))
            return false;
    return s[2] == '/' && s[5] == '/';
}

int CompareCells(const std::string& a, const std::string& b, bool bAscending, const TextCompare& compareText)
{
    const std::string& x = bAscending ? a : b;
    const std::string& y = bAscending ? b : a;
    if (IsNumberText(a))
        return CompareNumberTexts(x, y);
    if (IsDateText(a))
        return CompareDateTexts(x, y);
    return compareText(x, y);
}

}  // namespace plovik
