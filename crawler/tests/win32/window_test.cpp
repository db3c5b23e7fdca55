// The Win32 dialog driven by messages from another thread, as a user's clicks would
// drive it: fields set, Crawl clicked, rows read back from the list view and
// compared with the headless rows of the same site, a header click sorting them.
// Needs a display (Xvfb).

#include <gtest/gtest.h>

// Before windows.h, as the loopback server's Winsock wants.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "CCrawlerDlg.h"
#include "FileDialogAnswer.h"
#include "LinkExport.h"
#include "LinkViewsResource.h"
#include "LoopbackServer.h"
#include "ProgramTexts.h"
#include "ProgressRows.h"
#include "SiteCrawler.h"
#include "SiteLinkGraph.h"
#include "TableRowSink.h"
#include "WindowTestSupport.h"

using namespace plovik;
using namespace plovik_test;

namespace {

const char kScratch[] = "Software\\PlovikWindowTest";

std::vector<ResultRow> ListRows(HWND hList)
{
    std::vector<ResultRow> rows;
    const int nCount = static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        ResultRow row;
        for (int c = 0; c < COL_COUNT; ++c)
            row[static_cast<std::size_t>(c)] = plovik_test::ListItemText(hList, i, c);
        rows.push_back(row);
    }
    return rows;
}

std::string ReadFile(const std::string& strPath)
{
    return plovik_test::ReadFileOrMissing(strPath);
}

std::string TempPath(const std::string& strName)
{
    return plovik_test::TempPath("window", strName);
}

std::string DlgText(HWND hDlg, int nId)
{
    char szText[512] = {};
    GetDlgItemTextA(hDlg, nId, szText, sizeof szText);
    return szText;
}

template <class Pred>
bool WaitFor(Pred pred, std::chrono::seconds limit = std::chrono::seconds(60))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The first visible dialog, other than hExcept, among the windows an enumeration
// offers; optionally only a "Plovik" window of one process. A __stdcall function:
// on 32-bit Windows no lambda converts to one.
struct DialogSearch {
    HWND hExcept = nullptr;
    DWORD nProcess = 0;              // 0: any
    const char* pszTitle = nullptr;  // null: any
    HWND hFound = nullptr;
};

BOOL CALLBACK TakeDialog(HWND h, LPARAM lParam)
{
    auto& search = *reinterpret_cast<DialogSearch*>(lParam);
    char szClass[16] = {}, szTitle[16] = {};
    GetClassNameA(h, szClass, sizeof szClass);
    GetWindowTextA(h, szTitle, sizeof szTitle);
    DWORD nProcess = 0;
    GetWindowThreadProcessId(h, &nProcess);
    if (h == search.hExcept || !IsWindowVisible(h) || std::string(szClass) != "#32770")
        return TRUE;
    if (search.nProcess != 0 && (nProcess != search.nProcess || std::string(szTitle) != "Plovik"))
        return TRUE;
    if (search.pszTitle && std::string(szTitle) != search.pszTitle)
        return TRUE;
    search.hFound = h;
    return FALSE;
}

