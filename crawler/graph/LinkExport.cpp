#include "LinkExport.h"

#include <sstream>

#include "SiteLinkGraph.h"
#include "TextFormat.h"
#include "WholeFile.h"

namespace plovik {

LinkLayout LinkLayoutForPath(const std::string& strPath)
{
    static const std::string kGraphMl = ".graphml";
    const bool bGraphMl =
        strPath.size() >= kGraphMl.size() && LowerAscii(strPath.substr(strPath.size() - kGraphMl.size())) == kGraphMl;
    return bGraphMl ? LinkLayout::GraphMl : LinkLayout::Edges;
}

std::string LinkGraphText(const SiteLinkGraph& graph, LinkLayout layout)
{
    std::ostringstream out;
    if (layout == LinkLayout::GraphMl)
        graph.WriteGraphMl(out);
    else
        graph.WriteEdgeList(out);
    return out.str();
}

bool ExportLinkGraph(const SiteLinkGraph& graph, LinkLayout layout, const std::string& strPath, std::string& strError)
{
    return WriteWholeFile(strPath, LinkGraphText(graph, layout), strError);
}

}  // namespace plovik
