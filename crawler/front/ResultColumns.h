#pragma once
// The columns of the results, in every front end: their order, headings and widths.

#include <string>

namespace plovik {

enum ResultColumn : int { COL_PAGE = 0, COL_PR, COL_IN, COL_OUT, COL_DEPTH, COL_STATUS, COL_COUNT };

inline constexpr const char* kColumnHeadings[COL_COUNT] = {"Page", "PR", "In", "Out", "Depth", "Status"};
// Pixels of the 8-point dialog font at 96 DPI.
inline constexpr int kColumnWidths[COL_COUNT] = {240, 40, 30, 30, 43, 45};

// The list's layout string made of both: "Page,240;PR,40;In,30;Out,30;Depth,43;Status,45".
std::string ResultsLayout();

}  // namespace plovik
