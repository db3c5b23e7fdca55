#pragma once
// A saved crawl's pages given back to the engine in the order the crawl processed
// them, taken from the file and never fetched: the same messages as the crawl, so
// the same rows. Then the saved ranks, or ranks calculated again (bRecalculate, or a
// crawl that did not finish and saved none) with nIterations.

#include <cstdint>

#include "CrawlNotifier.h"
#include "CrawlStore.h"
#include "SavedCrawl.h"
#include "SiteCrawler.h"

namespace plovik {

// crawler must recall its pages from saved (SetRecordedPages); runs on the calling
// thread, without the network.
void ReplaySavedPages(CSiteCrawler& crawler, CrawlNotifier& receiver, const SavedCrawl& saved, const CrawlSetup& setup,
                      bool bFinished, bool bRecalculate, std::int32_t nIterations);

}  // namespace plovik
