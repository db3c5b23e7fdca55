#pragma once
// Writes a running crawl into its CrawlStore, fed by the crawl's own messages: each
// processed page with its new pages and its links in one transaction, and at the
// end every page's rank and the total.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "CrawlNotifier.h"
#include "CrawlStore.h"

namespace plovik {

class CrawlRecorder : public CrawlNotifier {
public:
    // A new file: pages are numbered from 0.
    explicit CrawlRecorder(CrawlStore& store);
    // A resumed crawl: the pages already in the file keep their numbers, and pages the
    // crawl takes back from the file are not written again.
    CrawlRecorder(CrawlStore& store, const std::vector<StoredPage>& saved);

    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override;
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration& ranks) override;
    bool WantsProcessedPages() const override { return true; }
    void OnPageProcessed(const ProcessedPage& page) override;

private:
    // The file's number of a record; a page new to the file joins m_newPages.
    std::int64_t IdOf(const PageRecord& record);

    CrawlStore& m_store;
    std::unordered_map<std::string, std::int64_t> m_savedIds;  // address -> number, from the file
    std::vector<std::int64_t> m_ids;                           // PageRecord::nIndex -> number; -1 not yet
    std::int64_t m_nNextId = 0;
    std::int64_t m_nNextVisit = 0;
    std::vector<float> m_ranks;  // by PageRecord::nIndex, the last iteration's
    // The page being recorded: its new pages, its links' numbers.
    std::vector<CrawlStore::NewPage> m_newPages;
    std::vector<std::int64_t> m_targets;
};

}  // namespace plovik
