#pragma once
// One crawl, several receivers: the rows of a front end, a saved crawl, the link
// graph of an output layout. Each gets every message, in the order they were added.

#include <vector>

#include "CrawlNotifier.h"

namespace plovik {

class NotifierFanOut : public CrawlNotifier {
public:
    // Not owned; null is skipped.
    void Add(CrawlNotifier* pReceiver);

    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override;
    void OnPageFailed(const std::string& strUrl, const std::string& strReason) override;
    // Whole iterations only when every receiver takes them so; otherwise every
    // receiver gets the per-record messages.
    bool TakesWholeIterations() const override;
    void OnIterationDone(const RankIteration& ranks) override;
    void OnPageNote(const std::string& strUrl, const std::string& strText) override;
    bool WantsProcessedPages() const override;
    void OnPageProcessed(const ProcessedPage& page) override;

private:
    std::vector<CrawlNotifier*> m_receivers;
};

}  // namespace plovik
