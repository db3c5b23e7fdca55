#pragma once
// The sortable report list on Windows, as the Qt window's: a report-mode list view
// whose rows live in the shared row store (ResultTable.h), which the view shows.
// Clicking a header sorts by that column (numbers, dd/mm/yyyy dates, text in the
// user's locale) and marks it with an arrow. The sort reads the store, never the
// view's cells.

#include <windows.h>

#include <string>
#include <vector>

#include "CSortHeaderCtrl.h"
#include "ResultTable.h"

namespace plovik {

class CSortListCtrl {
public:
    CSortListCtrl();
    CSortListCtrl(const CSortListCtrl&) = delete;
    CSortListCtrl& operator=(const CSortListCtrl&) = delete;

    // Takes over a report-mode list view that has no columns yet, and its header.
    void Attach(HWND hList);
    void Detach();
    HWND GetSafeHwnd() const { return m_hList; }

    // A left-aligned column at the end; false when the view refuses it.
    bool InsertColumn(const char* pszName, int nWidth);
    int GetColumnCount() const { return m_table.ColumnCount(); }

    // Appends a row with exactly column-count texts; its index, or -1.
    int AddItem(const std::vector<std::string>& cells);
    // Replaces one cell text; false (nothing changed) for a cell that does not exist.
    bool SetItemText(int nRow, int nColumn, const std::string& strText);
    const std::string& GetItemText(int nRow, int nColumn) const { return m_table.Cell(nRow, nColumn); }
    const std::string& GetItemLabel(int nRow) const { return m_table.Label(nRow); }
    int GetItemCount() const { return m_table.RowCount(); }
    void DeleteAllItems();
    // First row whose label equals strLabel ignoring ASCII letter case, or -1.
    int FindItem(const std::string& strLabel) const { return m_table.FindRow(strLabel); }

    // The header click: the same column again reverses the direction.
    void OnColumnClick(int nColumn);
    void SortColumn(int nColumn, bool bAscending);
    int GetSortColumn() const { return m_table.SortColumn(); }
    bool IsAscending() const { return m_table.IsAscending(); }

    CSortHeaderCtrl& Header() { return m_header; }

private:
    HWND m_hList = nullptr;
    CSortHeaderCtrl m_header;
    ResultTable m_table;
};

}  // namespace plovik
