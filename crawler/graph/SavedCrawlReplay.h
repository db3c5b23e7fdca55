#pragma once
// A saved crawl given to a receiver as the crawl itself gave it, so that a window
// fills its list (and its link graph) from a file as it does after a crawl: the
// pages go through the engine in the order the crawl processed them, taken back from
// the file and never fetched, then come the saved ranks (a finished crawl) or ranks
// calculated over what was saved (a crawl that did not finish).

#include <functional>
#include <string>

#include "CrawlNotifier.h"
#include "CrawlStore.h"
#include "SavedCrawl.h"

namespace plovik {

// Runs on the calling thread, without the network; receiver gets every message.
void ReplaySavedCrawl(SavedCrawl& saved, const CrawlSetup& setup, bool bFinished, CrawlNotifier& receiver);

// What "Open crawl…" tells the window besides the messages.
struct OpenedCrawl {
    CrawlSetup setup;        // the start address and settings the crawl ran with
    bool bFinished = false;  // false: the ranks were calculated over what was saved
};

// Runs once the file has been read whole, before the first message: a window empties
// its list here, so that a file it refuses leaves the list as it was.
using BeforeReplay = std::function<void(const OpenedCrawl&)>;

// The file opened read-only (never changed) and replayed. False, with the reason
// as the command line words it, for a file that is missing, no crawl, damaged or of
// another version; neither beforeReplay nor the receiver then got anything.
bool ReplaySavedCrawlFile(const std::string& strPath, CrawlNotifier& receiver, OpenedCrawl& opened,
                          std::string& strError, const BeforeReplay& beforeReplay = BeforeReplay());

}  // namespace plovik
