#pragma once
// A window's rows as a receiver of a crawl's messages on the window's own thread:
// what "Open crawl…" replays a saved crawl into, so that the list fills as it does
// from a crawl's worker.

#include "CrawlNotifier.h"
#include "ProgressRows.h"

namespace plovik {

class RowsReceiver : public CrawlNotifier {
public:
    explicit RowsReceiver(ProgressRows& rows) : m_rows(rows) {}
    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        // A finished crawl's file holds only its final ranks: one iteration where the
        // crawl had all of them. The bar is stepped on to its end as those would have.
        if (nCode == CP_CALC_DONE)
            for (int n = m_rows.ProgressPos(); n < m_rows.ProgressHigh(); ++n)
                m_rows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0);
        m_rows.OnCrawlProgress(nCode, pRecord, nNumber);
    }
    // Like the worker's messages: one call per rank iteration.
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration& ranks) override
    {
        m_rows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0, &ranks);
    }

private:
    ProgressRows& m_rows;
};

}  // namespace plovik
