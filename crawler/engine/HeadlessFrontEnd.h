#pragma once
// The program without a window: one crawl from the command line, the results table
// on standard output, progress on standard error.

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <unordered_map>
#include <string>
#include <vector>

#include "HttpClient.h"
#include "LinkSource.h"
#include "ProgressRows.h"

namespace plovik {

enum class OutputFormat { Table, Csv, Json };

struct HeadlessOptions {
    std::string strUrl;             // as typed; normalised by the crawl
    std::int32_t nPages = 10;       // the pages field's value
    std::uint32_t nIterations = 3;  // the iterations field's value, capped at 40
    OutputFormat format = OutputFormat::Table;
    LinkRules linkRules = LinkRules::Classic;
};

enum class HeadlessArgs { Run, Help, UsageError };

// Arguments after the program name. On UsageError, strError says why.
HeadlessArgs ParseHeadlessArgs(const std::vector<std::string>& args, HeadlessOptions& options, std::string& strError);

// True when the arguments ask for the headless front end rather than the window.
bool WantsHeadless(const std::vector<std::string>& args);

std::string HeadlessUsage();

// Engine settings that the command line does not expose (tests shorten the pause).
struct HeadlessEngineSettings {
    std::chrono::milliseconds pageDelay{1000};
    HttpOptions http;
};

// Runs one crawl and prints its results. Returns the exit status: 0 after a crawl,
// 2 for a refused or invalid address. bLiveProgress: rewrite one progress line in
// place (standard error is a terminal) instead of one line per text.
int RunHeadlessCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool bLiveProgress,
                     const HeadlessEngineSettings& settings = HeadlessEngineSettings());

// The command line's entry: parse, crawl, print. Uses the process's standard streams.
int RunHeadlessMain(int argc, char** argv);

// The results as a vector of rows, as the window's list would hold them.
class TableRowSink : public ResultRowSink {
public:
    explicit TableRowSink(std::uint32_t nIterationsSetting) : m_nIterations(nIterationsSetting) {}

    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    std::string RowLabel(int nRow) const override;
    int FindRow(const std::string& sLabel) const override;
    int AddRow(const ResultRow& row) override;
    void SetCell(int nRow, int nColumn, const std::string& sText) override;
    void DeleteAllRows() override;
    void SetStatusText(const std::string& sText) override;
    void SetProgressRange(int nLow, int nHigh) override;
    int ProgressPos() const override { return m_nPos; }
    void SetProgressPos(int nPos) override { m_nPos = nPos; }
    std::uint32_t IterationsSetting() const override { return m_nIterations; }

    const std::vector<ResultRow>& Rows() const { return m_rows; }
    const std::string& StatusText() const { return m_strStatus; }
    int ProgressHigh() const { return m_nHigh; }

    // Called with every non-empty status text as it is set.
    void SetStatusListener(std::function<void(const std::string&)> listener) { m_listener = std::move(listener); }

private:
    std::uint32_t m_nIterations;
    std::vector<ResultRow> m_rows;
    std::unordered_map<std::string, int> m_index;  // label in lower case -> first row
    std::string m_strStatus;
    int m_nHigh = 0;
    int m_nPos = 0;
    std::function<void(const std::string&)> m_listener;
};

// The three output layouts of the rows; strTotal is the final status line's number.
void WriteTable(std::ostream& out, const std::vector<ResultRow>& rows);
void WriteCsv(std::ostream& out, const std::vector<ResultRow>& rows);
void WriteJson(std::ostream& out, const std::vector<ResultRow>& rows, const std::string& strTotal);

}  // namespace plovik
