#include "TableRowSink.h"

#include "TextFormat.h"

namespace plovik {

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

}  // namespace plovik
