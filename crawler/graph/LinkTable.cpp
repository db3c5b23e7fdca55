#include "LinkTable.h"

#include <algorithm>
#include <ostream>

#include "CsvWriter.h"
#include "TextFormat.h"

namespace plovik {

void LinkTable::AddRow(std::vector<std::string> cells)
{
    cells.resize(m_columns.size());
    m_rows.push_back(std::move(cells));
}

void LinkTable::SortBy(std::size_t nColumn, bool bAscending)
{
    if (nColumn >= m_columns.size())
        return;
    const bool bNumber = m_columns[nColumn].bNumber;
    const auto less = [nColumn, bNumber](const std::vector<std::string>& a, const std::vector<std::string>& b) {
        if (bNumber)
            return ParseCInt32(a[nColumn]) < ParseCInt32(b[nColumn]);
        return a[nColumn] < b[nColumn];
    };
    // Descending swaps the operands rather than reversing, so equal rows keep their order.
    if (bAscending)
        std::stable_sort(m_rows.begin(), m_rows.end(), less);
    else
        std::stable_sort(
            m_rows.begin(), m_rows.end(),
            [&less](const std::vector<std::string>& a, const std::vector<std::string>& b) { return less(b, a); });
    m_nSortColumn = static_cast<int>(nColumn);
    m_bAscending = bAscending;
}

void LinkTable::WriteCsv(std::ostream& out) const
{
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        out << (c ? "," : "") << CsvField(m_columns[c].strHeading);
    out << '\n';
    for (const auto& row : m_rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            out << (c ? "," : "") << CsvField(row[c]);
        out << '\n';
    }
}

}  // namespace plovik
