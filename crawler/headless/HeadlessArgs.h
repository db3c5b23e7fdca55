#pragma once
// The program's command line: which front end runs, and the options of a crawl
// without a window.

#include <cstdint>
#include <string>
#include <vector>

#include "CrawlSettings.h"

namespace plovik {

enum class OutputFormat { Table, Csv, Json, Edges, GraphMl, Dot };

// What the command line asks for: a crawl (which --save may keep in a file), or a
// saved crawl read back (--open) or continued (--resume).
enum class HeadlessCommand { Crawl, Open, Resume };

struct HeadlessOptions {
    std::string strUrl;  // as typed; normalised by the crawl
    // Pages and iterations as the window's fields take them (iterations capped at
    // 40); the engine settings that the command line does not show keep their
    // defaults (tests shorten the pause).
    CrawlSettings crawl;
    OutputFormat format = OutputFormat::Table;
    bool bVerbose = false;  // one line on standard error per page that failed
    HeadlessCommand command = HeadlessCommand::Crawl;
    std::string strSavePath;        // --save: the new file the crawl is kept in
    std::string strCrawlFile;       // --open or --resume: the saved crawl
    bool bIterationsGiven = false;  // --iterations on the command line (--open recomputes the ranks)
};

enum class HeadlessArgs { Run, Help, Version, UsageError };

// Arguments after the program name. On UsageError, strError says why.
HeadlessArgs ParseHeadlessArgs(const std::vector<std::string>& args, HeadlessOptions& options, std::string& strError);

// True when the arguments start the window: none at all, or only the window system's
// own options (-platform NAME, -style NAME, ...). Anything else goes to the parser,
// which refuses what it does not know.
bool WantsWindow(const std::vector<std::string>& args);

std::string HeadlessUsage();

// What `plovik` alone says on standard error when no window can be opened.
extern const char* const kNoDisplayMessage;

// Exit statuses of the program.
enum ExitStatus : int {
    EXIT_CRAWLED = 0,            // the crawl completed and the start page answered 200
    EXIT_START_PAGE_FAILED = 1,  // the crawl completed, the start page could not be fetched
    EXIT_USAGE = 2,              // bad arguments or address, or no display for the window
};

}  // namespace plovik
