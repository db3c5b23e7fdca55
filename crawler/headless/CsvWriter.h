#pragma once
// The results as CSV: a heading line, then one line per row; fields quoted where they
// hold a comma, a quote or a line break.

#include <iosfwd>
#include <vector>

#include "ProgressRows.h"

namespace plovik {

void WriteCsv(std::ostream& out, const std::vector<ResultRow>& rows);

}  // namespace plovik
