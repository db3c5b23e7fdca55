#pragma once
// The program without a window: one crawl from the command line, the results on
// standard output, progress on standard error.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "HeadlessArgs.h"

namespace plovik {

class CrawlNotifier;
class CSiteCrawler;
class RecordedPages;

// Runs one crawl and prints its results. Returns the exit status (ExitStatus).
// bLiveProgress: rewrite one progress line in place (standard error is a terminal)
// instead of one line per text.
int RunHeadlessCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool bLiveProgress);

// What a saved crawl (SavedCrawlRun.cpp) changes in a run of the engine.
struct EngineHooks {
    CrawlNotifier* pStore = nullptr;     // gets every message too
    RecordedPages* pRecorded = nullptr;  // pages taken back instead of fetched
    // Set: runs instead of the crawl, with the crawler and all its receivers.
    std::function<void(CSiteCrawler&, CrawlNotifier&)> replay;
    bool bShowProgress = true;       // the status texts on standard error
    bool bReportRankChanges = true;  // with --verbose: the largest change per iteration
};

// One run of the engine from the (normalised) start address, its rows printed in the
// chosen layout. Returns the exit status.
int RunHeadlessEngine(const HeadlessOptions& options, const std::string& strUrl, const EngineHooks& hooks,
                      std::ostream& out, std::ostream& err, bool bLiveProgress);

// The command line's entry (arguments after the program name): parse, crawl, print,
// on the process's standard streams.
int RunHeadlessMain(const std::vector<std::string>& args);

}  // namespace plovik
