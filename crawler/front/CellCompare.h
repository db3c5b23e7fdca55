#pragma once
// The results list's sort order of two cell texts, in every front end. The kind of
// comparison follows the first text alone: all digits (or empty) compare as numbers,
// dd/mm/yyyy as dates, anything else with the toolkit's own text comparison.

#include <cstdint>
#include <functional>
#include <string>

namespace plovik {

bool IsNumberText(const std::string& s);
bool IsDateText(const std::string& s);
// By their C-style integer values; -1, 0 or 1.
int CompareNumberTexts(const std::string& x, const std::string& y);
// Year, then month, then day; only x is known to be a date: y's fields are read with
// the same C-style conversion, a field beyond its end as 0.
int CompareDateTexts(const std::string& x, const std::string& y);

using TextCompare = std::function<int(const std::string&, const std::string&)>;

// Negative, zero or positive, as a sorted list wants a before b.
int CompareCells(const std::string& a, const std::string& b, bool bAscending, const TextCompare& compareText);

// What the order needs of one cell, worked out once per sort instead of once per
// comparison. Refers to the text, which must outlive it.
struct CellKey {
    explicit CellKey(const std::string& s);

    const std::string* pText;
    bool bNumber;
    bool bDate;
    std::int32_t nValue;                           // the C-style integer value
    std::int32_t nYear = 0, nMonth = 0, nDay = 0;  // characters 6..9, 3..4 and 0..1, read the same way
};

// CompareCells of the keys' texts.
int CompareKeys(const CellKey& a, const CellKey& b, bool bAscending, const TextCompare& compareText);

}  // namespace plovik
