#include "ResultTable.h"

#include "TextFormat.h"

#include <algorithm>

namespace plovik {

namespace {

const std::string kNoText;

// Stable bottom-up merge sort. The list's comparison is no strict weak ordering
// (the first text of a pair decides its kind): this sort never reads outside the
// range, whatever the comparison answers.
template <class Cmp>
void MergeSort(std::vector<int>& items, Cmp cmp)
{
    const std::size_t n = items.size();
    std::vector<int> buffer(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                buffer[k++] = cmp(items[i], items[j]) > 0 ? items[j++] : items[i++];
            while (i < mid)
                buffer[k++] = items[i++];
            while (j < hi)
                buffer[k++] = items[j++];
        }
        items.swap(buffer);
    }
}

}  // namespace

ResultTable::ResultTable(TextCompare compareText) : m_compareText(std::move(compareText))
{
}

bool ResultTable::AddColumn(std::string strName)
{
    if (!m_rows.empty())
        return false;
    m_columnNames.push_back(std::move(strName));
    return true;
}

const std::string& ResultTable::ColumnName(int nColumn) const
{
    if (nColumn < 0 || nColumn >= ColumnCount())
        return kNoText;
    return m_columnNames[static_cast<std::size_t>(nColumn)];
}

bool ResultTable::IsCell(int nRow, int nColumn) const
{
    return nRow >= 0 && nRow < RowCount() && nColumn >= 0 && nColumn < ColumnCount();
}

int ResultTable::AddRow(Cells cells)
{
    if (m_columnNames.empty() || cells.size() != m_columnNames.size())
        return -1;
    const int nRow = RowCount();
    m_rows.push_back(std::move(cells));
    Index(nRow);
    return nRow;
}

bool ResultTable::SetCell(int nRow, int nColumn, std::string strText)
{
    if (!IsCell(nRow, nColumn))
        return false;
    if (nColumn == 0)
        Unindex(nRow);
    m_rows[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nColumn)] = std::move(strText);
    if (nColumn == 0)
        Index(nRow);
    return true;
}

const std::string& ResultTable::Cell(int nRow, int nColumn) const
{
    if (!IsCell(nRow, nColumn))
        return kNoText;
    return m_rows[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nColumn)];
}

const ResultTable::Cells* ResultTable::Row(int nRow) const
{
    if (nRow < 0 || nRow >= RowCount())
        return nullptr;
    return &m_rows[static_cast<std::size_t>(nRow)];
}

void ResultTable::Clear()
{
    m_rows.clear();
    m_labelIndex.clear();
}

int ResultTable::FindRow(const std::string& strLabel) const
{
    const auto it = m_labelIndex.find(LowerAscii(strLabel));
    return it == m_labelIndex.end() ? -1 : it->second.front();
}

void ResultTable::Index(int nRow)
{
    auto& rows = m_labelIndex[LowerAscii(Label(nRow))];
    rows.insert(std::lower_bound(rows.begin(), rows.end(), nRow), nRow);
}

void ResultTable::Unindex(int nRow)
{
    const auto it = m_labelIndex.find(LowerAscii(Label(nRow)));
    if (it == m_labelIndex.end())
        return;
    auto& rows = it->second;
    rows.erase(std::remove(rows.begin(), rows.end(), nRow), rows.end());
    if (rows.empty())
        m_labelIndex.erase(it);
}

void ResultTable::Reindex()
{
    m_labelIndex.clear();
    for (int i = 0; i < RowCount(); ++i)
        m_labelIndex[LowerAscii(Label(i))].push_back(i);
}

std::vector<int> ResultTable::Sort(int nColumn, bool bAscending)
{
    m_nSortColumn = nColumn;
    m_bAscending = bAscending;
    const std::size_t nRows = m_rows.size();
    std::vector<int> newIndexOf(nRows);
    for (std::size_t i = 0; i < nRows; ++i)
        newIndexOf[i] = static_cast<int>(i);
    if (nColumn < 0 || nColumn >= ColumnCount() || nRows < 2)
        return newIndexOf;

    const auto nCol = static_cast<std::size_t>(nColumn);
    std::vector<int> order = newIndexOf;
    MergeSort(order, [&](int a, int b) {
        return CompareCells(m_rows[static_cast<std::size_t>(a)][nCol], m_rows[static_cast<std::size_t>(b)][nCol],
                            bAscending, m_compareText);
    });
    std::vector<Cells> sorted(nRows);
    for (std::size_t i = 0; i < nRows; ++i) {
        const auto nOld = static_cast<std::size_t>(order[i]);
        newIndexOf[nOld] = static_cast<int>(i);
        sorted[i] = std::move(m_rows[nOld]);
    }
    m_rows.swap(sorted);
    Reindex();
    return newIndexOf;
}

}  // namespace plovik
