#pragma once
// The results list's sort order of two cell texts, for a window whose list compares
// texts itself. The kind of comparison follows the first text alone: all digits (or
// empty) compare as numbers, dd/mm/yyyy as dates, anything else with the window's
// own text comparison.

#include <functional>
#include <string>

namespace plovik {

bool IsNumberText(const std::string& s);
bool IsDateText(const std::string& s);

using TextCompare = std::function<int(const std::string&, const std::string&)>;

// Negative, zero or positive, as a sorted list wants a before b.
int CompareCells(const std::string& a, const std::string& b, bool bAscending, const TextCompare& compareText);

}  // namespace plovik