// A visible dialog of the window's thread other than the window itself: a message box.
HWND FindMessageBox(HWND hDlg)
{
    DialogSearch search;
    search.hExcept = hDlg;
    EnumThreadWindows(GetWindowThreadProcessId(hDlg, nullptr), &TakeDialog, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

// The program's message box over its window (a file dialog closing is none).
HWND FindProgramBox(HWND hDlg)
{
    DialogSearch search;
    search.hExcept = hDlg;
    search.pszTitle = kProgramName;
    EnumThreadWindows(GetWindowThreadProcessId(hDlg, nullptr), &TakeDialog, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

// The main window of a process.
HWND FindProgramWindow(DWORD nProcess)
{
    DialogSearch search;
    search.nProcess = nProcess;
    EnumWindows(&TakeDialog, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

// Posted messages the window's thread takes from its queue, counted by a hook.
std::atomic<int> g_nProgressMessages{0};
LRESULT CALLBACK CountProgressMessages(int nCode, WPARAM wParam, LPARAM lParam)
{
    const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
    if (nCode == HC_ACTION && wParam == PM_REMOVE && msg.message == WM_CRAWL_PROGRESS)
        ++g_nProgressMessages;
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

// A site of nPages pages, each linking to the next five.
void AddRing(LoopbackServer& server, int nPages)
{
    server.Raw().Get(R"(/ring/(\d+)\.html)", [nPages](const httplib::Request& req, httplib::Response& res) {
        const int n = std::stoi(req.matches[1].str());
        std::string body;
        for (int i = 1; i <= 5; ++i)
            body += "<a href=\"" + std::to_string((n + i) % nPages) + ".html\">x</a>";
        res.set_content(Html(body), "text/html");
    });
}

// The rows the shared row logic makes of the same crawl without a window.
std::vector<ResultRow> HeadlessRows(const std::string& strUrl, std::int32_t nPages, std::int32_t nIterations)
{
    TableRowSink sink(static_cast<std::uint32_t>(nIterations));
    ProgressRows rows(sink);
    struct Forward : CrawlNotifier {
        explicit Forward(ProgressRows& r) : rows(r) {}
        void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
        {
            rows.OnCrawlProgress(nCode, pRecord, nNumber);
        }
        ProgressRows& rows;
    } forward(rows);
    CSiteCrawler crawler(&forward, nIterations, nPages);
    PrepareForTest(crawler);
    crawler.Crawl(strUrl);
    return sink.Rows();
}

// The link graph of the same crawl without a window.
void HeadlessGraph(SiteLinkGraph& graph, const std::string& strUrl, std::int32_t nPages, std::int32_t nIterations)
{
    CSiteCrawler crawler(&graph, nIterations, nPages);
    PrepareForTest(crawler);
    crawler.Crawl(strUrl);
}

// A link table's rows as ViewRows gives a list's.
std::vector<std::string> TableRows(const LinkTable& table)
{
    std::vector<std::string> rows;
    for (std::size_t r = 0; r < table.RowCount(); ++r) {
        std::string row;
        for (std::size_t c = 0; c < table.ColumnCount(); ++c)
            row += (c ? "|" : "") + table.Cell(r, c);
        rows.push_back(row);
    }
    return rows;
}

class Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\User").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &places.hUser, nullptr);
        RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\Machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &places.hMachine, nullptr);
        // A stored address: no message box at start.
        SaveDefaultUrl(places, "http://127.0.0.1/");
        server.Page("/",
                    Html("<a href=\"a.html\">a</a><a href=\"b.html\">b</a><a href=\"a.html\">a</a>"
                         "<a href=\"http://other.invalid/\">x</a>"));
        server.Page("/a.html", Html("<a href=\"/\">home</a><a href=\"b.html\">b</a>"));
        server.Page("/b.html", Html("<a href=\"gone.html\">gone</a>"));

        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        StartWindow();
    }
    void TearDown() override
    {
        CloseWindow();
        RegCloseKey(places.hUser);
        RegCloseKey(places.hMachine);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    }
    // A window on a thread of its own, as the program's; a test may close it and
    // start a fresh one.
    void StartWindow()
    {
        bWorkerEnded = false;
        bDialogDone = false;
        dialogThread = std::thread([this] {
            CCrawlerDlg dlg(places);
            CrawlSettings settings;
            settings.pageDelay = std::chrono::milliseconds(0);
            settings.http = TestHttpOptions();
            dlg.SetEngineSettings(settings);
            dlg.DoModal(GetModuleHandleA(nullptr));
            bWorkerEnded = dlg.EndCrawl(5000);
            bDialogDone = true;
        });
        // Found once its start-up is over: a modal dialog shows itself after it.
        ASSERT_TRUE(WaitFor([&] {
            hDlg = FindWindowA("#32770", "Plovik");
            return hDlg && IsWindowVisible(hDlg);
        }));
        hList = GetDlgItem(hDlg, IDC_RESULTS);
        nWindowThread = GetWindowThreadProcessId(hDlg, nullptr);
    }
    void CloseWindow()
    {
        if (hDlg) {
            PostMessageA(hDlg, WM_CLOSE, 0, 0);
            // A test that failed may have left a box, a view or a file dialog over the
            // window, whose own loop the close waits for: they are closed too.
            for (int nTry = 0; nTry < 5 && !WaitFor([&] { return bDialogDone.load(); }, std::chrono::seconds(5));
                 ++nTry) {
                EnumThreadWindows(nWindowThread, &CancelDialog, reinterpret_cast<LPARAM>(hDlg));
                PostMessageA(hDlg, WM_CANCELMODE, 0, 0);
                PostMessageA(hDlg, WM_CLOSE, 0, 0);
            }
        }
        if (dialogThread.joinable())
            dialogThread.join();
        hDlg = hList = nullptr;
    }
    static BOOL CALLBACK CancelDialog(HWND h, LPARAM lParam)
    {
        if (h != reinterpret_cast<HWND>(lParam) && IsWindowVisible(h))
            PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    void Crawl(const std::string& strUrl, int nPages, int nIterations)
    {
        SetDlgItemTextA(hDlg, IDC_URL, strUrl.c_str());
        SetDlgItemTextA(hDlg, IDC_PAGES, std::to_string(nPages).c_str());
        SetDlgItemTextA(hDlg, IDC_ITERATIONS, std::to_string(nIterations).c_str());
        SendMessageA(GetDlgItem(hDlg, IDC_CRAWL), BM_CLICK, 0, 0);
    }
    void ClickHeader(int nColumn)
    {
        NMLISTVIEW nm{};
        nm.hdr.hwndFrom = hList;
        nm.hdr.idFrom = IDC_RESULTS;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iItem = -1;
        nm.iSubItem = nColumn;
        SendMessageA(hDlg, WM_NOTIFY, IDC_RESULTS, reinterpret_cast<LPARAM>(&nm));
    }

    DWORD WindowThread() const { return nWindowThread; }
    // The row whose Page cell is strLabel, or -1.
    int RowOf(const std::string& strLabel)
    {
        const std::vector<ResultRow> rows = ListRows(hList);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i][COL_PAGE] == strLabel)
                return static_cast<int>(i);
        return -1;
    }
    // A view or box the window opened, once it shows.
    HWND WaitForDialog(const std::string& strTitle)
    {
        HWND h = nullptr;
        WaitFor([&] { return (h = FindThreadDialog(WindowThread(), strTitle)) != nullptr; }, std::chrono::seconds(20));
        return h;
    }
    // Closes a view or box and waits until it has gone.
    static bool Dismiss(HWND h)
    {
        PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
        return WaitFor([&] { return !IsWindow(h); }, std::chrono::seconds(10));
    }
    // A window-menu command answered by a message box: its text, the box closed.
    std::string MessageAfter(UINT nCommand)
    {
        PostMessageA(hDlg, WM_SYSCOMMAND, nCommand, 0);
        HWND hBox = nullptr;
        if (!WaitFor([&] { return (hBox = FindProgramBox(hDlg)) != nullptr; }, std::chrono::seconds(20)))
            return "<no message box>";
        const std::string strText = DlgText(hBox, 0xFFFF);
        PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(hBox); }, std::chrono::seconds(10));
        return strText;
    }
    // A window-menu command whose file dialog the user answers; true once the
    // dialog was answered and the command has done its work.
    bool FileCommand(UINT nCommand, const FileAnswer& answer)
    {
        PostMessageA(hDlg, WM_SYSCOMMAND, nCommand, 0);
        const HWND hFileDlg = AnswerFileDialog(WindowThread(), answer);
        if (!hFileDlg || !WaitFor([&] { return !IsWindow(hFileDlg); }, std::chrono::seconds(20)))
            return false;
        // Served once the command's handler has returned (or waits in a message box).
        DWORD_PTR nResult = 0;
        return SendMessageTimeoutA(hDlg, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &nResult) != 0;
    }

    // A list notification the window handles after the post (it may open a modal view).
    void PostRowNotify(UINT nCode, int nRow)
    {
        rowNotify = NMITEMACTIVATE{};
        rowNotify.hdr.hwndFrom = hList;
        rowNotify.hdr.idFrom = IDC_RESULTS;
        rowNotify.hdr.code = nCode;
        rowNotify.iItem = nRow;
        PostMessageA(hDlg, WM_NOTIFY, IDC_RESULTS, reinterpret_cast<LPARAM>(&rowNotify));
    }

    // Clicks Crawl without waiting for the window to handle it (a message box may follow).
    void PostCrawlClick() { PostMessageA(GetDlgItem(hDlg, IDC_CRAWL), BM_CLICK, 0, 0); }
    bool Completed() { return DlgText(hDlg, IDC_STATUS).rfind("Completed", 0) == 0; }
    bool Requested(const std::string& strPath)
    {
        const std::vector<std::string> paths = server.RequestedPaths();
        return std::find(paths.begin(), paths.end(), strPath) != paths.end();
    }

    LoopbackServer server;
    RegistryPlaces places;
    std::atomic<bool> bWorkerEnded{false};
    std::atomic<bool> bDialogDone{false};
    std::thread dialogThread;
    HWND hDlg = nullptr;
    HWND hList = nullptr;
    DWORD nWindowThread = 0;
    NMITEMACTIVATE rowNotify{};
};

TEST_F(Window, StartsWithTheStoredAddressAndTheDefaultSettings)
{
    EXPECT_EQ(DlgText(hDlg, IDC_URL), "http://127.0.0.1/");
    EXPECT_EQ(DlgText(hDlg, IDC_PAGES), "10");
    EXPECT_EQ(DlgText(hDlg, IDC_ITERATIONS), "3");
    HWND hHeader = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0), 6);
    // The layout's widths grow with the dialog's font, in proportion (Page 240, PR
    // 40), and no column is narrower than its title beside the sort arrow.
    const LRESULT nPage = SendMessageA(hList, LVM_GETCOLUMNWIDTH, 0, 0);
    EXPECT_GE(nPage, 240);
    EXPECT_NEAR(SendMessageA(hList, LVM_GETCOLUMNWIDTH, 1, 0), nPage / 6.0, 1.0);
    HDC hDC = GetDC(hHeader);
    SelectObject(hDC, reinterpret_cast<HFONT>(SendMessageA(hHeader, WM_GETFONT, 0, 0)));
    for (int i = 0; i < COL_COUNT; ++i) {
        char szTitle[32] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = szTitle;
        item.cchTextMax = sizeof szTitle;
        SendMessageA(hHeader, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        SIZE text{};
        GetTextExtentPoint32A(hDC, szTitle, lstrlenA(szTitle), &text);
        EXPECT_GT(SendMessageA(hList, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0), text.cx) << szTitle;
    }
    ReleaseDC(hHeader, hDC);
}

