#pragma once
// A report-mode list view that shows a LinkTable without copying it: the list asks
// for each visible cell (an owner-data list), so a crawl's thousands of links cost
// nothing until shown. A header click sorts as the results list does: ascending
// first, the same column again descending; the header marks the sort column.

#include <windows.h>

#include <vector>

#include "LinkTable.h"

namespace plovik {

class LinkListView {
public:
    explicit LinkListView(LinkTable table) : m_table(std::move(table)) {}

    // Takes over a list view created with LVS_REPORT | LVS_OWNERDATA: its columns
    // (widths in pixels, one per column) and its row count.
    void Attach(HWND hList, const std::vector<int>& widths);
    HWND Handle() const { return m_hList; }

    // The owner's WM_NOTIFY from this list; true when handled.
    bool OnNotify(const NMHDR& header);
    void OnColumnClick(int nColumn);

    // The rows in the order shown.
    const LinkTable& Table() const { return m_table; }

private:
    void MarkSortColumn();

    LinkTable m_table;
    HWND m_hList = nullptr;
};

}  // namespace plovik
