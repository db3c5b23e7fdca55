#include "TableRowSink.h"

namespace plovik {

// The headless table is never sorted by text; bytes order it all the same.
TableRowSink::TableRowSink(std::uint32_t nIterationsSetting)
    : m_nIterations(nIterationsSetting),
      m_table([](const std::string& a, const std::string& b) { return a.compare(b); })
{
    for (const char* pHeading : kColumnHeadings)
        m_table.AddColumn(pHeading);
}

std::string TableRowSink::RowLabel(int nRow) const
{
    return m_table.Label(nRow);
}

int TableRowSink::FindRow(const std::string& sLabel) const
{
    return m_table.FindRow(sLabel);
}

int TableRowSink::AddRow(const ResultRow& row)
{
    return m_table.AddRow(ResultTable::Cells(row.begin(), row.end()));
}

void TableRowSink::SetCell(int nRow, int nColumn, const std::string& sText)
{
    m_table.SetCell(nRow, nColumn, sText);
}

void TableRowSink::DeleteAllRows()
{
    m_table.Clear();
}

std::vector<ResultRow> TableRowSink::Rows() const
{
    std::vector<ResultRow> rows(static_cast<std::size_t>(m_table.RowCount()));
    for (int i = 0; i < m_table.RowCount(); ++i)
        for (int c = 0; c < COL_COUNT; ++c)
            rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)] = m_table.Cell(i, c);
    return rows;
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

}  // namespace plovik
