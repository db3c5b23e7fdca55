#pragma once
// Every link of a crawl for the windows' link views: who links to whom, the href as
// the page wrote it, and the status each end ended with. Fed by the crawl's messages
// (or a saved crawl's replay, SavedCrawlReplay.h), it also keeps the results rows
// as the command line builds them, so that its edge list and GraphML are the bytes
// `plovik --format edges|graphml` prints for the same crawl.
//
// Not thread-safe: a window hands it the messages on its own thread, as it does
// with its list, and asks it only there.
//
//   SiteLinkGraph graph;
//   graph.Reset();                              // when a crawl starts
//   ... graph gets the crawl's messages ...
//   LinkTable in = graph.InLinks("host/a.html");  // the Page text of a results row
//   graph.BrokenLinks().WriteCsv(file);

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <vector>

#include "CrawlNotifier.h"
#include "LinkGraph.h"
#include "LinkTable.h"
#include "ProgressRows.h"
#include "TableRowSink.h"

namespace plovik {

class SiteLinkGraph : public CrawlNotifier {
public:
    SiteLinkGraph();
    SiteLinkGraph(const SiteLinkGraph&) = delete;
    SiteLinkGraph& operator=(const SiteLinkGraph&) = delete;

    // ------------------------------------------------------------ filling
    // Forgets everything: before a crawl, or before a saved crawl is opened.
    void Reset();

    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override;
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration& ranks) override;
    bool WantsProcessedPages() const override { return true; }
    void OnPageProcessed(const ProcessedPage& page) override;
    // The shape of a window's crawl handler (CrawlJob::Handler): pRanks set stands
    // for a whole iteration.
    void OnProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks);

    // ------------------------------------------------------------ the views
    // Columns of InLinks and OutLinks: Address, Status, Href (the other end's address
    // and status, and the href as the linking page wrote it).
    static LinkTable PageLinksTable();
    // Columns of BrokenLinks: Page, Href, Target, Status, Reason.
    static LinkTable BrokenLinksTable();

    // The links to and from the results row with this Page text (compared as the
    // list compares it, ignoring letter case), in crawl order; empty for no row.
    LinkTable InLinks(const std::string& strLabel) const;
    LinkTable OutLinks(const std::string& strLabel) const;
    // Every link whose target did not answer 200 (another status, no answer, or not
    // fetched at all), in crawl order; Reason is why the target could not be read.
    LinkTable BrokenLinks() const;

    std::size_t LinkCount() const { return m_links.size(); }
    bool Empty() const { return m_links.empty() && m_sink.Rows().empty(); }

    // ------------------------------------------------------------ export
    // The results rows in the order they were added, and the links as pairs of them.
    std::vector<ResultRow> Rows() const { return m_sink.Rows(); }
    std::vector<RowLink> RowLinks() const;
    // CSV From,To,Status, one line per link; and GraphML: the command line's layouts.
    void WriteEdgeList(std::ostream& out) const;
    void WriteGraphMl(std::ostream& out) const;

private:
    struct Page {
        std::string strUrl;
        std::int32_t nStatus = 0;
        std::string strFailure;
    };
    struct Link {
        std::size_t nFrom = 0;  // into m_pages
        std::size_t nTo = 0;
        std::string strHref;
    };

    std::size_t PageOf(const PageRecord& record);
    // Links whose one end (bTarget: the target) is shown in the row of strLabel.
    LinkTable LinksOfRow(const std::string& strLabel, bool bTarget) const;

    std::vector<Page> m_pages;
    std::unordered_map<std::string, std::size_t> m_byUrl;
    std::vector<Link> m_links;
    TableRowSink m_sink;
    ProgressRows m_rows;
};

}  // namespace plovik