// Shift+F10 and the Menu key open the row popup under the current row; with no
// current row they open nothing.
TEST_F(Window, ContextKeyOpensThePopupAtTheCurrentRow)
{
    auto visiblePopup = [] {
        HWND hMenu = FindWindowA("#32768", nullptr);
        return hMenu && IsWindowVisible(hMenu) ? hMenu : nullptr;
    };
    PostMessageA(hDlg, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hList), -1);
    EXPECT_FALSE(WaitFor([&] { return visiblePopup() != nullptr; }, std::chrono::seconds(1)));

    Crawl(server.Url("/"), 10, 1);
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    LVITEMA state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(hList, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    RECT row{};
    row.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(hList, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
    POINT corner{row.left, row.bottom};
    ClientToScreen(hList, &corner);

    PostMessageA(hDlg, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hList), -1);
    HWND hMenu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hMenu = visiblePopup()) != nullptr; }, std::chrono::seconds(10)));
    RECT menu{};
    GetWindowRect(hMenu, &menu);
    EXPECT_EQ(menu.left, corner.x);
    EXPECT_EQ(menu.top, corner.y);
    PostMessageA(hDlg, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return visiblePopup() == nullptr; }, std::chrono::seconds(10)));
}

TEST_F(Window, CrawlFillsTheRowsOfTheHeadlessCrawl)
{
    Crawl(server.Url("/"), 10, 2);
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);
    EXPECT_EQ(ListRows(hList), HeadlessRows(server.Url("/"), 10, 2));
    // The Crawl stored the normalised address.
    std::string strStored;
    ASSERT_TRUE(ReadDefaultUrl(places, strStored));
    EXPECT_EQ(strStored, server.Url("/"));
}

