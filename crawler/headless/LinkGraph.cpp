#include "LinkGraph.h"

#include "ProgressRows.h"

namespace plovik {

void LinkGraphCollector::OnPageProcessed(const ProcessedPage& page)
{
    for (const PageRecord* pTarget : page.targets)
        m_links.emplace_back(page.page.nIndex, pTarget->nIndex);
}

std::vector<RowLink> LinkGraphCollector::RowLinks(const CSiteCrawler::PageTable& pages, const ProgressRows& rows) const
{
    // Two addresses that differ only in letter case share a row, as in the window.
    std::vector<int> rowOf(pages.size(), -1);
    for (const auto& entry : pages)
        if (entry.second->nIndex < rowOf.size())
            rowOf[entry.second->nIndex] = rows.FindPageRow(entry.first);
    std::vector<RowLink> links;
    links.reserve(m_links.size());
    for (const auto& link : m_links) {
        const int nFrom = link.first < rowOf.size() ? rowOf[link.first] : -1;
        const int nTo = link.second < rowOf.size() ? rowOf[link.second] : -1;
        if (nFrom >= 0 && nTo >= 0)
            links.emplace_back(nFrom, nTo);
    }
    return links;
}

}  // namespace plovik
