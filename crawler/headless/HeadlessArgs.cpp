#include "HeadlessArgs.h"

#include <cstring>

#include "TextFormat.h"

namespace plovik {

namespace {

const char* const kValueOptions[] = {"--crawl", "--pages", "--iterations", "--format", "--links"};

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
    return "Usage: plovik --crawl URL [--pages N] [--iterations K] [--format table|csv|json]\n"
           "                     [--links classic|standard] [--verbose]\n"
           "       plovik            (the window)\n"
           "\n"
           "Crawls one web site from URL without a window, calculates the ranks of its\n"
           "pages and prints the results table on standard output.\n"
           "\n"
           "  --crawl URL        start address (http; https too with --links standard)\n"
           "  --pages N          most pages to fetch (decimal; default 10)\n"
           "  --iterations K     rank iterations (decimal; default 3; above 40 or negative: 40)\n"
           "  --format F         table (default), csv or json\n"
           "  --links R          classic (default): links found by pattern, as ever;\n"
           "                     standard: an HTML parser, RFC 3986 addresses, https,\n"
           "                     robots.txt\n"
           "  --verbose          one line on standard error for each page that could not be read,\n"
           "                     each redirect to another site, and a robots.txt that could not\n"
           "                     be read\n"
           "  --version          the program's version\n"
           "  --help             this text\n"
           "\n"
           "Exit status: 0 the crawl completed and the start page answered 200;\n"
           "1 the crawl completed but the start page could not be fetched (the table is\n"
           "still printed); 2 bad arguments or address, or no display for the window;\n"
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
    bool bHaveUrl = false;
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
            bHaveUrl = true;
        } else if (sName == "--pages" || sName == "--iterations") {
            std::int32_t nValue = 0;
            if (!ParseDecimal(sValue, nValue)) {
                strError = sName + " takes a decimal integer, not \"" + sValue + "\"";
                return HeadlessArgs::UsageError;
            }
            if (sName == "--pages")
                parsed.crawl.nMaxPages = nValue;
            else
                parsed.crawl.nIterations = static_cast<std::int32_t>(CapIterations(nValue));
        } else if (sName == "--links") {
            if (sValue == "classic") {
                parsed.crawl.linkRules = LinkRules::Classic;
            } else if (sValue == "standard") {
                parsed.crawl.linkRules = LinkRules::Standard;
            } else {
                strError = "unknown link rules: " + sValue + " (use classic or standard)";
                return HeadlessArgs::UsageError;
            }
        } else if (sValue == "table") {
            parsed.format = OutputFormat::Table;
        } else if (sValue == "csv") {
            parsed.format = OutputFormat::Csv;
        } else if (sValue == "json") {
            parsed.format = OutputFormat::Json;
        } else {
            strError = "unknown format: " + sValue + " (use table, csv or json)";
            return HeadlessArgs::UsageError;
        }
    }
    if (!bHaveUrl) {
        strError = "no start address: give --crawl URL";
        return HeadlessArgs::UsageError;
    }
    options = parsed;
    return HeadlessArgs::Run;
}

}  // namespace plovik
