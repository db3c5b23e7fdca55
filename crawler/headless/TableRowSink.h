#pragma once
// The headless front end's display: the results rows as the window's list would hold
// them, with a label index, the progress bar's numbers and the status text.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "ProgressRows.h"

namespace plovik {

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

}  // namespace plovik
