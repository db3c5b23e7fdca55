#include "HeadlessArgs.h"

#include <cstring>

#include "TextFormat.h"

namespace plovik {

namespace {

const char* const kValueOptions[] = {"--crawl", "--pages",  "--iterations", "--format",
                                     "--links", "--save", "--open",       "--resume"};

struct FormatName {
    const char* pName;
    OutputFormat format;
};
const FormatName kFormats[] = {{"table", OutputFormat::Table}, {"csv", OutputFormat::Csv},
                               {"json", OutputFormat::Json},   {"edges", OutputFormat::Edges},
                               {"graphml", OutputFormat::GraphMl}, {"dot", OutputFormat::Dot}};

// The window system's options that take a value, and those that do not.
const char* const kWindowValueOptions[] = {"-platform",        "-platformpluginpath",
                                           "-platformtheme",   "-plugin",
                                           "-qwindowgeometry", "-qwindowicon",
                                           "-qwindowtitle",    "-display",
                                           "-geometry",        "-style",
                                           "-stylesheet",      "-session"};
const char* const kWindowFlags[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

bool IsOption(const std::string& sArg, const char* pName, std::string* pInlineValue)
{
    const std::size_t n = std::strlen(pName);
    if (sArg == pName)
        return true;
    if (pInlineValue && sArg.size() > n && sArg.compare(0, n, pName) == 0 && sArg[n] == '=') {
        *pInlineValue = sArg.substr(n + 1);
        return true;
    }
    return false;
}

// An optional sign and decimal digits, nothing else; values beyond the 32-bit range
// saturate as the window's fields do.
bool ParseDecimal(const std::string& sText, std::int32_t& nValue)
{
    std::size_t i = (!sText.empty() && (sText[0] == '+' || sText[0] == '-')) ? 1 : 0;
    if (i == sText.size())
        return false;
    for (; i < sText.size(); ++i)
        if (sText[i] < '0' || sText[i] > '9')
            return false;
    nValue = ParseCInt32(sText);
    return true;
}

}  // namespace

const char* const kNoDisplayMessage = "plovik: no display; use plovik --crawl URL (see plovik --help)\n";

std::string HeadlessUsage()
{
    return "Usage: plovik --crawl URL [--pages N] [--iterations K] [--format F]\n"
           "                     [--links classic|standard] [--save FILE] [--verbose]\n"
           "       plovik --open FILE [--iterations K] [--format F] [--verbose]\n"
           "       plovik --resume FILE [--format F] [--verbose]\n"
           "       plovik            (the window)\n"
           "\n"
           "Crawls one web site from URL without a window, calculates the ranks of its\n"
           "pages and prints the results table on standard output.\n"
           "\n"
           "  --crawl URL        start address (http; https too with --links standard)\n"
           "  --pages N          most pages to fetch (decimal; default 10)\n"
           "  --iterations K     rank iterations (decimal; default 3; above 40 or negative: 40);\n"
           "                     with --open: calculate the ranks again with K iterations\n"
           "  --format F         table (default), csv, json, edges (CSV From,To,Status: one\n"
           "                     line per link), graphml or dot (the link graph)\n"
           "  --links R          classic (default): links found by pattern, as ever;\n"
           "                     standard: an HTML parser, RFC 3986 addresses, https,\n"
           "                     robots.txt\n"
           "  --save FILE        keep the crawl in FILE (SQLite) as it runs; FILE must not exist\n"
           "  --open FILE        print a saved crawl's results without fetching anything\n"
           "  --resume FILE      continue an interrupted saved crawl with its own settings\n"
           "  --verbose          one line on standard error for each page that could not be read,\n"
           "                     each redirect to another site, a robots.txt that could not\n"
           "                     be read, and after each rank iteration the largest change\n"
           "  --version          the program's version\n"
           "  --help             this text\n"
           "\n"
           "Exit status: 0 the crawl completed and the start page answered 200;\n"
           "1 the crawl completed but the start page could not be fetched (the table is\n"
           "still printed); 2 bad arguments or address, no display for the window, or a\n"
           "crawl file that cannot be created, read or written;\n"
           "130 interrupted (Ctrl-C).\n";
}

bool WantsWindow(const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool bKnown = false;
        for (const char* p : kWindowFlags)
            bKnown = bKnown || args[i] == p;
        for (const char* p : kWindowValueOptions) {
            std::string sInline;
            if (!bKnown && IsOption(args[i], p, &sInline)) {
                bKnown = true;
                if (args[i] == p && ++i == args.size())
                    return false;  // its value is missing: the parser says so
            }
        }
        if (!bKnown)
            return false;
    }
    return true;
}

HeadlessArgs ParseHeadlessArgs(const std::vector<std::string>& args, HeadlessOptions& options, std::string& strError)
{
    HeadlessOptions parsed;
    std::vector<std::string> commands;  // --crawl, --open, --resume as given
    bool bHaveSettings = false;         // --pages or --links
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h")
            return HeadlessArgs::Help;
        if (a == "--version")
            return HeadlessArgs::Version;
        if (a == "--verbose") {
            parsed.bVerbose = true;
            continue;
        }
        std::string sValue;
        const char* pMatched = nullptr;
        for (const char* p : kValueOptions) {
            sValue.clear();
            if (IsOption(a, p, &sValue)) {
                pMatched = p;
                break;
            }
        }
        if (!pMatched) {
            strError = "unknown argument: " + a;
            return HeadlessArgs::UsageError;
        }
        if (a == pMatched) {
            if (i + 1 >= args.size()) {
                strError = std::string("missing value after ") + pMatched;
                return HeadlessArgs::UsageError;
            }
            sValue = args[++i];
        }
        const std::string sName = pMatched;
        if (sName == "--crawl") {
            parsed.strUrl = sValue;
            commands.push_back(sName);
        } else if (sName == "--open" || sName == "--resume") {
            parsed.command = sName == "--open" ? HeadlessCommand::Open : HeadlessCommand::Resume;
            parsed.strCrawlFile = sValue;
            commands.push_back(sName);
        } else if (sName == "--save") {
            parsed.strSavePath = sValue;
        } else if (sName == "--pages" || sName == "--iterations") {
            std::int32_t nValue = 0;
            if (!ParseDecimal(sValue, nValue)) {
                strError = sName + " takes a decimal integer, not \"" + sValue + "\"";
                return HeadlessArgs::UsageError;
            }
            if (sName == "--pages") {
                parsed.crawl.nMaxPages = nValue;
                bHaveSettings = true;
            } else {
                parsed.crawl.nIterations = static_cast<std::int32_t>(CapIterations(nValue));
                parsed.bIterationsGiven = true;
            }
        } else if (sName == "--links") {
            bHaveSettings = true;
            if (sValue == "classic") {
                parsed.crawl.linkRules = LinkRules::Classic;
            } else if (sValue == "standard") {
                parsed.crawl.linkRules = LinkRules::Standard;
            } else {
                strError = "unknown link rules: " + sValue + " (use classic or standard)";
                return HeadlessArgs::UsageError;
            }
        } else {
            const FormatName* pFormat = nullptr;
            for (const FormatName& f : kFormats)
                if (sValue == f.pName)
                    pFormat = &f;
            if (!pFormat) {
                strError = "unknown format: " + sValue + " (use table, csv, json, edges, graphml or dot)";
                return HeadlessArgs::UsageError;
            }
            parsed.format = pFormat->format;
        }
    }
    if (commands.size() > 1) {
        strError = commands[0] + " and " + commands[1] + " do not go together";
        return HeadlessArgs::UsageError;
    }
    if (commands.empty()) {
        strError = "no start address: give --crawl URL";
        return HeadlessArgs::UsageError;
    }
    if (!parsed.strSavePath.empty() && parsed.command != HeadlessCommand::Crawl) {
        strError = "--save goes with --crawl only (--resume writes into its own file)";
        return HeadlessArgs::UsageError;
    }
    if (parsed.command != HeadlessCommand::Crawl && bHaveSettings) {
        strError = "--pages and --links go with --crawl only: a saved crawl keeps its own";
        return HeadlessArgs::UsageError;
    }
    if (parsed.command == HeadlessCommand::Resume && parsed.bIterationsGiven) {
        strError = "--iterations does not go with --resume: a saved crawl keeps its own";
        return HeadlessArgs::UsageError;
    }
    options = parsed;
    return HeadlessArgs::Run;
}

}  // namespace plovik
