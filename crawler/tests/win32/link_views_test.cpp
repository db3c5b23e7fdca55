// The Win32 link views on their own, without the main window: a page's in-links and
// out-links, the broken links sorted by header clicks and exported as CSV. The
// dialogs run on the test's thread, so every message is a direct call. Needs a
// display (Xvfb).

#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <fstream>
#include <sstream>

#include "BrokenLinksDialog.h"
#include "LinkViewsResource.h"
#include "LinksDialog.h"
#include "SampleLinkGraph.h"
#include "SiteLinkGraph.h"
#include "WindowTestSupport.h"

using namespace plovik;

namespace {

std::string DlgText(HWND hDlg, int nId)
{
    char szText[512] = {};
    GetDlgItemTextA(hDlg, nId, szText, sizeof szText);
    return szText;
}

void ClickHeader(HWND hDlg, int nListId, int nColumn)
{
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = GetDlgItem(hDlg, nListId);
    nm.hdr.idFrom = static_cast<UINT_PTR>(nListId);
    nm.hdr.code = LVN_COLUMNCLICK;
    nm.iItem = -1;
    nm.iSubItem = nColumn;
    SendMessageA(hDlg, WM_NOTIFY, static_cast<WPARAM>(nListId), reinterpret_cast<LPARAM>(&nm));
}

// The header's arrow: HDF_SORTUP, HDF_SORTDOWN or 0.
int SortMark(HWND hList, int nColumn)
{
    const HWND hHeader = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    SendMessageA(hHeader, HDM_GETITEMA, static_cast<WPARAM>(nColumn), reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

std::string ReadFile(const std::string& strPath)
{
    return plovik_test::ReadFileOrMissing(strPath);
}

std::string TempPath(const std::string& strName)
{
    return plovik_test::TempPath("link-views", strName);
}

class LinkViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        plovik_test::FillSampleLinkGraph(graph);
    }
    SiteLinkGraph graph;
};

const std::vector<std::string> kBrokenInCrawlOrder = {
    "http://site/|gone.html|http://site/gone.html|404|",
    "http://site/|/dead|http://site/dead|-1|connection refused",
    "http://site/a.html|./gone.html|http://site/gone.html|404|",
    "http://site/a.html|b.html|http://site/b.html|0|",
};

}  // namespace

TEST_F(LinkViewsTest, LinksViewShowsWhatReachesAPageAndWhatIsOnIt)
{
    struct Row {
        const char* label;
        std::vector<std::string> in;
        std::vector<std::string> out;
    };
    const Row rows[] = {
        {"site/",
         {"http://site/a.html|200|/"},
         {"http://site/a.html|200|a.html", "http://site/gone.html|404|gone.html", "http://site/dead|-1|/dead"}},
        {"site/gone.html", {"http://site/|200|gone.html", "http://site/a.html|200|./gone.html"}, {}},
        {"SITE/B.HTML", {"http://site/a.html|200|b.html"}, {}},
        {"elsewhere/", {}, {}},
    };
    for (const Row& row : rows) {
        LinksDialog dlg(graph, row.label);
        const HWND hDlg = dlg.Create(nullptr);
        ASSERT_TRUE(hDlg) << row.label;
        EXPECT_EQ(plovik_test::ShownRows(GetDlgItem(hDlg, IDC_LINKS_IN)), row.in) << row.label;
        EXPECT_EQ(plovik_test::ShownRows(GetDlgItem(hDlg, IDC_LINKS_OUT)), row.out) << row.label;
        EXPECT_EQ(DlgText(hDlg, IDC_LINKS_IN_COUNT), "Links to this page: " + std::to_string(row.in.size()));
        EXPECT_EQ(DlgText(hDlg, IDC_LINKS_OUT_COUNT), "Links on this page: " + std::to_string(row.out.size()));
        char szTitle[256] = {};
        GetWindowTextA(hDlg, szTitle, sizeof szTitle);
        EXPECT_EQ(std::string(szTitle), std::string("Links of ") + row.label);
    }
}

