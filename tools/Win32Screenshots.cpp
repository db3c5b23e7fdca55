// plovik_screenshots.exe: opens the window, crawls a site and saves pictures of the
// splash, the main window, the link views and the About box as 24-bit BMP files.
//
//   plovik_screenshots --url http://127.0.0.1:PORT/ --out DIR [--pages N] [--delay-ms N]
//
// The pictures are read from the screen, so the windows' frames are in them when
// something draws frames (Wine's virtual desktop does). Settings go to a scratch
// registry key, so the user's stored address is not touched.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "CCrawlerDlg.h"
#include "CSplashWnd.h"
#include "ProgressRows.h"

using namespace plovik;

namespace {

const char kScratch[] = "Software\\PlovikScreenshots";

template <class Pred>
bool WaitFor(Pred pred, std::chrono::seconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        Sleep(50);
    }
    return true;
}

HWND VisibleWindow(const char* pszClass, const char* pszTitle)
{
    const HWND hWnd = FindWindowA(pszClass, pszTitle);
    return hWnd && IsWindowVisible(hWnd) ? hWnd : nullptr;
}

// The window's rectangle as the screen shows it, or with bOwnPixels the window's own
// pixels also where others cover it; bottom-up 24-bit rows as a BMP wants.
bool SaveWindow(HWND hWnd, const std::string& strPath, bool bOwnPixels = false)
{
    RECT r{};
    GetWindowRect(hWnd, &r);
    const int nWidth = r.right - r.left, nHeight = r.bottom - r.top;
    if (nWidth <= 0 || nHeight <= 0)
        return false;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = nWidth;
    info.biHeight = nHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD nStride = (static_cast<DWORD>(nWidth) * 3 + 3) & ~3u;
    info.biSizeImage = nStride * static_cast<DWORD>(nHeight);

    const HDC hScreen = GetDC(nullptr);
    const HDC hSource = bOwnPixels ? GetWindowDC(hWnd) : hScreen;
    const HDC hMemory = CreateCompatibleDC(hScreen);
    void* pBits = nullptr;
    const HBITMAP hBitmap =
        CreateDIBSection(hScreen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pBits, nullptr, 0);
    bool bOk = false;
    if (hMemory && hBitmap) {
        const HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
        bOk = BitBlt(hMemory, 0, 0, nWidth, nHeight, hSource, bOwnPixels ? 0 : r.left, bOwnPixels ? 0 : r.top,
                     SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(hMemory, hOld);
    }
    if (bOk) {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + info.biSizeImage;
        std::ofstream out(strPath, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info), sizeof info);
        out.write(static_cast<const char*>(pBits), static_cast<std::streamsize>(info.biSizeImage));
        bOk = static_cast<bool>(out);
    }
    if (hBitmap)
        DeleteObject(hBitmap);
    if (hMemory)
        DeleteDC(hMemory);
    if (bOwnPixels)
        ReleaseDC(hWnd, hSource);
    ReleaseDC(nullptr, hScreen);
    std::fprintf(bOk ? stdout : stderr, "%s %s\n", bOk ? "wrote" : "cannot write", strPath.c_str());
    return bOk;
}

std::string DlgText(HWND hDlg, int nId)
{
    char szText[512] = {};
    GetDlgItemTextA(hDlg, nId, szText, sizeof szText);
    return szText;
}

void ClickHeader(HWND hDlg, int nColumn)
{
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = GetDlgItem(hDlg, IDC_RESULTS);
    nm.hdr.idFrom = IDC_RESULTS;
    nm.hdr.code = LVN_COLUMNCLICK;
    nm.iItem = -1;
    nm.iSubItem = nColumn;
    SendMessageA(hDlg, WM_NOTIFY, IDC_RESULTS, reinterpret_cast<LPARAM>(&nm));
}

// A modal view the window opens on a posted message: its picture, then it is closed.
bool SaveView(HWND hDlg, const std::string& strTitle, const std::string& strPath)
{
    HWND hView = nullptr;
    if (!WaitFor([&] { return (hView = VisibleWindow("#32770", strTitle.c_str())) != nullptr; },
                 std::chrono::seconds(30))) {
        std::fprintf(stderr, "no window \"%s\"\n", strTitle.c_str());
        return false;
    }
    Sleep(300);
    const bool bOk = SaveWindow(hView, strPath);
    PostMessageA(hView, WM_COMMAND, IDCANCEL, 0);
    WaitFor([&] { return !IsWindow(hView); }, std::chrono::seconds(10));
    // The main window draws again where the view was.
    RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return bOk;
}

