#include "LinkListView.h"

#include <commctrl.h>

namespace plovik {

void LinkListView::Attach(HWND hList, const std::vector<int>& widths)
{
    m_hList = hList;
    SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (std::size_t c = 0; c < m_table.ColumnCount(); ++c) {
        const LinkTable::Column& column = m_table.ColumnAt(c);
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        lvc.fmt = column.bNumber ? LVCFMT_RIGHT : LVCFMT_LEFT;
        lvc.cx = c < widths.size() ? widths[c] : 100;
        lvc.pszText = const_cast<char*>(column.strHeading.c_str());
        lvc.iSubItem = static_cast<int>(c);
        // The first column of a list view is always left-aligned; later ones follow fmt.
        SendMessageA(hList, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&lvc));
    }
    SendMessageA(hList, LVM_SETITEMCOUNT, m_table.RowCount(), 0);
}

bool LinkListView::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != m_hList)
        return false;
    switch (header.code) {
    case LVN_GETDISPINFOA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(header)).item;
        const auto nRow = static_cast<std::size_t>(item.iItem);
        const auto nColumn = static_cast<std::size_t>(item.iSubItem);
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            const bool bInside = item.iItem >= 0 && nRow < m_table.RowCount() && nColumn < m_table.ColumnCount();
            lstrcpynA(item.pszText, bInside ? m_table.Cell(nRow, nColumn).c_str() : "", item.cchTextMax);
        }
        return true;
    }
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
        const auto nRow = static_cast<std::size_t>(item.iItem);
        const auto nColumn = static_cast<std::size_t>(item.iSubItem);
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            item.pszText[0] = 0;
            if (item.iItem >= 0 && nRow < m_table.RowCount() && nColumn < m_table.ColumnCount()) {
                const std::string& cell = m_table.Cell(nRow, nColumn);
                const int nWritten = MultiByteToWideChar(CP_ACP, 0, cell.data(), static_cast<int>(cell.size()),
                                                         item.pszText, item.cchTextMax - 1);
                item.pszText[nWritten > 0 ? nWritten : 0] = 0;
            }
        }
        return true;
    }
    case LVN_COLUMNCLICK:
        OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    default:
        return false;
    }
}

void LinkListView::OnColumnClick(int nColumn)
{
    if (nColumn < 0 || static_cast<std::size_t>(nColumn) >= m_table.ColumnCount())
        return;
    const bool bAscending = m_table.SortColumn() == nColumn ? !m_table.SortAscending() : true;
    m_table.SortBy(static_cast<std::size_t>(nColumn), bAscending);
    MarkSortColumn();
    InvalidateRect(m_hList, nullptr, TRUE);
}

void LinkListView::MarkSortColumn()
{
    const HWND hHeader = reinterpret_cast<HWND>(SendMessageA(m_hList, LVM_GETHEADER, 0, 0));
    const int nCount = static_cast<int>(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(hHeader, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == m_table.SortColumn())
            item.fmt |= m_table.SortAscending() ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageA(hHeader, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace plovik