TEST_F(LinkViewsTest, HeaderClicksSortTheBrokenLinksStably)
{
    BrokenLinksDialog dlg(graph);
    const HWND hDlg = dlg.Create(nullptr);
    ASSERT_TRUE(hDlg);
    const HWND hList = GetDlgItem(hDlg, IDC_BROKEN_LINKS);
    const auto& k = kBrokenInCrawlOrder;
    EXPECT_EQ(plovik_test::ShownRows(hList), k);
    EXPECT_EQ(DlgText(hDlg, IDC_BROKEN_COUNT), "Links whose target did not answer 200: 4");

    ClickHeader(hDlg, IDC_BROKEN_LINKS, 3);  // Status: numbers by value, equal ones in crawl order
    EXPECT_EQ(plovik_test::ShownRows(hList), (std::vector<std::string>{k[1], k[3], k[0], k[2]}));
    EXPECT_EQ(SortMark(hList, 3), HDF_SORTUP);
    ClickHeader(hDlg, IDC_BROKEN_LINKS, 3);  // again: descending, ties still in order
    EXPECT_EQ(plovik_test::ShownRows(hList), (std::vector<std::string>{k[0], k[2], k[3], k[1]}));
    EXPECT_EQ(SortMark(hList, 3), HDF_SORTDOWN);
    ClickHeader(hDlg, IDC_BROKEN_LINKS, 1);  // another column starts ascending
    EXPECT_EQ(plovik_test::ShownRows(hList), (std::vector<std::string>{k[2], k[1], k[3], k[0]}));
    EXPECT_EQ(SortMark(hList, 1), HDF_SORTUP);
    EXPECT_EQ(SortMark(hList, 3), 0);
}

TEST_F(LinkViewsTest, ExportWritesTheRowsAsShown)
{
    const std::string strPath = TempPath("broken.csv");
    BrokenLinksDialog dlg(graph);
    dlg.SetFileChooser([&](HWND) { return strPath; });
    const HWND hDlg = dlg.Create(nullptr);
    ASSERT_TRUE(hDlg);
    ClickHeader(hDlg, IDC_BROKEN_LINKS, 3);
    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_EXPORT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_EXPORT)));
    EXPECT_EQ(ReadFile(strPath),
              "Page,Href,Target,Status,Reason\n"
              "http://site/,/dead,http://site/dead,-1,connection refused\n"
              "http://site/a.html,b.html,http://site/b.html,0,\n"
              "http://site/,gone.html,http://site/gone.html,404,\n"
              "http://site/a.html,./gone.html,http://site/gone.html,404,\n");
    DeleteFileA(strPath.c_str());
}

TEST_F(LinkViewsTest, ExportCancelledOrFailedLeavesFilesAlone)
{
    BrokenLinksDialog dlg(graph);
    bool bAsked = false;
    dlg.SetFileChooser([&](HWND) {
        bAsked = true;
        return std::string();
    });
    const HWND hDlg = dlg.Create(nullptr);
    ASSERT_TRUE(hDlg);
    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_EXPORT, BN_CLICKED), 0);
    EXPECT_TRUE(bAsked);
    // A folder that does not exist: refused, nothing left behind.
    const std::string strMissing = TempPath("no-such-folder\\broken.csv");
    std::string strError;
    EXPECT_FALSE(dlg.ExportCsv(strMissing, strError));
    EXPECT_NE(strError.find(strMissing), std::string::npos) << strError;
    EXPECT_EQ(GetFileAttributesA(strMissing.c_str()), INVALID_FILE_ATTRIBUTES);
    // An existing longer file is replaced whole, with no part file beside it.
    const std::string strOld = TempPath("old.csv");
    {
        std::ofstream old(strOld, std::ios::binary);
        old << std::string(5000, 'x');
    }
    EXPECT_TRUE(dlg.ExportCsv(strOld, strError)) << strError;
    const std::string written = ReadFile(strOld);
    EXPECT_EQ(written.rfind("Page,Href,Target,Status,Reason\nhttp://site/,gone.html,", 0), 0u);
    EXPECT_EQ(written.find('x'), std::string::npos);
    EXPECT_EQ(GetFileAttributesA((strOld + ".part").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(strOld.c_str());
}

TEST_F(LinkViewsTest, CloseEndsTheDialog)
{
    BrokenLinksDialog broken(graph);
    const HWND hBroken = broken.Create(nullptr);
    ASSERT_TRUE(hBroken);
    SendMessageA(hBroken, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(hBroken));
    EXPECT_EQ(broken.Handle(), nullptr);
    LinksDialog links(graph, "site/");
    const HWND hLinks = links.Create(nullptr);
    ASSERT_TRUE(hLinks);
    SendMessageA(hLinks, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(hLinks));
}