// Rows sorted while the crawl still runs keep receiving their own updates: the
// rows are found by their page, not by where they were added.
TEST_F(Window, RowsSortedDuringTheCrawlStillGetTheirUpdates)
{
    server.Page("/s/", Html("<a href=\"a.html\">a</a><a href=\"b.html\">b</a><a href=\"c.html\">c</a>"));
    server.Page("/s/a.html", Html("<a href=\"b.html\">b</a><a href=\"/s/\">home</a>"));
    server.Page("/s/b.html", Html("<a href=\"a.html\">a</a><a href=\"gone.html\">gone</a>"));
    server.SlowPage("/s/c.html", Html("<a href=\"a.html\">a</a><a href=\"b.html\">b</a>"),
                    std::chrono::milliseconds(1500));
    Crawl(server.Url("/s/"), 10, 3);
    ASSERT_TRUE(WaitFor([&] { return Requested("/s/c.html"); }));
    ClickHeader(COL_PAGE);
    ClickHeader(COL_PAGE);  // descending: the reverse of the order the rows came in
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);

    std::vector<ResultRow> rows = ListRows(hList);
    std::vector<ResultRow> expected = HeadlessRows(server.Url("/s/"), 10, 3);
    std::sort(rows.begin(), rows.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
}

TEST_F(Window, HeaderClicksSortStablyAndReverse)
{
    Crawl(server.Url("/"), 10, 1);
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    const std::vector<ResultRow> unsorted = ListRows(hList);
    ASSERT_GE(unsorted.size(), 4u);
    auto number = [](const ResultRow& row, int c) { return std::stoi(row[static_cast<std::size_t>(c)]); };
    auto page = [](const ResultRow& row) { return row[COL_PAGE]; };

    ClickHeader(COL_PAGE);
    std::vector<ResultRow> rows = ListRows(hList);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [&](const ResultRow& a, const ResultRow& b) {
        return lstrcmpA(page(a).c_str(), page(b).c_str()) < 0;
    }));

    // Equal depths keep the page order the first click made, in both directions.
    for (bool bAscending : {true, false}) {
        ClickHeader(COL_DEPTH);
        rows = ListRows(hList);
        ASSERT_EQ(rows.size(), unsorted.size());
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const int a = number(rows[i - 1], COL_DEPTH), b = number(rows[i], COL_DEPTH);
            EXPECT_TRUE(bAscending ? a <= b : a >= b) << i;
            if (a == b) {
                EXPECT_LT(lstrcmpA(page(rows[i - 1]).c_str(), page(rows[i]).c_str()), 0) << i;
            }
        }
    }
    // A sort moves whole rows.
    std::vector<ResultRow> sortedAgain = rows, original = unsorted;
    std::sort(sortedAgain.begin(), sortedAgain.end());
    std::sort(original.begin(), original.end());
    EXPECT_EQ(sortedAgain, original);
}

// Addresses longer than any fixed buffer: the rows hold them whole, and a sort by
// Page orders two that differ only in their last letter.
TEST_F(Window, LongAddressesStayWholeAndSortByTheirLastLetter)
{
    const std::string strLong = "/" + std::string(3000, 'p');
    server.Page("/long/", Html("<a href=\"" + strLong + "b.html\">b</a><a href=\"" + strLong + "a.html\">a</a>"));
    server.Page(strLong + "a.html", Html(""));
    server.Page(strLong + "b.html", Html(""));
    Crawl(server.Url("/long/"), 10, 1);
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(ListRows(hList), HeadlessRows(server.Url("/long/"), 10, 1));

    ClickHeader(COL_PAGE);
    const std::vector<ResultRow> rows = ListRows(hList);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NE(rows[1][COL_PAGE].find(strLong + "a.html"), std::string::npos);
    EXPECT_NE(rows[2][COL_PAGE].find(strLong + "b.html"), std::string::npos);
    EXPECT_EQ(rows[1][COL_STATUS], "200");
}

