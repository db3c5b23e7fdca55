#pragma once
// The link graph for the layouts that print it (edges, graphml, dot): every link of
// every processed page in crawl order, duplicates kept, collected from the crawl's
// messages, then named by the results rows its two ends are shown in.

#include <cstdint>
#include <utility>
#include <vector>

#include "CrawlNotifier.h"
#include "SiteCrawler.h"

namespace plovik {

class ProgressRows;

// A link as two row indices; the rows are the results table's.
using RowLink = std::pair<int, int>;

class LinkGraphCollector : public CrawlNotifier {
public:
    void OnCrawlProgress(int, const PageRecord*, std::int32_t) override {}
    bool TakesWholeIterations() const override { return true; }
    bool WantsProcessedPages() const override { return true; }
    void OnPageProcessed(const ProcessedPage& page) override;

    // The links as rows of the table, once the crawl is over and its table still there.
    std::vector<RowLink> RowLinks(const CSiteCrawler::PageTable& pages, const ProgressRows& rows) const;

private:
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_links;  // PageRecord::nIndex pairs
};

}  // namespace plovik
