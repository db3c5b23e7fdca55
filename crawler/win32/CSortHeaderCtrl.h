#pragma once
// The results list's header: the sort column carries a drawn arrow, up for
// ascending, down for descending. Items become owner-drawn when first sorted and
// stay so; the list view passes their WM_DRAWITEM on, so the list is subclassed.

#include <windows.h>

namespace plovik {

class CSortHeaderCtrl {
public:
    CSortHeaderCtrl() = default;
    ~CSortHeaderCtrl();
    CSortHeaderCtrl(const CSortHeaderCtrl&) = delete;
    CSortHeaderCtrl& operator=(const CSortHeaderCtrl&) = delete;

    // Takes over the header of a report-mode list view.
    void Attach(HWND hList);
    void Detach();

    void SetSortImage(int nColumn, bool bAscending);
    int SortColumn() const { return m_nSortColumn; }
    bool IsAscending() const { return m_bAscending; }
    HWND Header() const { return m_hHeader; }

    void DrawItem(const DRAWITEMSTRUCT& item) const;

    // The narrowest column of a list view's header that shows sTitle whole beside
    // the sort arrow, in the header's font.
    static int WidthForTitle(HWND hHeader, const char* pszTitle);

private:
    static LRESULT CALLBACK ListProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR nId, DWORD_PTR pThis);

    HWND m_hList = nullptr;
    HWND m_hHeader = nullptr;
    int m_nSortColumn = -1;
    bool m_bAscending = true;
};

}  // namespace plovik
