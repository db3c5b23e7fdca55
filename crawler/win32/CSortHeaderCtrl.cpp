#include "CSortHeaderCtrl.h"

#include <commctrl.h>

namespace plovik {

namespace {

constexpr UINT_PTR kSubclassId = 1001;

// A solid pen of width 1 selected for the lifetime of the object.
class Pen {
public:
    Pen(HDC hDC, int nSysColor) : m_hDC(hDC), m_hPen(CreatePen(PS_SOLID, 1, GetSysColor(nSysColor)))
    {
        m_hOld = SelectObject(hDC, m_hPen);
    }
    ~Pen()
    {
        SelectObject(m_hDC, m_hOld);
        DeleteObject(m_hPen);
    }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

private:
    HDC m_hDC;
    HPEN m_hPen;
    HGDIOBJ m_hOld;
};

}  // namespace

CSortHeaderCtrl::~CSortHeaderCtrl()
{
    Detach();
}

void CSortHeaderCtrl::Attach(HWND hList)
{
    Detach();
    m_hList = hList;
    m_hHeader = ListView_GetHeader(hList);
    SetWindowSubclass(hList, &CSortHeaderCtrl::ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void CSortHeaderCtrl::Detach()
{
    if (m_hList)
        RemoveWindowSubclass(m_hList, &CSortHeaderCtrl::ListProc, kSubclassId);
    m_hList = nullptr;
    m_hHeader = nullptr;
}

LRESULT CALLBACK CSortHeaderCtrl::ListProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR pThis)
{
    auto* pHeader = reinterpret_cast<CSortHeaderCtrl*>(pThis);
    if (nMsg == WM_DRAWITEM) {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_HEADER && item.hwndItem == pHeader->m_hHeader) {
            pHeader->DrawItem(item);
            return TRUE;
        }
    }
    if (nMsg == WM_NCDESTROY)
        pHeader->Detach();
    return DefSubclassProc(hWnd, nMsg, wParam, lParam);
}

void CSortHeaderCtrl::SetSortImage(int nColumn, bool bAscending)
{
    m_nSortColumn = nColumn;
    m_bAscending = bAscending;
    // Owner-drawn from now on; DrawItem puts the arrow on the sort column only.
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (Header_GetItem(m_hHeader, nColumn, &item)) {
        item.fmt |= HDF_OWNERDRAW;
        Header_SetItem(m_hHeader, nColumn, &item);
    }
    InvalidateRect(m_hHeader, nullptr, TRUE);
}

int CSortHeaderCtrl::WidthForTitle(HWND hHeader, const char* pszTitle)
{
    RECT header{};
    GetWindowRect(hHeader, &header);
    const int o = (header.bottom - header.top) / 4;
    SIZE text{};
    const HDC hDC = GetDC(hHeader);
    const HGDIOBJ hOld = SelectObject(hDC, reinterpret_cast<HFONT>(SendMessageA(hHeader, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32A(hDC, pszTitle, lstrlenA(pszTitle), &text);
    SelectObject(hDC, hOld);
    ReleaseDC(hHeader, hDC);
    // Left and right margins, the arrow's three units, and one pixel for the pressed look.
    return text.cx + 5 * o + 1;
}

void CSortHeaderCtrl::DrawItem(const DRAWITEMSTRUCT& item) const
{
    const HDC hDC = item.hDC;
    const RECT r = item.rcItem;
    const int nSaved = SaveDC(hDC);
    IntersectClipRect(hDC, r.left, r.top, r.right, r.bottom);
    FillRect(hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    {
        // The divider the other items have, so a sorted column lines up with them.
        Pen shadow(hDC, COLOR_3DSHADOW);
        MoveToEx(hDC, r.right - 1, r.top, nullptr);
        LineTo(hDC, r.right - 1, r.bottom);
    }

    char szText[256] = {};
    HDITEMA header{};
    header.mask = HDI_TEXT | HDI_FORMAT;
    header.pszText = szText;
    header.cchTextMax = sizeof szText;
    Header_GetItem(item.hwndItem, item.itemID, &header);
    UINT nFormat = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_VCENTER | DT_END_ELLIPSIS;
    if ((header.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
        nFormat |= DT_CENTER;
    else if ((header.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
        nFormat |= DT_RIGHT;
    else
        nFormat |= DT_LEFT;

    RECT label = r;
    if (item.itemState == ODS_SELECTED) {
        // Pressed: the label moves as the header's own pressed look does.
        label.left += 1;
        label.top += 2;
        label.right += 1;
    }
    const int o = (r.bottom - r.top) / 4;
    const bool bSorted = static_cast<int>(item.itemID) == m_nSortColumn;
    if (bSorted)
        label.right -= 3 * o;
    label.left += o;
    label.right -= o;
    if (label.left < label.right) {
        SetBkMode(hDC, TRANSPARENT);
        SetTextColor(hDC, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(hDC, szText, -1, &label, nFormat);
    }

    if (bSorted) {
        // Lines stop short of their end point, so each corner is drawn once.
        if (m_bAscending) {
            {
                Pen light(hDC, COLOR_3DHILIGHT);
                MoveToEx(hDC, r.right - 2 * o, o, nullptr);
                LineTo(hDC, r.right - o, r.bottom - o - 1);
                LineTo(hDC, r.right - 3 * o - 2, r.bottom - o - 1);
            }
            Pen dark(hDC, COLOR_3DSHADOW);
            MoveToEx(hDC, r.right - 3 * o - 1, r.bottom - o - 1, nullptr);
            LineTo(hDC, r.right - 2 * o, o - 1);
        } else {
            {
                Pen light(hDC, COLOR_3DHILIGHT);
                MoveToEx(hDC, r.right - o - 1, o, nullptr);
                LineTo(hDC, r.right - 2 * o - 1, r.bottom - o);
            }
            Pen dark(hDC, COLOR_3DSHADOW);
            MoveToEx(hDC, r.right - 2 * o - 2, r.bottom - o, nullptr);
            LineTo(hDC, r.right - 3 * o - 1, o);
            LineTo(hDC, r.right - o - 1, o);
        }
    }
    RestoreDC(hDC, nSaved);
}

}  // namespace plovik
