#pragma once
// How the results list orders two cells: numbers (digits only) by value, dd/mm/yyyy
// dates by year, month and day, everything else as text in the user's locale. The
// kind is decided by the first cell alone, so the order is not a strict weak
// ordering; the sort below is safe for it.

#include <QString>

#include <vector>

namespace plovik {

bool IsNumberText(const QString& s);
bool IsDateText(const QString& s);
int CompareNumberTexts(const QString& x, const QString& y);
// Only x is known to be a date: y's parts are read with the C-style conversion.
int CompareDateTexts(const QString& x, const QString& y);
// -1, 0 or 1; bAscending false swaps the operands but keeps the kind of a.
int CompareCells(const QString& a, const QString& b, bool bAscending);

// The indexes of cells in sorted order: stable, every index exactly once.
std::vector<int> SortedOrder(const std::vector<const QString*>& cells, bool bAscending);

}  // namespace plovik
