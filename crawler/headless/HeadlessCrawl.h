#pragma once
// The program without a window: one crawl from the command line, the results on
// standard output, progress on standard error.

#include <iosfwd>
#include <string>
#include <vector>

#include "HeadlessArgs.h"

namespace plovik {

// Runs one crawl and prints its results. Returns the exit status (ExitStatus).
// bLiveProgress: rewrite one progress line in place (standard error is a terminal)
// instead of one line per text.
int RunHeadlessCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool bLiveProgress);

// The command line's entry (arguments after the program name): parse, crawl, print,
// on the process's standard streams.
int RunHeadlessMain(const std::vector<std::string>& args);

}  // namespace plovik