// Runs on its own thread while the window's thread runs the dialog.
bool TakePictures(const std::string& strUrl, int nPages, const std::string& strOut)
{
    bool bOk = true;
    // The splash is up before the dialog shows itself.
    if (const HWND hSplash = [] {
            HWND h = nullptr;
            WaitFor([&] { return (h = VisibleWindow(CSplashWnd::kClassName, nullptr)) != nullptr; },
                    std::chrono::seconds(30));
            return h;
        }()) {
        Sleep(300);
        // Wine's virtual desktop may show the dialog over its owned splash.
        bOk = SaveWindow(hSplash, strOut + "\\splash.bmp", true) && bOk;
    } else {
        std::fprintf(stderr, "no splash window\n");
        bOk = false;
    }

    HWND hDlg = nullptr;
    if (!WaitFor([&] { return (hDlg = VisibleWindow("#32770", "Plovik")) != nullptr; }, std::chrono::seconds(30))) {
        std::fprintf(stderr, "no main window\n");
        return false;
    }
    WaitFor([] { return CSplashWnd::Current() == nullptr; }, std::chrono::seconds(10));

    SetDlgItemTextA(hDlg, IDC_URL, strUrl.c_str());
    SetDlgItemTextA(hDlg, IDC_PAGES, std::to_string(nPages).c_str());
    SendMessageA(GetDlgItem(hDlg, IDC_CRAWL), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return DlgText(hDlg, IDC_STATUS).rfind("Completed", 0) == 0; }, std::chrono::seconds(120))) {
        std::fprintf(stderr, "the crawl did not finish: %s\n", DlgText(hDlg, IDC_STATUS).c_str());
        bOk = false;
    }
    // Sorted by In, most linked first, as a user would look at a site.
    ClickHeader(hDlg, COL_IN);
    ClickHeader(hDlg, COL_IN);
    Sleep(300);
    bOk = SaveWindow(hDlg, strOut + "\\main-window.bmp") && bOk;

    // The links of the most linked page, as a double-click on its row shows them.
    char szLabel[1024] = {};
    LVITEMA label{};
    label.iSubItem = COL_PAGE;
    label.pszText = szLabel;
    label.cchTextMax = sizeof szLabel;
    SendMessageA(GetDlgItem(hDlg, IDC_RESULTS), LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&label));
    static NMITEMACTIVATE doubleClick{};  // read by the window's thread after the post
    doubleClick.hdr.hwndFrom = GetDlgItem(hDlg, IDC_RESULTS);
    doubleClick.hdr.idFrom = IDC_RESULTS;
    doubleClick.hdr.code = NM_DBLCLK;
    doubleClick.iItem = 0;
    PostMessageA(hDlg, WM_NOTIFY, IDC_RESULTS, reinterpret_cast<LPARAM>(&doubleClick));
    bOk = SaveView(hDlg, std::string("Links of ") + szLabel, strOut + "\\links-view.bmp") && bOk;

    // The broken links of the whole site, so that the pages that answer 404 are in.
    SetDlgItemTextA(hDlg, IDC_PAGES, "100");
    SendMessageA(GetDlgItem(hDlg, IDC_CRAWL), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return DlgText(hDlg, IDC_STATUS).rfind("Completed", 0) == 0; }, std::chrono::seconds(120))) {
        std::fprintf(stderr, "the whole crawl did not finish: %s\n", DlgText(hDlg, IDC_STATUS).c_str());
        bOk = false;
    }
    PostMessageA(hDlg, WM_SYSCOMMAND, ID_SYS_BROKEN_LINKS, 0);
    bOk = SaveView(hDlg, "Broken links", strOut + "\\broken-links.bmp") && bOk;

    PostMessageA(hDlg, WM_SYSCOMMAND, ID_SYS_ABOUT, 0);
    HWND hAbout = nullptr;
    if (WaitFor([&] { return (hAbout = VisibleWindow("#32770", "About Skarrow")) != nullptr; },
                std::chrono::seconds(30))) {
        Sleep(300);
        bOk = SaveWindow(hAbout, strOut + "\\about.bmp") && bOk;
        PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(hAbout); }, std::chrono::seconds(10));
    } else {
        std::fprintf(stderr, "no About box\n");
        bOk = false;
    }
    PostMessageA(hDlg, WM_CLOSE, 0, 0);
    return bOk;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string strUrl, strOut = ".";
    int nPages = 10, nDelayMs = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--url")
            strUrl = argv[i + 1];
        else if (a == "--out")
            strOut = argv[i + 1];
        else if (a == "--pages")
            nPages = std::atoi(argv[i + 1]);
        else if (a == "--delay-ms")
            nDelayMs = std::atoi(argv[i + 1]);
    }
    if (strUrl.empty()) {
        std::fprintf(stderr, "usage: plovik_screenshots --url URL --out DIR [--pages N] [--delay-ms N]\n");
        return 2;
    }
    CreateDirectoryA(strOut.c_str(), nullptr);

    RegistryPlaces places;
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\User").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &places.hUser, nullptr);
    RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\Machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &places.hMachine, nullptr);
    SaveDefaultUrl(places, strUrl);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    bool bOk = false;
    std::thread driver([&] { bOk = TakePictures(strUrl, nPages, strOut); });
    {
        CCrawlerDlg dlg(places);
        CrawlSettings engine;
        engine.pageDelay = std::chrono::milliseconds(nDelayMs);
        dlg.SetEngineSettings(engine);
        dlg.DoModal(GetModuleHandleA(nullptr));
        dlg.EndCrawl(5000);
    }
    driver.join();
    RegCloseKey(places.hUser);
    RegCloseKey(places.hMachine);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    return bOk ? 0 : 1;
}
