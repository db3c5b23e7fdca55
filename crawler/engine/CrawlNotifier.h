#pragma once
// How the crawl engine reports to a front end (the window or the headless printer).

#include <cstdint>
#include <string>

#include "PageRecord.h"
#include "ProcessedPage.h"
#include "RankIteration.h"

namespace plovik {

// Codes of a progress message; the numbers are part of the protocol.
enum CrawlProgressCode : int {
    CP_PAGE_ADDED = 0,       // a new record: payload the record
    CP_RANK_CHANGED = 1,     // fNewRank of the record was computed
    CP_INLINKS_CHANGED = 2,  // a link reached a known record
    CP_PAGE_FETCHED = 3,     // a queued page was fetched: nOutLinks and nStatus set
    CP_PAGE_DONE = 4,        // the end of one processed page
    CP_CALC_START = 5,       // number 0
    CP_ITERATION_DONE = 6,   // number 0
    CP_CALC_DONE = 7,        // number: total rank of the visited pages x 1000, truncated
};

// Receiver of progress messages. Called on the crawl's own thread, synchronously:
// the crawl waits until the call returns. The record (null for codes 5 to 7) is valid
// only during the call; copy what you need and keep no pointer.
class CrawlNotifier {
public:
    virtual ~CrawlNotifier() = default;
    virtual void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) = 0;

    // Beyond the protocol: a page could not be read (no status, or a 200 whose body
    // could not be read), with the reason. Sent before the page's messages.
    virtual void OnPageFailed(const std::string& /*strUrl*/, const std::string& /*strReason*/) {}

    // Beyond the protocol: a receiver that shows a whole rank iteration at once answers
    // true. It then gets no CP_RANK_CHANGED, and each CP_ITERATION_DONE comes through
    // OnIterationDone with the ranks those messages would have carried.
    virtual bool TakesWholeIterations() const { return false; }
    virtual void OnIterationDone(const RankIteration& /*ranks*/) {}
    // Beyond the protocol: something the crawl decided about an address on its own (a
    // redirect to another site not followed, a robots.txt it could not read).
    virtual void OnPageNote(const std::string& /*strUrl*/, const std::string& /*strText*/) {}

    // Beyond the protocol: a receiver that keeps the link graph answers true, and then
    // gets each processed page's links, hrefs and final address, just before its
    // CP_PAGE_DONE. The crawl collects the hrefs only for such a receiver.
    virtual bool WantsProcessedPages() const { return false; }
    virtual void OnPageProcessed(const ProcessedPage& /*page*/) {}
};

}  // namespace plovik
