#pragma once
// The headless front end's display: the results rows as the window's list would hold
// them (the shared row store), the progress bar's numbers and the status text.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ProgressRows.h"
#include "ResultTable.h"

namespace plovik {

class TableRowSink : public ResultRowSink {
public:
    explicit TableRowSink(std::uint32_t nIterationsSetting);

    int RowCount() const override { return m_table.RowCount(); }
    std::string RowLabel(int nRow) const override;
    int FindRow(const std::string& sLabel) const override;
    int AddRow(const ResultRow& row) override;
    void SetCell(int nRow, int nColumn, const std::string& sText) override;
    void DeleteAllRows() override;
    void SetStatusText(const std::string& sText) override;
    void SetProgressRange(int nLow, int nHigh) override;
    void SetProgressPos(int nPos) override { m_nPos = nPos; }
    std::uint32_t IterationsSetting() const override { return m_nIterations; }

    std::vector<ResultRow> Rows() const;
    const std::string& StatusText() const { return m_strStatus; }
    int ProgressHigh() const { return m_nHigh; }
    int ProgressPos() const { return m_nPos; }

    // Called with every non-empty status text as it is set.
    void SetStatusListener(std::function<void(const std::string&)> listener) { m_listener = std::move(listener); }

private:
    std::uint32_t m_nIterations;
    ResultTable m_table;
    std::string m_strStatus;
    int m_nHigh = 0;
    int m_nPos = 0;
    std::function<void(const std::string&)> m_listener;
};

}  // namespace plovik
