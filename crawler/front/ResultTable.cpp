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
    m_idOfRow.push_back(static_cast<int>(m_rowOfId.size()));
    m_rowOfId.push_back(nRow);
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
    m_idOfRow.clear();
    m_rowOfId.clear();
    m_labelIndex.clear();
}

int ResultTable::FindRow(const std::string& strLabel) const
{
    const auto it = m_labelIndex.find(LowerAscii(strLabel));
    if (it == m_labelIndex.end())
        return -1;
    int nFirst = -1;
    for (int nId : it->second) {
        const int nRow = m_rowOfId[static_cast<std::size_t>(nId)];
        if (nFirst == -1 || nRow < nFirst)
            nFirst = nRow;
    }
    return nFirst;
}

void ResultTable::Index(int nRow)
{
    m_labelIndex[LowerAscii(Label(nRow))].push_back(m_idOfRow[static_cast<std::size_t>(nRow)]);
}

void ResultTable::Unindex(int nRow)
{
    const auto it = m_labelIndex.find(LowerAscii(Label(nRow)));
    if (it == m_labelIndex.end())
        return;
    auto& ids = it->second;
    ids.erase(std::remove(ids.begin(), ids.end(), m_idOfRow[static_cast<std::size_t>(nRow)]), ids.end());
    if (ids.empty())
        m_labelIndex.erase(it);
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
    std::vector<CellKey> keys;
    keys.reserve(nRows);
    for (const Cells& row : m_rows)
        keys.emplace_back(row[nCol]);
    std::vector<int> order = newIndexOf;
    MergeSort(order, [&](int a, int b) {
        return CompareKeys(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)], bAscending,
                           m_compareText);
    });
    std::vector<Cells> sorted(nRows);
    std::vector<int> sortedIds(nRows);
    for (std::size_t i = 0; i < nRows; ++i) {
        const auto nOld = static_cast<std::size_t>(order[i]);
        newIndexOf[nOld] = static_cast<int>(i);
        sorted[i] = std::move(m_rows[nOld]);
        sortedIds[i] = m_idOfRow[nOld];
        m_rowOfId[static_cast<std::size_t>(sortedIds[i])] = static_cast<int>(i);
    }
    m_rows.swap(sorted);
    m_idOfRow.swap(sortedIds);
    return newIndexOf;
}

}  // namespace plovik
