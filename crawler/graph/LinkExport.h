#pragma once
// "Export links…" of both windows: the crawl's link graph in one of the command
// line's layouts, the same bytes as `plovik --format edges|graphml`.

#include <string>

namespace plovik {

class SiteLinkGraph;

enum class LinkLayout {
    Edges,    // CSV From,To,Status, one line per link
    GraphMl,  // one node per results row, one weighted edge per pair of rows
};

// A name ending in ".graphml" (any letter case) is GraphML; any other the edge list.
LinkLayout LinkLayoutForPath(const std::string& strPath);

std::string LinkGraphText(const SiteLinkGraph& graph, LinkLayout layout);

// The layout written whole to the file; false with the reason.
bool ExportLinkGraph(const SiteLinkGraph& graph, LinkLayout layout, const std::string& strPath, std::string& strError);

}  // namespace plovik
