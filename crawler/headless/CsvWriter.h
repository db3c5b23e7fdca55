#pragma once
// The results as CSV: a heading line, then one line per row; fields quoted where they
// hold a comma, a quote or a line break.

#include <iosfwd>
#include <string>
#include <vector>

#include "ProgressRows.h"

namespace plovik {

// One field: quoted, with its quotes doubled, where it holds a comma, a quote or a
// line break.
std::string CsvField(const std::string& s);

void WriteCsv(std::ostream& out, const std::vector<ResultRow>& rows);

}  // namespace plovik
