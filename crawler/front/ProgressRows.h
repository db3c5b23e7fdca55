#pragma once
// How a progress message changes the results rows, the progress bar and the status
// line. Shared by the window and the headless front end, which each implement
// ResultRowSink on their own display.

#include <array>
#include <cstdint>
#include <string>

#include "PageRecord.h"
#include "RankIteration.h"
#include "ResultColumns.h"

namespace plovik {

using ResultRow = std::array<std::string, COL_COUNT>;

// The display that progress messages update. Rows are addressed by index; -1 is "no row".
class ResultRowSink {
public:
    virtual ~ResultRowSink() = default;

    virtual int RowCount() const = 0;
    virtual std::string RowLabel(int nRow) const = 0;  // text of the Page cell
    // First row whose label equals sLabel ignoring letter case (ASCII), or -1.
    // The default walks the rows; a sink may keep an index instead.
    virtual int FindRow(const std::string& sLabel) const;

    virtual int AddRow(const ResultRow& row) = 0;                               // returns the new index
    virtual void SetCell(int nRow, int nColumn, const std::string& sText) = 0;  // must ignore nRow -1
    virtual void DeleteAllRows() = 0;

    virtual void SetStatusText(const std::string& sText) = 0;
    virtual void SetProgressRange(int nLow, int nHigh) = 0;
    // Within the last range set.
    virtual void SetProgressPos(int nPos) = 0;

    // The iterations setting as the display holds it when a message arrives.
    virtual std::uint32_t IterationsSetting() const = 0;
};

class ProgressRows {
public:
    explicit ProgressRows(ResultRowSink& sink) : m_sink(sink) {}

    // Before a crawl: empty the rows, progress range 0 .. low 16 bits of the pages
    // setting, position 0, empty status text.
    void ResetProgress(std::uint32_t nPagesSetting);

    // One progress message. Returns -1 for CP_PAGE_ADDED whose row already exists,
    // else 0. pRecord may be null only for codes 5 to 7. pRanks, with CP_ITERATION_DONE
    // from a receiver that takes whole iterations, stands for the iteration's
    // CP_RANK_CHANGED messages: every row's PR is set from it first.
    int OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber,
                        const RankIteration* pRanks = nullptr);

    // The row of an address: its label is the address without its first 7 characters
    // (the "http://"), or the whole of an https address, compared ignoring case.
    int FindPageRow(const std::string& strUrl) const;

    // The bar as the messages left it: its range, and its position held within it as
    // a progress bar holds it. Kept here rather than read back from the display.
    int ProgressLow() const { return m_nLow; }
    int ProgressHigh() const { return m_nHigh; }
    int ProgressPos() const { return m_nPos; }

    // The cells of a new row for a record (PR "-").
    static ResultRow RowFor(const PageRecord& record);

    // Status texts of the protocol.
    static std::string ScanningText(const std::string& strUrl);  // "Scanning <url>"
    static std::string IterationText(std::int32_t nDone,
                                     std::int32_t nOf);              // "Completing calculation iteration 1 of 3"
    static std::string CompletedText(std::int32_t nTotalTimes1000);  // "Completed. Total PR = 0.149"
    static std::string TotalText(std::int32_t nTotalTimes1000);      // "0.149"

private:
    // What CP_RANK_CHANGED does, for every record of the iteration in table order.
    void ShowRanks(const RankIteration& ranks);
    void SetRange(int nLow, int nHigh);
    void SetPos(int nPos);

    ResultRowSink& m_sink;
    // A progress bar's own range until the first reset.
    int m_nLow = 0;
    int m_nHigh = 100;
    int m_nPos = 0;
};

// Label comparison of the results list: equal ignoring ASCII letter case.
bool LabelsEqualIgnoringCase(const std::string& a, const std::string& b);

}  // namespace plovik
