#include "CSortListCtrl.h"

#include <commctrl.h>

#include <cstddef>

namespace plovik {

namespace {

// The platform's locale-aware, case-sensitive text order.
int TextCompareOfWindows(const std::string& a, const std::string& b)
{
    return lstrcmpA(a.c_str(), b.c_str());
}

// The list view's comparison, a __stdcall function on 32-bit Windows (no lambda
// converts to one): each row carries its index before the sort, and the store has
// already said where every row goes.
int CALLBACK CompareByNewIndex(LPARAM nOld1, LPARAM nOld2, LPARAM lNewIndexOf)
{
    const auto& newIndexOf = *reinterpret_cast<const std::vector<int>*>(lNewIndexOf);
    const int n1 = newIndexOf[static_cast<std::size_t>(nOld1)];
    const int n2 = newIndexOf[static_cast<std::size_t>(nOld2)];
    return n1 < n2 ? -1 : (n1 > n2 ? 1 : 0);
}

}  // namespace

CSortListCtrl::CSortListCtrl() : m_table(TextCompareOfWindows)
{
}

void CSortListCtrl::Attach(HWND hList)
{
    m_hList = hList;
    m_header.Attach(hList);
}

void CSortListCtrl::Detach()
{
    m_header.Detach();
    m_hList = nullptr;
}

bool CSortListCtrl::InsertColumn(const char* pszName, int nWidth)
{
    const int nColumn = m_table.ColumnCount();
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = nWidth;
    column.pszText = const_cast<char*>(pszName);
    column.iSubItem = nColumn;
    if (ListView_InsertColumn(m_hList, nColumn, &column) < 0)
        return false;
    return m_table.AddColumn(pszName);
}

int CSortListCtrl::AddItem(const std::vector<std::string>& cells)
{
    if (m_table.ColumnCount() == 0 || static_cast<int>(cells.size()) != m_table.ColumnCount())
        return -1;
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = m_table.RowCount();
    item.pszText = const_cast<char*>(cells[0].c_str());
    const int nRow = ListView_InsertItem(m_hList, &item);
    if (nRow < 0)
        return nRow;
    m_table.AddRow(cells);
    for (int i = 1; i < m_table.ColumnCount(); ++i)
        ListView_SetItemText(m_hList, nRow, i, const_cast<char*>(cells[static_cast<std::size_t>(i)].c_str()));
    return nRow;
}

bool CSortListCtrl::SetItemText(int nRow, int nColumn, const std::string& strText)
{
    if (!m_table.SetCell(nRow, nColumn, strText))
        return false;
    ListView_SetItemText(m_hList, nRow, nColumn, const_cast<char*>(strText.c_str()));
    return true;
}

void CSortListCtrl::DeleteAllItems()
{
    ListView_DeleteAllItems(m_hList);
    m_table.Clear();
}

void CSortListCtrl::OnColumnClick(int nColumn)
{
    SortColumn(nColumn, nColumn == GetSortColumn() ? !IsAscending() : true);
}

void CSortListCtrl::SortColumn(int nColumn, bool bAscending)
{
    m_header.SetSortImage(nColumn, bAscending);
    const std::vector<int> newIndexOf = m_table.Sort(nColumn, bAscending);
    const int nRows = m_table.RowCount();
    for (int i = 0; i < nRows; ++i) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        item.lParam = i;
        ListView_SetItem(m_hList, &item);
    }
    // The view's own in-place sort, in the order the store has taken.
    ListView_SortItems(m_hList, &CompareByNewIndex, reinterpret_cast<LPARAM>(&newIndexOf));
}

}  // namespace plovik
