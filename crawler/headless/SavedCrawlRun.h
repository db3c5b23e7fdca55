#pragma once
// The command line's saved crawls: --save keeps a crawl in a new file as it runs,
// --open prints a saved crawl without the network, --resume continues one.

#include <iosfwd>
#include <string>

#include "CrawlStore.h"
#include "HeadlessArgs.h"

namespace plovik {

// What a new crawl file records of a crawl from strUrl: its settings and this
// program's version.
CrawlSetup NewCrawlSetup(const std::string& strUrl, const CrawlSettings& settings);

// A crawl from the checked start address, kept in options.strSavePath.
int RunSavedCrawl(const HeadlessOptions& options, const std::string& strUrl, std::ostream& out, std::ostream& err,
                  bool bLiveProgress);
int RunOpenedCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err);
int RunResumedCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool bLiveProgress);

}  // namespace plovik
