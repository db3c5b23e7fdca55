#pragma once
// What the crawl knows about one page once it is processed, beyond the progress
// messages: what a saved crawl keeps, and how a reopened one is given back.

#include <cstdint>
#include <string>
#include <vector>

#include "PageRecord.h"

namespace plovik {

// Handed to CrawlNotifier::OnPageProcessed, valid only during the call.
struct ProcessedPage {
    const PageRecord& page;
    const std::string& strFinalUrl;  // where the fetch ended after redirects; empty without an answer
    const std::string& strFailure;   // why the page has no status or its body was not read
    // The record each link of the page reached, in the order of the page's link list
    // (the slash variant of a link reaches the known record).
    const std::vector<const PageRecord*>& targets;
    const std::vector<std::string>& hrefs;  // each link's href as the page wrote it
    bool bRecalled;                         // given back by RecordedPages, not fetched
};

// One page as an earlier run of the same crawl processed it.
struct RecordedPage {
    std::int32_t nStatus = 0;
    std::string strFinalUrl;
    std::string strFailure;
    std::vector<std::string> links;  // the link list: the address each link reached
    std::vector<std::string> hrefs;
};

// Pages that a resumed or reopened crawl takes from a saved crawl instead of
// fetching them again.
class RecordedPages {
public:
    virtual ~RecordedPages() = default;
    // False when the address was not processed before: it is fetched.
    virtual bool Recall(const std::string& strUrl, RecordedPage& page) = 0;
};

}  // namespace plovik
