#pragma once
// The link graph in three layouts: an edge list (CSV From,To,Status, one line per
// link in crawl order), GraphML and Graphviz dot (one node per results row, one edge
// per pair of rows with the number of links as its weight).

#include <iosfwd>
#include <vector>

#include "LinkGraph.h"
#include "ProgressRows.h"

namespace plovik {

void WriteEdges(std::ostream& out, const std::vector<ResultRow>& rows, const std::vector<RowLink>& links);
void WriteGraphMl(std::ostream& out, const std::vector<ResultRow>& rows, const std::vector<RowLink>& links);
void WriteDot(std::ostream& out, const std::vector<ResultRow>& rows, const std::vector<RowLink>& links);

}  // namespace plovik
