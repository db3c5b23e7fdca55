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

// A date field beyond the end of the text counts as 0.
std::int32_t DateField(const std::string& s, std::size_t nPos, std::size_t nLen)
{
    return nPos < s.size() ? ParseCInt32(s.substr(nPos, nLen)) : 0;
}

int CompareNumberKeys(const CellKey& x, const CellKey& y)
{
    return Sign(static_cast<long long>(x.nValue) - y.nValue);
}

int CompareDateKeys(const CellKey& x, const CellKey& y)
{
    if (x.nYear != y.nYear)
        return Sign(static_cast<long long>(x.nYear) - y.nYear);
    if (x.nMonth != y.nMonth)
        return Sign(static_cast<long long>(x.nMonth) - y.nMonth);
    return Sign(static_cast<long long>(x.nDay) - y.nDay);
}

}  // namespace

CellKey::CellKey(const std::string& s)
    : pText(&s), bNumber(IsNumberText(s)), bDate(!bNumber && IsDateText(s)), nValue(ParseCInt32(s))
{
    // Any text may be the second of a pair whose first is a date.
    nYear = DateField(s, 6, 4);
    nMonth = DateField(s, 3, 2);
    nDay = DateField(s, 0, 2);
}

int CompareNumberTexts(const std::string& x, const std::string& y)
{
    return CompareNumberKeys(CellKey(x), CellKey(y));
}

int CompareDateTexts(const std::string& x, const std::string& y)
{
    return CompareDateKeys(CellKey(x), CellKey(y));
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

int CompareKeys(const CellKey& a, const CellKey& b, bool bAscending, const TextCompare& compareText)
{
    const CellKey& x = bAscending ? a : b;
    const CellKey& y = bAscending ? b : a;
    if (a.bNumber)
        return CompareNumberKeys(x, y);
    if (a.bDate)
        return CompareDateKeys(x, y);
    return compareText(*x.pText, *y.pText);
}

int CompareCells(const std::string& a, const std::string& b, bool bAscending, const TextCompare& compareText)
{
    return CompareKeys(CellKey(a), CellKey(b), bAscending, compareText);
}

}  // namespace plovik
