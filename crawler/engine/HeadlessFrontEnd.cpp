#include "HeadlessFrontEnd.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <ostream>

#include "SiteCrawler.h"
#include "StartAddress.h"
#include "TextFormat.h"

namespace plovik {

namespace {

bool IsOption(const std::string& sArg, const char* pName, std::string* pInlineValue)
{
    const std::string sName = pName;
    if (sArg == sName)
        return true;
    if (pInlineValue && sArg.size() > sName.size() && sArg.compare(0, sName.size(), sName) == 0 &&
        sArg[sName.size()] == '=') {
        *pInlineValue = sArg.substr(sName.size() + 1);
        return true;
    }
    return false;
}

const char* const kValueOptions[] = {"--crawl", "--pages", "--iterations", "--format", "--links"};

// Bytes that would garble a terminal are shown as escapes in the human table.
std::string Printable(const std::string& s)
{
    std::string out;
    for (unsigned char c : s) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

// Width on screen, counting each UTF-8 sequence as one column.
std::size_t DisplayWidth(const std::string& s)
{
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string CsvField(const std::string& s)
{
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
std::size_t Utf8Length(const std::string& s, std::size_t i)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t n = 0;
    unsigned cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else
        return 0;
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

// A JSON string. Bytes that are not valid UTF-8 are written as the code point of the
// same number (as if Latin-1), so no byte of an address is lost.
std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04X", c);
                    out += buf;
                } else
                    out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        const std::size_t n = Utf8Length(s, i);
        if (n) {
            out.append(s, i, n);
            i += n;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", c);
            out += buf;
            ++i;
        }
    }
    out += '"';
    return out;
}

const char* const kHeadings[COL_COUNT] = {"Page", "PR", "In", "Out", "Depth", "Status"};

// Reports each status text on standard error: in place on a terminal, else as lines.
class ProgressPrinter {
public:
    ProgressPrinter(std::ostream& err, bool bLive) : m_err(err), m_bLive(bLive) {}
    ~ProgressPrinter()
    {
        if (m_bLive && m_bPending)
            m_err << '\n' << std::flush;
    }
    void Show(const std::string& sText)
    {
        if (m_bLive) {
            m_err << '\r' << Printable(sText) << "\x1b[K" << std::flush;
            m_bPending = true;
        } else {
            m_err << Printable(sText) << '\n' << std::flush;
        }
    }

private:
    std::ostream& m_err;
    bool m_bLive;
    bool m_bPending = false;
};

// Delivers the engine's messages to the shared row logic.
class RowsNotifier : public CrawlNotifier {
public:
    explicit RowsNotifier(ResultRowSink& sink) : m_rows(sink) {}
    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        m_rows.OnCrawlProgress(nCode, pRecord, nNumber);
        if (nCode == CP_CALC_DONE) {
            m_bDone = true;
            m_nTotal = nNumber;
        }
    }
    ProgressRows& Rows() { return m_rows; }
    bool Done() const { return m_bDone; }
    std::int32_t Total() const { return m_nTotal; }

private:
    ProgressRows m_rows;
    bool m_bDone = false;
    std::int32_t m_nTotal = 0;
};

}  // namespace

// ------------------------------------------------------------------ row sink

std::string TableRowSink::RowLabel(int nRow) const
{
    if (nRow < 0 || nRow >= RowCount())
        return std::string();
    return m_rows[static_cast<std::size_t>(nRow)][COL_PAGE];
}

int TableRowSink::FindRow(const std::string& sLabel) const
{
    const auto it = m_index.find(LowerAscii(sLabel));
    return it == m_index.end() ? -1 : it->second;
}

int TableRowSink::AddRow(const ResultRow& row)
{
    const int nRow = RowCount();
    m_rows.push_back(row);
    m_index.emplace(LowerAscii(row[COL_PAGE]), nRow);
    return nRow;
}

void TableRowSink::SetCell(int nRow, int nColumn, const std::string& sText)
{
    if (nRow < 0 || nRow >= RowCount() || nColumn < 0 || nColumn >= COL_COUNT)
        return;
    m_rows[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nColumn)] = sText;
    if (nColumn == COL_PAGE) {
        m_index.clear();
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            m_index.emplace(LowerAscii(m_rows[i][COL_PAGE]), static_cast<int>(i));
    }
}

void TableRowSink::DeleteAllRows()
{
    m_rows.clear();
    m_index.clear();
}

void TableRowSink::SetStatusText(const std::string& sText)
{
    m_strStatus = sText;
    if (!sText.empty() && m_listener)
        m_listener(sText);
}

void TableRowSink::SetProgressRange(int, int nHigh)
{
    m_nHigh = nHigh;
}

// ------------------------------------------------------------------ output

void WriteTable(std::ostream& out, const std::vector<ResultRow>& rows)
{
    std::vector<std::string> cells;
    std::size_t widths[COL_COUNT];
    for (int c = 0; c < COL_COUNT; ++c)
        widths[c] = DisplayWidth(kHeadings[c]);
    std::vector<ResultRow> shown;
    shown.reserve(rows.size());
    for (const ResultRow& row : rows) {
        ResultRow r;
        for (int c = 0; c < COL_COUNT; ++c) {
            r[c] = Printable(row[c]);
            widths[c] = std::max(widths[c], DisplayWidth(r[c]));
        }
        shown.push_back(std::move(r));
    }
    const auto line = [&](const ResultRow& r) {
        std::string s;
        for (int c = 0; c < COL_COUNT; ++c) {
            const std::string pad(widths[c] - DisplayWidth(r[c]), ' ');
            if (c > 0)
                s += "  ";
            s += (c == COL_PAGE) ? r[c] + pad : pad + r[c];  // numbers right-aligned
        }
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        out << s << '\n';
    };
    line(ResultRow{kHeadings[0], kHeadings[1], kHeadings[2], kHeadings[3], kHeadings[4], kHeadings[5]});
    for (const ResultRow& r : shown)
        line(r);
}

