#pragma once
// A saved crawl given to a receiver as the crawl itself gave it, so that a window
// fills its list (and its link graph) from a file as it does after a crawl: the
// pages go through the engine in the order the crawl processed them, taken back from
// the file and never fetched, then come the saved ranks (a finished crawl) or ranks
// calculated over what was saved (a crawl that did not finish).
//
// The command line's --open does the same in headless/SavedCrawlRun.cpp.

#include "CrawlNotifier.h"
#include "CrawlStore.h"
#include "SavedCrawl.h"

namespace plovik {

// Runs on the calling thread, without the network; receiver gets every message.
void ReplaySavedCrawl(SavedCrawl& saved, const CrawlSetup& setup, bool bFinished, CrawlNotifier& receiver);

}  // namespace plovik
