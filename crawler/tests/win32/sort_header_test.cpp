// The results list's header: the sort column becomes owner-drawn and keeps that
// flag, and the list passes the header's drawing requests to the arrow painter.
// Needs a display (Xvfb).

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "CSortHeaderCtrl.h"

using namespace plovik;

namespace {

constexpr int kItemWidth = 80;
constexpr int kItemHeight = 20;  // so the arrow's unit is 5 pixels

class SortHeader : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        hList = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(hList, nullptr);
        for (int i = 0; i < 3; ++i) {
            const std::string name = "C" + std::to_string(i);
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = kItemWidth;
            column.pszText = const_cast<char*>(name.c_str());
            ListView_InsertColumn(hList, i, &column);
        }
        header.Attach(hList);
    }
    void TearDown() override { DestroyWindow(hList); }

    int Format(int nColumn) const
    {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header.Header(), nColumn, &item);
        return item.fmt;
    }

    // Has the list draw header item nColumn into a bitmap of the item's size and
    // counts, on row y of the arrow's box, the pixels of the given system colour.
    struct Picture {
        int nTopRow = 0;     // pixels on the arrow box's top row (y = unit)
        int nBottomRow = 0;  // pixels on its bottom row (y = height - unit - 1)
    };
    Picture Draw(int nColumn, int nSysColor) const
    {
        const HDC hScreen = GetDC(nullptr);
        const HDC hDC = CreateCompatibleDC(hScreen);
        const HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, kItemWidth, kItemHeight);
        ReleaseDC(nullptr, hScreen);
        const HGDIOBJ hOld = SelectObject(hDC, hBitmap);

        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_HEADER;
        item.itemID = static_cast<UINT>(nColumn);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = header.Header();
        item.hDC = hDC;
        item.rcItem = {0, 0, kItemWidth, kItemHeight};
        SendMessageA(hList, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));

        const int o = kItemHeight / 4;
        const COLORREF colour = GetNearestColor(hDC, GetSysColor(nSysColor));
        Picture picture;
        // The arrow's box: from 3 units plus 2 pixels left of the right edge to the
        // unit before it (the divider at the right edge is left out).
        for (int x = kItemWidth - 3 * o - 2; x < kItemWidth - 1; ++x) {
            picture.nTopRow += GetPixel(hDC, x, o) == colour;
            picture.nBottomRow += GetPixel(hDC, x, kItemHeight - o - 1) == colour;
        }
        SelectObject(hDC, hOld);
        DeleteObject(hBitmap);
        DeleteDC(hDC);
        return picture;
    }

    HWND hList = nullptr;
    CSortHeaderCtrl header;
};

TEST_F(SortHeader, SortedColumnsBecomeOwnerDrawnAndStaySo)
{
    EXPECT_EQ(header.SortColumn(), -1);
    header.SetSortImage(1, true);
    EXPECT_FALSE(Format(0) & HDF_OWNERDRAW);
    EXPECT_TRUE(Format(1) & HDF_OWNERDRAW);
    EXPECT_FALSE(Format(2) & HDF_OWNERDRAW);

    header.SetSortImage(2, false);
    EXPECT_TRUE(Format(1) & HDF_OWNERDRAW);
    EXPECT_TRUE(Format(2) & HDF_OWNERDRAW);
    EXPECT_EQ(header.SortColumn(), 2);
    EXPECT_FALSE(header.IsAscending());
}

TEST_F(SortHeader, ArrowPointsTheSortDirectionOnTheSortColumnOnly)
{
    // Ascending: the light pen draws the right side and the base along the bottom.
    header.SetSortImage(1, true);
    const Picture up = Draw(1, COLOR_3DHILIGHT);
    EXPECT_GE(up.nBottomRow, 8);
    EXPECT_LE(up.nTopRow, 2);

    // Descending: the dark pen draws the left side and the top edge.
    header.SetSortImage(1, false);
    const Picture down = Draw(1, COLOR_3DSHADOW);
    EXPECT_GE(down.nTopRow, 8);
    EXPECT_LE(down.nBottomRow, 2);

    // Column 1 is still owner-drawn but no longer sorted: no arrow.
    header.SetSortImage(2, true);
    for (int nColour : {COLOR_3DHILIGHT, COLOR_3DSHADOW}) {
        const Picture none = Draw(1, nColour);
        EXPECT_EQ(none.nTopRow + none.nBottomRow, 0) << nColour;
    }
}

}  // namespace