TEST_F(Window, SecondCrawlIsRefusedWhileOneRuns)
{
    server.SlowPage("/slow/", Html("<a href=\"a.html\">a</a>"), std::chrono::milliseconds(1500));
    server.Page("/slow/a.html", Html(""));
    Crawl(server.Url("/slow/"), 10, 1);
    ASSERT_TRUE(WaitFor([&] { return Requested("/slow/"); }));
    SetDlgItemTextA(hDlg, IDC_URL, server.Url("/").c_str());
    PostCrawlClick();
    HWND hBox = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hBox = FindMessageBox(hDlg)) != nullptr; }, std::chrono::seconds(10)));
    EXPECT_NE(DlgText(hBox, 0xFFFF).find("still running"), std::string::npos) << DlgText(hBox, 0xFFFF);
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);

    // The first crawl ends as if nothing had been pressed; the refused address was not stored.
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);
    EXPECT_EQ(ListRows(hList), HeadlessRows(server.Url("/slow/"), 10, 1));
    std::string strStored;
    ASSERT_TRUE(ReadDefaultUrl(places, strStored));
    EXPECT_EQ(strStored, server.Url("/slow/"));
    EXPECT_FALSE(Requested("/"));
}

TEST_F(Window, ProgressArrivesAsPostedMessagesAndTheWindowStaysFree)
{
    g_nProgressMessages = 0;
    HHOOK hHook =
        SetWindowsHookExA(WH_GETMESSAGE, &CountProgressMessages, nullptr, GetWindowThreadProcessId(hDlg, nullptr));
    ASSERT_NE(hHook, nullptr);
    server.SlowPage("/slow/", Html("<a href=\"a.html\">a</a>"), std::chrono::milliseconds(1500));
    server.Page("/slow/a.html", Html(""));
    Crawl(server.Url("/slow/"), 10, 2);
    ASSERT_TRUE(WaitFor([&] { return Requested("/slow/"); }));
    // The worker is stuck in its fetch; the window answers at once.
    DWORD_PTR nResult = 0;
    EXPECT_NE(SendMessageTimeoutA(hDlg, WM_NULL, 0, 0, SMTO_BLOCK, 500, &nResult), 0);
    ClickHeader(COL_PAGE);
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);
    UnhookWindowsHookEx(hHook);
    EXPECT_GT(g_nProgressMessages.load(), 0);
}

TEST_F(Window, ClosingDuringTheRankPhaseEndsTheCrawlAtOnce)
{
    const int nPages = 300;
    AddRing(server, nPages);
    Crawl(server.Url("/ring/0.html"), nPages, 40);
    ASSERT_TRUE(WaitFor([&] { return DlgText(hDlg, IDC_STATUS).rfind("Completing calculation iteration", 0) == 0; },
                        std::chrono::seconds(120)))
        << DlgText(hDlg, IDC_STATUS);
    // Within the bound the worker has ended, not merely been left behind. (Alone it
    // takes about two seconds under Wine; the bound only keeps a loaded machine
    // from failing the test.)
    PostMessageA(hDlg, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return bDialogDone.load(); }, std::chrono::seconds(10)));
    EXPECT_TRUE(bWorkerEnded.load());
    hDlg = nullptr;
}

// The program itself, closed while its crawl waits on a server that does not answer:
// it ends in time although Wine's WinINet does not interrupt the blocked fetch.
TEST(Program, ClosingDuringAFetchEndsTheProgramQuickly)
{
    LoopbackServer server;
    server.SlowPage("/", Html(""), std::chrono::seconds(60));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string strCommand = "\"" PLOVIK_PROGRAM "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND hDlg = nullptr;
    const bool bShown = WaitFor([&] { return (hDlg = FindProgramWindow(pi.dwProcessId)) != nullptr; });
    bool bClosedInTime = false;
    if (bShown) {
        SetDlgItemTextA(hDlg, IDC_URL, server.Url("/").c_str());
        PostMessageA(GetDlgItem(hDlg, IDC_CRAWL), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return server.RequestCount() > 0; }));
        // Far less than the fetch's minute: the program does not wait for it. (Alone
        // about two seconds under Wine; the bound only keeps a loaded machine from
        // failing the test.)
        PostMessageA(hDlg, WM_CLOSE, 0, 0);
        bClosedInTime = WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0;
    }
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(bShown);
    EXPECT_TRUE(bClosedInTime);
}

TEST_F(Window, IterationsAbove40BecomeForty)
{
    SetDlgItemTextA(hDlg, IDC_ITERATIONS, "55");
    EXPECT_EQ(DlgText(hDlg, IDC_ITERATIONS), "40");
    SetDlgItemTextA(hDlg, IDC_ITERATIONS, "-3");
    EXPECT_EQ(DlgText(hDlg, IDC_ITERATIONS), "40");
}