void WriteCsv(std::ostream& out, const std::vector<ResultRow>& rows)
{
    out << "Page,PR,In,Out,Depth,Status\n";
    for (const ResultRow& row : rows) {
        for (int c = 0; c < COL_COUNT; ++c)
            out << (c ? "," : "") << CsvField(row[c]);
        out << '\n';
    }
}

void WriteJson(std::ostream& out, const std::vector<ResultRow>& rows, const std::string& strTotal)
{
    out << "{\"rows\": [";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out << (i ? ",\n  {" : "\n  {");
        for (int c = 0; c < COL_COUNT; ++c)
            out << (c ? ", " : "") << '"' << kHeadings[c] << "\": " << JsonString(rows[i][c]);
        out << '}';
    }
    out << (rows.empty() ? "" : "\n") << "], \"total\": " << strTotal << "}\n";
}

// ------------------------------------------------------------------ command line

std::string HeadlessUsage()
{
    return "Usage: plovik --crawl URL [--pages N] [--iterations K] [--format table|csv|json]\n"
           "                     [--links classic|standard]\n"
           "       plovik            (the window)\n"
           "\n"
           "Crawls one web site from URL without a window, calculates the ranks of its\n"
           "pages and prints the results table on standard output.\n"
           "\n"
           "  --crawl URL        start address (http; https too with --links standard)\n"
           "  --pages N          most pages to fetch (default 10)\n"
           "  --iterations K     rank iterations (default 3; above 40 or negative: 40)\n"
           "  --format F         table (default), csv or json\n"
           "  --links R          classic (default): links found by pattern, as ever;\n"
           "                     standard: an HTML parser, RFC 3986 addresses, https,\n"
           "                     robots.txt\n"
           "  --help             this text\n";
}

bool WantsHeadless(const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h")
            return true;
        for (const char* p : kValueOptions) {
            std::string sIgnored;
            if (IsOption(a, p, &sIgnored))
                return true;
        }
    }
    return false;
}

HeadlessArgs ParseHeadlessArgs(const std::vector<std::string>& args, HeadlessOptions& options, std::string& strError)
{
    HeadlessOptions parsed;
    bool bHaveUrl = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h")
            return HeadlessArgs::Help;
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
        } else if (sName == "--pages") {
            parsed.nPages = ParseCInt32(sValue);
        } else if (sName == "--iterations") {
            parsed.nIterations = CapIterations(ParseCInt32(sValue));
        } else if (sName == "--links") {
            if (sValue == "classic") {
                parsed.linkRules = LinkRules::Classic;
            } else if (sValue == "standard") {
                parsed.linkRules = LinkRules::Standard;
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

int RunHeadlessCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool bLiveProgress,
                     const HeadlessEngineSettings& settings)
{
    TableRowSink sink(options.nIterations);
    RowsNotifier notifier(sink);
    notifier.Rows().ResetProgress(static_cast<std::uint32_t>(options.nPages));

    const std::string strUrl = NormaliseStartAddress(options.strUrl, options.linkRules);
    switch (CheckStartAddress(strUrl, options.linkRules)) {
    case StartAddressCheck::Refused:
        err << kRefusedAddressText << '\n';
        return 2;
    case StartAddressCheck::Invalid:
        err << InvalidAddressText() << '\n';
        return 2;
    case StartAddressCheck::Accepted:
        break;
    }

    {
        ProgressPrinter progress(err, bLiveProgress);
        sink.SetStatusListener([&progress](const std::string& s) { progress.Show(s); });
        sink.SetStatusText(ProgressRows::ScanningText(strUrl));
        CSiteCrawler crawler(&notifier, static_cast<std::int32_t>(options.nIterations), options.nPages);
        crawler.SetPageDelay(settings.pageDelay);
        crawler.SetHttpOptions(settings.http);
        crawler.SetLinkRules(options.linkRules);
        crawler.Crawl(strUrl);
        sink.SetStatusListener(nullptr);
    }

    const std::string strTotal = ProgressRows::TotalText(notifier.Total());
    switch (options.format) {
    case OutputFormat::Table:
        WriteTable(out, sink.Rows());
        break;
    case OutputFormat::Csv:
        WriteCsv(out, sink.Rows());
        break;
    case OutputFormat::Json:
        WriteJson(out, sink.Rows(), strTotal);
        break;
    }
    out.flush();
    return 0;
}

int RunHeadlessMain(int argc, char** argv)
{
    HttpGlobalInit();
    std::vector<std::string> args(argv + 1, argv + argc);
    HeadlessOptions options;
    std::string strError;
    switch (ParseHeadlessArgs(args, options, strError)) {
    case HeadlessArgs::Help:
        std::cout << HeadlessUsage();
        return 0;
    case HeadlessArgs::UsageError:
        std::cerr << "plovik: " << strError << "\n" << "Try 'plovik --help'.\n";
        return 2;
    case HeadlessArgs::Run:
        break;
    }
    return RunHeadlessCrawl(options, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}

}  // namespace plovik
