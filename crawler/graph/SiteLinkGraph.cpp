#include "SiteLinkGraph.h"

#include "GraphWriters.h"
#include "TextFormat.h"

namespace plovik {

SiteLinkGraph::SiteLinkGraph() : m_sink(0), m_rows(m_sink)
{
}

void SiteLinkGraph::Reset()
{
    m_pages.clear();
    m_byUrl.clear();
    m_links.clear();
    m_sink.DeleteAllRows();
}

std::size_t SiteLinkGraph::PageOf(const PageRecord& record)
{
    const auto found = m_byUrl.emplace(record.strUrl, m_pages.size());
    if (found.second)
        m_pages.push_back(Page{record.strUrl, record.nStatus, std::string()});
    return found.first->second;
}

void SiteLinkGraph::OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber)
{
    m_rows.OnCrawlProgress(nCode, pRecord, nNumber);
    if (!pRecord)
        return;
    if (nCode == CP_PAGE_ADDED)
        PageOf(*pRecord);
    else if (nCode == CP_PAGE_FETCHED)
        m_pages[PageOf(*pRecord)].nStatus = pRecord->nStatus;
}

void SiteLinkGraph::OnIterationDone(const RankIteration& ranks)
{
    m_rows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0, &ranks);
}

void SiteLinkGraph::OnProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks)
{
    if (pRanks)
        OnIterationDone(*pRanks);
    else
        OnCrawlProgress(nCode, pRecord, nNumber);
}

void SiteLinkGraph::OnPageProcessed(const ProcessedPage& page)
{
    const std::size_t nFrom = PageOf(page.page);
    m_pages[nFrom].nStatus = page.page.nStatus;
    m_pages[nFrom].strFailure = page.strFailure;
    for (std::size_t i = 0; i < page.targets.size(); ++i) {
        // A target processed later gets its status then; until then it has the record's.
        const std::size_t nTo = PageOf(*page.targets[i]);
        m_links.push_back(Link{nFrom, nTo, i < page.hrefs.size() ? page.hrefs[i] : std::string()});
    }
}

LinkTable SiteLinkGraph::PageLinksTable()
{
    return LinkTable({{"Address", false}, {"Status", true}, {"Href", false}});
}

LinkTable SiteLinkGraph::BrokenLinksTable()
{
    return LinkTable({{"Page", false}, {"Href", false}, {"Target", false}, {"Status", true}, {"Reason", false}});
}

LinkTable SiteLinkGraph::LinksOfRow(const std::string& strLabel, bool bTarget) const
{
    LinkTable table = PageLinksTable();
    const int nRow = m_sink.FindRow(strLabel);
    if (nRow < 0)
        return table;
    // Two addresses that differ only in letter case share a row: both count.
    std::vector<signed char> inRow(m_pages.size(), -1);
    const auto isInRow = [&](std::size_t nPage) {
        if (inRow[nPage] < 0)
            inRow[nPage] = m_rows.FindPageRow(m_pages[nPage].strUrl) == nRow ? 1 : 0;
        return inRow[nPage] == 1;
    };
    for (const Link& link : m_links) {
        if (!isInRow(bTarget ? link.nTo : link.nFrom))
            continue;
        const Page& other = m_pages[bTarget ? link.nFrom : link.nTo];
        table.AddRow({other.strUrl, FormatInt(other.nStatus), link.strHref});
    }
    return table;
}

LinkTable SiteLinkGraph::InLinks(const std::string& strLabel) const
{
    return LinksOfRow(strLabel, true);
}

LinkTable SiteLinkGraph::OutLinks(const std::string& strLabel) const
{
    return LinksOfRow(strLabel, false);
}

LinkTable SiteLinkGraph::BrokenLinks() const
{
    LinkTable table = BrokenLinksTable();
    for (const Link& link : m_links) {
        const Page& target = m_pages[link.nTo];
        if (target.nStatus == 200)
            continue;
        table.AddRow(
            {m_pages[link.nFrom].strUrl, link.strHref, target.strUrl, FormatInt(target.nStatus), target.strFailure});
    }
    return table;
}

std::vector<RowLink> SiteLinkGraph::RowLinks() const
{
    // The rows are looked up by address at the end, as the command line does.
    std::vector<int> rowOf(m_pages.size());
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        rowOf[i] = m_rows.FindPageRow(m_pages[i].strUrl);
    std::vector<RowLink> links;
    links.reserve(m_links.size());
    for (const Link& link : m_links)
        if (rowOf[link.nFrom] >= 0 && rowOf[link.nTo] >= 0)
            links.emplace_back(rowOf[link.nFrom], rowOf[link.nTo]);
    return links;
}

void SiteLinkGraph::WriteEdgeList(std::ostream& out) const
{
    WriteEdges(out, Rows(), RowLinks());
}

void SiteLinkGraph::WriteGraphMl(std::ostream& out) const
{
    plovik::WriteGraphMl(out, Rows(), RowLinks());
}

}  // namespace plovik