TEST_F(Window, SystemMenuHoldsTheProgramsItemsAndOpensTheAboutBox)
{
    // The program's own items end the menu: the link rules, then the crawl files and
    // the link views between separators, then About. The texts as UTF-16, the
    // ellipsis one character.
    const struct {
        UINT nId;  // 0: a separator
        const wchar_t* pszText;
    } tail[] = {
        {0, nullptr},
        {ID_SYS_STANDARD_LINKS, L"Standard link rules"},
        {0, nullptr},
        {ID_SYS_SAVE_CRAWL, L"Save crawl\u2026"},
        {ID_SYS_OPEN_CRAWL, L"Open crawl\u2026"},
        {ID_SYS_EXPORT_LINKS, L"Export links\u2026"},
        {ID_SYS_BROKEN_LINKS, L"Broken links\u2026"},
        {0, nullptr},
        {ID_SYS_ABOUT, L"&About Plovik..."},
    };
    const HMENU hSysMenu = GetSystemMenu(hDlg, FALSE);
    const int nItems = GetMenuItemCount(hSysMenu);
    const int nFirst = nItems - static_cast<int>(std::size(tail));
    ASSERT_GT(nFirst, 0);
    for (int i = 0; i < static_cast<int>(std::size(tail)); ++i) {
        const auto& item = tail[i];
        const UINT nPos = static_cast<UINT>(nFirst + i);
        if (!item.nId) {
            EXPECT_TRUE(GetMenuState(hSysMenu, nPos, MF_BYPOSITION) & MF_SEPARATOR) << i;
            continue;
        }
        wchar_t szItem[64] = {};
        GetMenuStringW(hSysMenu, nPos, szItem, 64, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(hSysMenu, static_cast<int>(nPos)), item.nId) << i;
        EXPECT_EQ(std::wstring(szItem), item.pszText) << i;
    }

    // The OK button, then the close box (which the dialog turns into Cancel).
    for (bool bOkButton : {true, false}) {
        PostMessageA(hDlg, WM_SYSCOMMAND, ID_SYS_ABOUT, 0);
        HWND hAbout = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            hAbout = FindWindowA("#32770", "About Skarrow");
            return hAbout && IsWindowVisible(hAbout);
        }));
        if (bOkButton)
            SendMessageA(GetDlgItem(hAbout, IDOK), BM_CLICK, 0, 0);
        else
            PostMessageA(hAbout, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(hAbout); }, std::chrono::seconds(10))) << bOkButton;
    }
}

