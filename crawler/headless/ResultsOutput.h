#pragma once
// The results on standard output in the layout the command line chose.

#include <iosfwd>
#include <string>
#include <vector>

#include "HeadlessArgs.h"
#include "LinkGraph.h"
#include "ProgressRows.h"

namespace plovik {

// Whether the layout prints the link graph (and so needs the crawl's links).
bool PrintsLinkGraph(OutputFormat format);

void WriteResults(std::ostream& out, OutputFormat format, const std::vector<ResultRow>& rows,
                  const std::string& strTotal, const std::vector<RowLink>& links);

}  // namespace plovik
