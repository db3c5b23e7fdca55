#pragma once
// The results as JSON: {"rows": [{"Page": ..., ...}], "total": N}.

#include <iosfwd>
#include <string>
#include <vector>

#include "ProgressRows.h"

namespace plovik {

// strTotal is the final status line's number.
void WriteJson(std::ostream& out, const std::vector<ResultRow>& rows, const std::string& strTotal);

}  // namespace plovik