// The system menu's "Standard link rules": checked, remembered, shown in the
// title, and used by the next crawl (which then asks for robots.txt first).
TEST_F(Window, StandardLinkRulesItemTogglesTheRulesOfTheNextCrawl)
{
    const HMENU hSysMenu = GetSystemMenu(hDlg, FALSE);
    auto checked = [&] { return (GetMenuState(hSysMenu, ID_SYS_STANDARD_LINKS, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    auto title = [&] {
        char szTitle[64] = {};
        GetWindowTextA(hDlg, szTitle, sizeof szTitle);
        return std::string(szTitle);
    };
    EXPECT_FALSE(checked());
    EXPECT_FALSE(ReadStandardLinkRules(places));

    SendMessageA(hDlg, WM_SYSCOMMAND, ID_SYS_STANDARD_LINKS, 0);
    EXPECT_TRUE(checked());
    EXPECT_EQ(title(), "Plovik (standard link rules)");
    EXPECT_TRUE(ReadStandardLinkRules(places));
    Crawl(server.Url("/"), 10, 2);
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);
    EXPECT_TRUE(Requested("/robots.txt"));

    SendMessageA(hDlg, WM_SYSCOMMAND, ID_SYS_STANDARD_LINKS, 0);
    EXPECT_FALSE(checked());
    EXPECT_EQ(title(), "Plovik");
    EXPECT_FALSE(ReadStandardLinkRules(places));
    const std::size_t nRequestsBefore = server.RequestedPaths().size();
    Crawl(server.Url("/"), 10, 2);
    ASSERT_TRUE(WaitFor([&] { return Completed() && server.RequestedPaths().size() > nRequestsBefore; }));
    const std::vector<std::string> paths = server.RequestedPaths();
    EXPECT_EQ(std::count(paths.begin() + static_cast<std::ptrdiff_t>(nRequestsBefore), paths.end(), "/robots.txt"), 0);
}

// The link views of a crawl: Show links from the row popup and a double-click on a
// row open the row's links, Broken links those whose target did not answer 200.
TEST_F(Window, LinkViewsShowTheCrawlsLinks)
{
    server.Page("/v/", Html("<a href=\"/v/a.html\">a</a><a href=\"/v/b.html\">b</a>"));
    server.Page("/v/a.html", Html("<a href=\"/v/\">home</a><a href=\"/v/b.html\">b</a>"));
    server.Page("/v/b.html", Html("<a href=\"/v/gone.html\">gone</a>"));
    server.Page("/v/gone.html", Html("gone"), 404);
    Crawl(server.Url("/v/"), 10, 2);
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);
    SiteLinkGraph headless;
    HeadlessGraph(headless, server.Url("/v/"), 10, 2);
    const std::string v = server.Root() + "/v/";

    PostMessageA(hDlg, WM_SYSCOMMAND, ID_SYS_BROKEN_LINKS, 0);
    HWND hView = WaitForDialog("Broken links");
    ASSERT_TRUE(hView);
    EXPECT_EQ(plovik_test::ShownRows(GetDlgItem(hView, IDC_BROKEN_LINKS)),
              std::vector<std::string>{v + "b.html|/v/gone.html|" + v + "gone.html|404|"});
    EXPECT_TRUE(Dismiss(hView));

    // Show links from the popup of a right-clicked row, chosen with the keyboard.
    const std::string strB = v.substr(7) + "b.html";
    const int nB = RowOf(strB);
    ASSERT_GE(nB, 0);
    PostRowNotify(NM_RCLICK, nB);
    HWND hMenu = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            hMenu = FindWindowA("#32768", nullptr);
            return hMenu && IsWindowVisible(hMenu);
        },
        std::chrono::seconds(10)));
    for (const WPARAM nKey : {WPARAM(VK_DOWN), WPARAM(VK_DOWN), WPARAM(VK_RETURN)})
        PostMessageA(hMenu, WM_KEYDOWN, nKey, 0);
    hView = WaitForDialog("Links of " + strB);
    ASSERT_TRUE(hView);
    EXPECT_EQ(plovik_test::ShownRows(GetDlgItem(hView, IDC_LINKS_IN)),
              (std::vector<std::string>{v + "|200|/v/b.html", v + "a.html|200|/v/b.html"}));
    EXPECT_EQ(plovik_test::ShownRows(GetDlgItem(hView, IDC_LINKS_OUT)),
              std::vector<std::string>{v + "gone.html|404|/v/gone.html"});
    EXPECT_TRUE(Dismiss(hView));

    // A double-click on another row.
    const std::string strHome = v.substr(7);
    PostRowNotify(NM_DBLCLK, RowOf(strHome));
    hView = WaitForDialog("Links of " + strHome);
    ASSERT_TRUE(hView);
    EXPECT_EQ(plovik_test::ShownRows(GetDlgItem(hView, IDC_LINKS_IN)), std::vector<std::string>{v + "a.html|200|/v/"});
    const std::vector<std::string> out = plovik_test::ShownRows(GetDlgItem(hView, IDC_LINKS_OUT));
    EXPECT_EQ(out, (std::vector<std::string>{v + "a.html|200|/v/a.html", v + "b.html|200|/v/b.html"}));
    EXPECT_EQ(out, TableRows(headless.OutLinks(strHome)));
    EXPECT_TRUE(Dismiss(hView));
    // A double-click beside the rows opens nothing.
    PostRowNotify(NM_DBLCLK, -1);
    EXPECT_FALSE(WaitFor([&] { return FindMessageBox(hDlg) != nullptr; }, std::chrono::seconds(1)));
}

// Save crawl… through the common dialog, then Open crawl… in a fresh window: the same
// rows, status and link graph, the crawl's settings in the fields but not stored. A
// file that is no crawl is refused and leaves the list as it was.
TEST_F(Window, SavedCrawlOpensInAFreshWindowAsItWas)
{
    const std::string strCrawl = TempPath("site.crawl"), strEdges = TempPath("links.csv"),
                      strGraphMl = TempPath("links.graphml"), strAgain = TempPath("again.csv"),
                      strNotes = TempPath("notes.crawl");
    Crawl(server.Url("/"), 7, 2);
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);
    const std::vector<ResultRow> rows = ListRows(hList);
    const std::string strStatus = DlgText(hDlg, IDC_STATUS);
    ASSERT_TRUE(FileCommand(ID_SYS_SAVE_CRAWL, {"Save crawl", strCrawl, 0}));
    ASSERT_TRUE(FileCommand(ID_SYS_EXPORT_LINKS, {"Export links", strEdges, 1}));
    ASSERT_TRUE(FileCommand(ID_SYS_EXPORT_LINKS, {"Export links", strGraphMl, 2}));
    SiteLinkGraph headless;
    HeadlessGraph(headless, server.Url("/"), 7, 2);
    EXPECT_EQ(ReadFile(strEdges), LinkGraphText(headless, LinkLayout::Edges));
    EXPECT_EQ(ReadFile(strGraphMl), LinkGraphText(headless, LinkLayout::GraphMl));

    CloseWindow();
    SaveDefaultUrl(places, "http://127.0.0.1/");
    StartWindow();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(FileCommand(ID_SYS_OPEN_CRAWL, {"Open crawl", strCrawl, 0}));
    EXPECT_EQ(ListRows(hList), rows);
    EXPECT_EQ(DlgText(hDlg, IDC_STATUS), strStatus);
    EXPECT_EQ(DlgText(hDlg, IDC_URL), server.Url("/"));
    EXPECT_EQ(DlgText(hDlg, IDC_PAGES), "7");
    EXPECT_EQ(DlgText(hDlg, IDC_ITERATIONS), "2");
    std::string strStored;
    ASSERT_TRUE(ReadDefaultUrl(places, strStored));
    EXPECT_EQ(strStored, "http://127.0.0.1/");
    // The opened crawl's graph is the crawl's.
    ASSERT_TRUE(FileCommand(ID_SYS_EXPORT_LINKS, {"Export links", strAgain, 1}));
    EXPECT_EQ(ReadFile(strAgain), ReadFile(strEdges));

    std::ofstream(strNotes) << "Page,PR\n";
    SetDlgItemTextA(hDlg, IDC_PAGES, "12");
    PostMessageA(hDlg, WM_SYSCOMMAND, ID_SYS_OPEN_CRAWL, 0);
    ASSERT_TRUE(AnswerFileDialog(WindowThread(), {"Open crawl", strNotes, 0}));
    HWND hBox = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hBox = FindProgramBox(hDlg)) != nullptr; }, std::chrono::seconds(20)));
    EXPECT_NE(DlgText(hBox, 0xFFFF).find("not a saved crawl"), std::string::npos) << DlgText(hBox, 0xFFFF);
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(hBox); }, std::chrono::seconds(10)));
    EXPECT_EQ(ListRows(hList), rows);
    EXPECT_EQ(DlgText(hDlg, IDC_STATUS), strStatus);
    EXPECT_EQ(DlgText(hDlg, IDC_PAGES), "12");

    for (const std::string& strPath : {strCrawl, strEdges, strGraphMl, strAgain, strNotes})
        DeleteFileA(strPath.c_str());
}

