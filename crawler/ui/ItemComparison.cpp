#include "ItemComparison.h"

#include "TextFormat.h"

#include <QCollator>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace plovik {

namespace {

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int Sign(long long n)
{
    return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

std::int32_t CInt(const QString& s)
{
    return ParseCInt32(s.toStdString());
}

// Everything the comparison needs from one cell, worked out once per row and sort
// instead of once per comparison.
struct CellKey {
    bool bNumber = false;
    bool bDate = false;
    std::int32_t nValue = 0;                       // C-style integer value
    std::int32_t nYear = 0, nMonth = 0, nDay = 0;  // the date parts, read the same way
    std::optional<QCollatorSortKey> text;

    // Date parts and text keys are only needed when some cell of the column is a
    // date or a text, since the first text of a pair decides the kind.
    CellKey(const QString& s, const QCollator& collator, bool bWithDate = true, bool bWithText = true)
        : bNumber(IsNumberText(s)), bDate(IsDateText(s)), nValue(CInt(s))
    {
        if (bWithDate) {
            nYear = CInt(s.mid(6, 4));
            nMonth = CInt(s.mid(3, 2));
            nDay = CInt(s.mid(0, 2));
        }
        if (bWithText)
            text = collator.sortKey(s);
    }
};

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

// The kind of comparison is decided by a alone.
int CompareKeys(const CellKey& a, const CellKey& b, bool bAscending)
{
    if (a.bNumber)
        return bAscending ? CompareNumberKeys(a, b) : CompareNumberKeys(b, a);
    if (a.bDate)
        return bAscending ? CompareDateKeys(a, b) : CompareDateKeys(b, a);
    return Sign(bAscending ? a.text->compare(*b.text) : b.text->compare(*a.text));
}

// The platform's locale-aware, case-sensitive text order: the user's locale.
QCollator TextCollator()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

// Stable bottom-up merge sort. It never reads outside the range, whatever the
// comparison answers.
template <class T, class Cmp>
void MergeSort(std::vector<T>& items, Cmp cmp)
{
    const std::size_t n = items.size();
    std::vector<T> buffer(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                buffer[k++] = cmp(items[i], items[j]) > 0 ? items[j++] : items[i++];
            while (i < mid)
                buffer[k++] = items[i++];
            while (j < hi)
                buffer[k++] = items[j++];
        }
        items.swap(buffer);
    }
}

}  // namespace

bool IsNumberText(const QString& s)
{
    return std::all_of(s.begin(), s.end(), IsDigit);
}

bool IsDateText(const QString& s)
{
    if (s.size() != 10)
        return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!IsDigit(s[i]))
            return false;
    return s[2] == QLatin1Char('/') && s[5] == QLatin1Char('/');
}

int CompareNumberTexts(const QString& x, const QString& y)
{
    return Sign(static_cast<long long>(CInt(x)) - CInt(y));
}

int CompareDateTexts(const QString& x, const QString& y)
{
    // A part beyond the end of y counts as 0.
    const QCollator collator = TextCollator();
    return CompareDateKeys(CellKey(x, collator), CellKey(y, collator));
}

int CompareCells(const QString& a, const QString& b, bool bAscending)
{
    const QCollator collator = TextCollator();
    return CompareKeys(CellKey(a, collator), CellKey(b, collator), bAscending);
}

std::vector<int> SortedOrder(const std::vector<const QString*>& cells, bool bAscending)
{
    const QCollator collator = TextCollator();
    bool bAnyDate = false, bAnyText = false;
    for (const QString* pCell : cells) {
        if (!IsNumberText(*pCell)) {
            const bool bDate = IsDateText(*pCell);
            bAnyDate = bAnyDate || bDate;
            bAnyText = bAnyText || !bDate;
        }
    }
    std::vector<CellKey> keys;
    keys.reserve(cells.size());
    for (const QString* pCell : cells)
        keys.emplace_back(*pCell, collator, bAnyDate, bAnyText);
    std::vector<int> order(cells.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    MergeSort(order, [&](int a, int b) {
        return CompareKeys(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)], bAscending);
    });
    return order;
}

}  // namespace plovik
