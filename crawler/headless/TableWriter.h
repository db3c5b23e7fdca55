#pragma once
// The results as aligned columns for people: addresses left, numbers right, control
// bytes escaped.

#include <iosfwd>
#include <vector>

#include "ProgressRows.h"

namespace plovik {

void WriteTable(std::ostream& out, const std::vector<ResultRow>& rows);

}  // namespace plovik