// Nothing to save or export before the first crawl; while a crawl runs the file commands wait
// for it, without a dialog and without disturbing it; once it shows "Completed" they
// work at once.
TEST_F(Window, CrawlFileCommandsWaitForTheCrawl)
{
    EXPECT_EQ(MessageAfter(ID_SYS_SAVE_CRAWL), kNothingToSaveText);
    EXPECT_EQ(MessageAfter(ID_SYS_EXPORT_LINKS), kNothingToSaveText);
    // A chain of slow pages: the crawl runs for seconds, each fetch well within its timeouts.
    const int nChain = 8;
    for (int i = 0; i < nChain; ++i)
        server.SlowPage(i ? "/chain/" + std::to_string(i) + ".html" : "/chain/",
                        Html("<a href=\"/chain/" + std::to_string(i + 1) + ".html\">next</a>"),
                        std::chrono::milliseconds(1200));
    Crawl(server.Url("/chain/"), nChain, 1);
    ASSERT_TRUE(WaitFor([&] { return Requested("/chain/"); }));
    for (const UINT nCommand : {UINT(ID_SYS_SAVE_CRAWL), UINT(ID_SYS_OPEN_CRAWL), UINT(ID_SYS_EXPORT_LINKS)})
        EXPECT_EQ(MessageAfter(nCommand), kWaitForCrawlText) << nCommand;
    EXPECT_FALSE(Completed());
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);
    EXPECT_EQ(ListRows(hList).size(), static_cast<std::size_t>(nChain + 1));
    const std::string strCrawl = TempPath("chain.crawl");
    EXPECT_TRUE(FileCommand(ID_SYS_SAVE_CRAWL, {"Save crawl", strCrawl, 0}));
    EXPECT_EQ(ReadFile(strCrawl).rfind("SQLite format 3", 0), 0u);
    DeleteFileA(strCrawl.c_str());
}

// Where no crawl file can be made the crawl still runs and fills its views; Save
// crawl… says why there is nothing to save.
TEST_F(Window, ACrawlWithoutAFileStillRunsAndSaysWhy)
{
    CloseWindow();
    char szTmp[MAX_PATH] = {};
    const DWORD nTmp = GetEnvironmentVariableA("TMP", szTmp, MAX_PATH);
    const std::string strMissing = TempPath("missing-folder");
    SetEnvironmentVariableA("TMP", strMissing.c_str());
    StartWindow();
    SetEnvironmentVariableA("TMP", nTmp > 0 && nTmp < MAX_PATH ? szTmp : nullptr);
    ASSERT_FALSE(HasFatalFailure());

    Crawl(server.Url("/"), 10, 1);
    ASSERT_TRUE(WaitFor([&] { return Completed(); })) << DlgText(hDlg, IDC_STATUS);
    EXPECT_EQ(ListRows(hList), HeadlessRows(server.Url("/"), 10, 1));
    EXPECT_EQ(MessageAfter(ID_SYS_SAVE_CRAWL).rfind("This crawl cannot be saved: ", 0), 0u);
    PostMessageA(hDlg, WM_SYSCOMMAND, ID_SYS_BROKEN_LINKS, 0);
    const HWND hView = WaitForDialog("Broken links");
    ASSERT_TRUE(hView);
    EXPECT_FALSE(plovik_test::ShownRows(GetDlgItem(hView, IDC_BROKEN_LINKS)).empty());
    EXPECT_TRUE(Dismiss(hView));
}

}  // namespace
