#include "CCrawlerDlg.h"

#include "BrokenLinksDialog.h"
#include "CSplashWnd.h"
#include "FileDialogs.h"
#include "LinksDialog.h"
#include "ProgramTexts.h"
#include "ResultColumns.h"
#include "RowsReceiver.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace plovik {

namespace {

// The columns' widths are pixels of a font whose horizontal dialog base unit is
// kTemplateBaseX.
constexpr int kTemplateBaseX = 6;

void OpenWithShell(HWND hWnd, const std::string& strAddress)
{
    // The result is ignored: a shell that cannot open the page changes nothing.
    ShellExecuteA(hWnd, "open", strAddress.c_str(), nullptr, "", SW_SHOWNORMAL);
}

const char kCrawlFilter[] = "Crawls (*.crawl)\0*.crawl\0All files (*.*)\0*.*\0";
// In the order of LinkLayout's choices: the filter's index picks the layout.
const char kLinksFilter[] = "Edge list (*.csv)\0*.csv\0GraphML (*.graphml)\0*.graphml\0";

// How long a command waits for a completed crawl's worker to end.
constexpr DWORD kLastWritesMs = 5000;

// Where a crawl is recorded until it is saved.
std::string TemporaryFolder()
{
    char szFolder[MAX_PATH + 1] = {};
    const DWORD nLength = GetTempPathA(sizeof szFolder, szFolder);
    return nLength > 0 && nLength < sizeof szFolder ? std::string(szFolder, nLength) : std::string(".");
}

// The shared texts are UTF-8 (the ellipsis is one character): the menu takes them
// as UTF-16, whatever the ANSI code page.
std::wstring Utf16(const std::string& strText)
{
    const int nLength = MultiByteToWideChar(CP_UTF8, 0, strText.data(), static_cast<int>(strText.size()), nullptr, 0);
    std::wstring strWide(static_cast<std::size_t>(std::max(nLength, 0)), L'\0');
    if (nLength > 0)
        MultiByteToWideChar(CP_UTF8, 0, strText.data(), static_cast<int>(strText.size()), &strWide[0], nLength);
    return strWide;
}

// The About box has nothing of its own: OK, Escape and the close box end it.
INT_PTR CALLBACK AboutProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM)
{
    if (nMsg == WM_INITDIALOG)
        return TRUE;
    if (nMsg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hWnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

CCrawlerDlg::CCrawlerDlg(RegistryPlaces places) : m_settings(std::move(places)), m_document(TemporaryFolder())
{
    // Shared icons: the system frees them with the module.
    const HINSTANCE hInstance = GetModuleHandleA(nullptr);
    m_hIcon = static_cast<HICON>(LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    m_hSmallIcon =
        static_cast<HICON>(LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

CCrawlerDlg::~CCrawlerDlg() = default;

INT_PTR CCrawlerDlg::DoModal(HINSTANCE hInstance)
{
    return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, &CCrawlerDlg::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CCrawlerDlg::EndCrawl(DWORD nWaitMs)
{
    if (!m_pControl)
        return true;
    m_pControl->Stop();
    // Counted from the close: hiding the window may itself take a while.
    const DWORD nStart = m_bClosed ? m_nClosedTick : GetTickCount();
    while (m_pControl->IsRunning()) {
        if (GetTickCount() - nStart >= nWaitMs)
            return false;
        Sleep(10);
    }
    m_pControl.reset();
    return true;
}

INT_PTR CALLBACK CCrawlerDlg::DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_INITDIALOG) {
        auto* pDlg = reinterpret_cast<CCrawlerDlg*>(lParam);
        SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        pDlg->m_hWnd = hWnd;
    }
    auto* pDlg = reinterpret_cast<CCrawlerDlg*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!pDlg)
        return FALSE;
    try {
        return pDlg->OnMessage(nMsg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dialog code.
        return FALSE;
    }
}

INT_PTR CCrawlerDlg::OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_CRAWL_PROGRESS: {
        std::unique_ptr<std::function<void()>> pCall(reinterpret_cast<std::function<void()>*>(lParam));
        (*pCall)();
        return TRUE;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result))
            return FALSE;
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == ID_SYS_ABOUT) {
            DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), m_hWnd, &AboutProc, 0);
            return TRUE;
        }
        switch (wParam & 0xFFF0) {
        case ID_SYS_STANDARD_LINKS:
            OnStandardLinks();
            return TRUE;
        case ID_SYS_SAVE_CRAWL:
            OnSaveCrawl();
            return TRUE;
        case ID_SYS_OPEN_CRAWL:
            OnOpenCrawl();
            return TRUE;
        case ID_SYS_EXPORT_LINKS:
            OnExportLinks();
            return TRUE;
        case ID_SYS_BROKEN_LINKS:
            OnBrokenLinks();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CONTEXTMENU:
        // From the keyboard the position is -1; a mouse click is NM_RCLICK's.
        if (reinterpret_cast<HWND>(wParam) == List() && lParam == -1) {
            OnListContextKey();
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_DESTROY: {
        SaveColumnWidths();
        m_list.Detach();
        // Calls that were posted but not served go with the window.
        MSG msg;
        while (PeekMessageA(&msg, m_hWnd, WM_CRAWL_PROGRESS, WM_CRAWL_PROGRESS, PM_REMOVE))
            delete reinterpret_cast<std::function<void()>*>(msg.lParam);
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// ------------------------------------------------------------------ start-up

void CCrawlerDlg::OnInitDialog()
{
    const HWND hWnd = m_hWnd;
    auto poster = [hWnd](std::function<void()> fn) {
        auto* pCall = new std::function<void()>(std::move(fn));
        if (PostMessageA(hWnd, WM_CRAWL_PROGRESS, 0, reinterpret_cast<LPARAM>(pCall)))
            return true;
        delete pCall;
        return false;
    };
    auto handler = [this](int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks) {
        m_progressRows.OnCrawlProgress(nCode, pRecord, nNumber, pRanks);
        m_document.OnProgress(nCode, pRecord, nNumber, pRanks);
        if (nCode == CP_CALC_DONE)
            m_bRanksShown = true;
    };
    auto onPage = [this](const ProcessedPage& page) { m_document.OnPageProcessed(page); };
    m_pControl = std::make_unique<CrawlControl>(
        poster, handler, [this] { m_document.EndCrawl(); }, onPage);

    SetField(IDC_ITERATIONS, m_form.IterationsText());
    SetField(IDC_PAGES, m_form.PagesText());
    const CrawlerForm::StartUp startUp = m_form.Load();

    if (HMENU hSysMenu = GetSystemMenu(m_hWnd, FALSE)) {
        char szItem[64] = {};
        AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
        if (LoadStringA(GetModuleHandleA(nullptr), IDS_STANDARD_LINKS_ITEM, szItem, sizeof szItem) > 0)
            AppendMenuA(hSysMenu,
                        static_cast<UINT>(MF_STRING | (m_form.StandardLinkRules() ? MF_CHECKED : MF_UNCHECKED)),
                        ID_SYS_STANDARD_LINKS, szItem);
        AppendCrawlFileItems(hSysMenu);
        if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUT_ITEM, szItem, sizeof szItem) > 0)
            AppendMenuA(hSysMenu, MF_STRING, ID_SYS_ABOUT, szItem);
    }
    UpdateTitle();
    SetIcons();

    m_progressRows.ResetProgress(m_form.Pages());
    SetField(IDC_URL, startUp.strUrlField);
    if (!startUp.bSettingsFound)
        ShowMessage(kSettingsMissingText);

    ListView_SetExtendedListViewStyle(List(), LVS_EX_FULLROWSELECT);
    m_list.Attach(List());
    CreateColumns();
    LoadColumnWidths();

    CSplashWnd::EnableSplash(true);
    CSplashWnd::ShowSplash(m_hWnd);
}

void CCrawlerDlg::SetIcons()
{
    // The title bar and the task switcher; the dialog's class has no icon of its own.
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
}

bool CCrawlerDlg::OnPaint()
{
    // Minimised, the window shows its icon; otherwise the dialog paints as usual.
    if (!IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT paint;
    const HDC hDC = BeginPaint(m_hWnd, &paint);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(hDC, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    return true;
}

// The layout's widths were made for the 8-point system font at 96 DPI, whose
// horizontal dialog base unit is 6 pixels: they grow with the dialog's font, and no
// title is cut.
void CCrawlerDlg::CreateColumns()
{
    RECT units{0, 0, 4, 8};
    MapDialogRect(m_hWnd, &units);
    const HWND hHeader = ListView_GetHeader(List());
    for (int i = 0; i < COL_COUNT; ++i)
        m_list.InsertColumn(kColumnHeadings[i],
                            std::max(MulDiv(kColumnWidths[i], units.right, kTemplateBaseX),
                                     CSortHeaderCtrl::WidthForTitle(hHeader, kColumnHeadings[i])));
}

void CCrawlerDlg::LoadColumnWidths()
{
    std::vector<std::int32_t> widths;
    const HWND hHeader = ListView_GetHeader(List());
    // A count other than the number of columns changes nothing.
    if (!ReadColumnWidths(m_settings.Places(), IDC_RESULTS, widths) ||
        static_cast<int>(widths.size()) != Header_GetItemCount(hHeader))
        return;
    for (int i = 0; i < static_cast<int>(widths.size()); ++i)
        ListView_SetColumnWidth(List(), i, widths[static_cast<std::size_t>(i)]);
}

void CCrawlerDlg::SaveColumnWidths()
{
    const int nCount = Header_GetItemCount(ListView_GetHeader(List()));
    if (nCount < 0)
        return;
    std::vector<std::int32_t> widths;
    for (int i = 0; i < nCount; ++i)
        widths.push_back(ListView_GetColumnWidth(List(), i));
    plovik::SaveColumnWidths(m_settings.Places(), IDC_RESULTS, widths);
}

// ------------------------------------------------------------------ commands

void CCrawlerDlg::OnCommand(int nId, int nNotify)
{
    switch (nId) {
    case IDC_CRAWL:
        if (nNotify == BN_CLICKED)
            OnCrawl();
        break;
    case IDC_HOMEPAGE:
    case IDC_HELP_PAGE:
        if (nNotify == BN_CLICKED)
            OpenWithShell(m_hWnd, kProductAddress);
        break;
    case IDOK:
        OnOK();
        break;
    case IDCANCEL:
        OnClose();
        break;
    case IDC_PAGES:
    case IDC_ITERATIONS:
        if (nNotify == EN_CHANGE && !m_bSettingField)
            OnFieldChanged(nId);
        break;
    case ID_VISIT_PAGE:
        OnVisitPage();
        break;
    case ID_SHOW_LINKS:
        OnShowLinks(m_nRightClickRow);
        break;
    default:
        break;
    }
}

bool CCrawlerDlg::OnNotify(const NMHDR& header, LRESULT& result)
{
    if ((header.idFrom == IDC_PAGES_SPIN || header.idFrom == IDC_ITERATIONS_SPIN) && header.code == UDN_DELTAPOS) {
        OnDeltaPos(static_cast<int>(header.idFrom), reinterpret_cast<const NMUPDOWN&>(header).iDelta);
        result = 1;  // handled: the control's own position is not used
        return true;
    }
    if (header.idFrom == IDC_RESULTS && header.code == LVN_COLUMNCLICK) {
        OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    }
    if (header.idFrom == IDC_RESULTS && header.code == NM_RCLICK) {
        POINT point{};
        GetCursorPos(&point);
        OnListRightClick(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem, point);
        result = 0;
        return true;
    }
    if (header.idFrom == IDC_RESULTS && header.code == NM_DBLCLK) {
        OnShowLinks(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        result = 0;
        return true;
    }
    return false;
}

void CCrawlerDlg::OnCrawl()
{
    // Only one crawl at a time; refused before anything is reset or stored, so the
    // running crawl's rows stay.
    if (m_pControl->IsRunning()) {
        ShowMessage(kCrawlRunningText);
        return;
    }
    m_progressRows.ResetProgress(m_form.Pages());
    CrawlerForm::CrawlPlan plan = m_form.PrepareCrawl(FieldText(IDC_URL));
    SetField(IDC_URL, plan.strUrl);
    if (!plan.strRefusal.empty()) {
        ShowMessage(plan.strRefusal);
        return;
    }
    SetStatusText(plan.strStatus);
    // Without a file the crawl still runs; Save crawl… tells why it has none.
    plan.inputs.pWorkerReceiver = m_document.BeginCrawl(plan.inputs);
    m_bRanksShown = false;
    if (m_pControl->Start(std::move(plan.inputs)) == CrawlControl::StartResult::NoThread) {
        m_document.EndCrawl();
        SetStatusText(std::string());
    }
}

// Whether a crawl's worker still runs. Once the status line shows "Completed" the
// file is complete and the worker is only returning: a command waits for that
// rather than asking the user to wait for what the window already shows. A worker
// that has ended is done with the file, although its report may still wait in the
// queue.
bool CCrawlerDlg::CrawlRunning()
{
    if (!m_pControl)
        return false;
    const DWORD nStart = GetTickCount();
    while (m_bRanksShown && m_pControl->IsRunning() && GetTickCount() - nStart < kLastWritesMs)
        Sleep(10);
    if (m_pControl->IsRunning())
        return true;
    m_document.EndCrawl();  // the worker is done with the file
    return false;
}

void CCrawlerDlg::OnOK()
{
    // The data exchange reads both fields back; one that holds no unsigned number
    // keeps the window open.
    const auto failed = m_form.ReadFields(FieldText(IDC_ITERATIONS), FieldText(IDC_PAGES));
    if (failed != CrawlerForm::Field::None) {
        ShowMessage(kUnsignedNeededText);
        SetFocus(Item(failed == CrawlerForm::Field::Iterations ? IDC_ITERATIONS : IDC_PAGES));
        return;
    }
    EndWindow(IDOK);
}

void CCrawlerDlg::OnClose()
{
    EndWindow(IDCANCEL);
}

void CCrawlerDlg::EndWindow(INT_PTR nResult)
{
    // The crawl stops now and sends nothing more; its worker is waited for (or left
    // to the process's end) once the window is gone.
    if (m_pControl)
        m_pControl->Stop();
    m_bClosed = true;
    m_nClosedTick = GetTickCount();
    EndDialog(m_hWnd, nResult);
}

void CCrawlerDlg::OnFieldChanged(int nId)
{
    if (nId == IDC_PAGES) {
        m_form.PagesTyped(FieldText(nId));
        return;
    }
    std::string strShown;
    if (m_form.IterationsTyped(FieldText(nId), strShown))
        SetWindowTextA(Item(IDC_ITERATIONS), strShown.c_str());  // comes back through this handler
}

void CCrawlerDlg::OnDeltaPos(int nId, int nDelta)
{
    if (nId == IDC_PAGES_SPIN)
        SetField(IDC_PAGES, m_form.StepPages(nDelta));
    else
        SetField(IDC_ITERATIONS, m_form.StepIterations(nDelta));
}

// ------------------------------------------------------------------ results list

void CCrawlerDlg::OnColumnClick(int nColumn)
{
    m_list.OnColumnClick(nColumn);
}

void CCrawlerDlg::OnListRightClick(int nRow, POINT point)
{
    m_nRightClickRow = nRow;
    if (nRow == -1)
        return;
    HMENU hMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_POPUP));
    if (!hMenu)
        return;
    TrackPopupMenu(GetSubMenu(hMenu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    DestroyMenu(hMenu);
}

// Shift+F10 or the Menu key: the row popup for the current row, under its label.
void CCrawlerDlg::OnListContextKey()
{
    const int nRow = ListView_GetNextItem(List(), -1, LVNI_FOCUSED);
    RECT item{};
    if (nRow == -1 || !ListView_GetItemRect(List(), nRow, &item, LVIR_LABEL))
        return;
    POINT point{item.left, item.bottom};
    ClientToScreen(List(), &point);
    OnListRightClick(nRow, point);
}

void CCrawlerDlg::OnVisitPage()
{
    OpenWithShell(m_hWnd, CrawlerForm::PageAddressOfLabel(RowLabel(m_nRightClickRow)));
}

// Used by the next crawl, remembered in the profile and shown in the title.
void CCrawlerDlg::OnStandardLinks()
{
    m_form.SetStandardLinkRules(!m_form.StandardLinkRules());
    const bool bOn = m_form.StandardLinkRules();
    if (HMENU hSysMenu = GetSystemMenu(m_hWnd, FALSE))
        CheckMenuItem(hSysMenu, ID_SYS_STANDARD_LINKS,
                      static_cast<UINT>(MF_BYCOMMAND | (bOn ? MF_CHECKED : MF_UNCHECKED)));
    UpdateTitle();
}

// ------------------------------------------------------------------ crawl files and link views

// After "Standard link rules", between separators.
void CCrawlerDlg::AppendCrawlFileItems(HMENU hSysMenu)
{
    const struct {
        UINT nId;
        const char* pszText;
    } items[] = {
        {ID_SYS_SAVE_CRAWL, kSaveCrawlItemText},
        {ID_SYS_OPEN_CRAWL, kOpenCrawlItemText},
        {ID_SYS_EXPORT_LINKS, kExportLinksItemText},
        {ID_SYS_BROKEN_LINKS, kBrokenLinksItemText},
    };
    AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
    for (const auto& item : items)
        AppendMenuW(hSysMenu, MF_STRING, item.nId, Utf16(item.pszText).c_str());
    AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
}

void CCrawlerDlg::OnSaveCrawl()
{
    if (CrawlRunning()) {
        ShowMessage(kWaitForCrawlText);
        return;
    }
    if (const std::string strRefusal = m_document.SaveRefusal(); !strRefusal.empty()) {
        ShowMessage(strRefusal);
        return;
    }
    const std::string strPath = AskSaveFileName(m_hWnd, "Save crawl", "site.crawl", kCrawlFilter, "crawl");
    std::string strError;
    if (!strPath.empty() && !m_document.SaveAs(strPath, strError))
        ShowMessage(strError);
}

void CCrawlerDlg::OnOpenCrawl()
{
    if (CrawlRunning()) {
        ShowMessage(kWaitForCrawlText);
        return;
    }
    const std::string strPath = AskOpenFileName(m_hWnd, "Open crawl", kCrawlFilter);
    if (strPath.empty())
        return;
    // Once the file has been read whole: the list emptied as Crawl empties it, and
    // the fields show what the crawl ran with. They are stored only when Crawl is
    // pressed; the ranks' iterations are needed before the first message.
    auto beforeReplay = [this](const OpenedCrawl& opened) {
        m_form.SetPages(static_cast<std::uint32_t>(opened.setup.nMaxPages));
        m_form.SetIterations(static_cast<std::uint32_t>(opened.setup.nIterations));
        SetField(IDC_URL, opened.setup.strStartUrl);
        SetField(IDC_PAGES, m_form.PagesText());
        SetField(IDC_ITERATIONS, m_form.IterationsText());
        m_progressRows.ResetProgress(m_form.Pages());
    };
    RowsReceiver rows(m_progressRows);
    OpenedCrawl opened;
    std::string strError;
    if (!m_document.Open(strPath, rows, opened, strError, beforeReplay)) {
        ShowMessage(strError);
        return;
    }
}

void CCrawlerDlg::OnExportLinks()
{
    if (CrawlRunning()) {
        ShowMessage(kWaitForCrawlText);
        return;
    }
    if (m_document.Graph().Empty()) {
        ShowMessage(kNothingToSaveText);
        return;
    }
    DWORD nFilter = m_nExportFilter;
    const std::string strPath = AskSaveFileName(m_hWnd, "Export links", "links.csv", kLinksFilter, "csv", &nFilter);
    if (strPath.empty())
        return;
    m_nExportFilter = nFilter;
    std::string strError;
    if (!m_document.ExportLinks(strPath, nFilter == 2 ? LinkLayout::GraphMl : LinkLayout::Edges, strError))
        ShowMessage(strError);
}

// The views are modal and show a copy of the graph's rows taken when they open: a
// crawl that goes on meanwhile changes the graph, not the view.
void CCrawlerDlg::OnBrokenLinks()
{
    BrokenLinksDialog view(m_document.Graph());
    view.DoModal(m_hWnd);
}

void CCrawlerDlg::OnShowLinks(int nRow)
{
    if (nRow < 0 || nRow >= RowCount())
        return;
    LinksDialog view(m_document.Graph(), RowLabel(nRow));
    view.DoModal(m_hWnd);
}

void CCrawlerDlg::UpdateTitle()
{
    SetWindowTextA(m_hWnd, m_form.Title().c_str());
}

// ------------------------------------------------------------------ ResultRowSink

int CCrawlerDlg::RowCount() const
{
    return m_list.GetItemCount();
}

std::string CCrawlerDlg::RowLabel(int nRow) const
{
    return m_list.GetItemLabel(nRow);
}

int CCrawlerDlg::FindRow(const std::string& sLabel) const
{
    return m_list.FindItem(sLabel);
}

int CCrawlerDlg::AddRow(const ResultRow& row)
{
    return m_list.AddItem(std::vector<std::string>(row.begin(), row.end()));
}

void CCrawlerDlg::SetCell(int nRow, int nColumn, const std::string& sText)
{
    m_list.SetItemText(nRow, nColumn, sText);
}

void CCrawlerDlg::DeleteAllRows()
{
    m_list.DeleteAllItems();
}

void CCrawlerDlg::SetStatusText(const std::string& sText)
{
    SetWindowTextA(Item(IDC_STATUS), sText.c_str());
}

void CCrawlerDlg::SetProgressRange(int nLow, int nHigh)
{
    SendMessageA(Item(IDC_PROGRESS), PBM_SETRANGE32, static_cast<WPARAM>(nLow), nHigh);
}

void CCrawlerDlg::SetProgressPos(int nPos)
{
    SendMessageA(Item(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(nPos), 0);
}

// ------------------------------------------------------------------ helpers

void CCrawlerDlg::ShowMessage(const std::string& strText)
{
    MessageBoxA(m_hWnd, strText.c_str(), kProgramName, MB_OK | MB_ICONEXCLAMATION);
}

void CCrawlerDlg::SetField(int nId, const std::string& strText)
{
    // Text the program writes is not typed input: the field rules stay out.
    m_bSettingField = true;
    SetWindowTextA(Item(nId), strText.c_str());
    m_bSettingField = false;
}

std::string CCrawlerDlg::FieldText(int nId) const
{
    const HWND h = Item(nId);
    std::string s(static_cast<std::size_t>(GetWindowTextLengthA(h)) + 1, '\0');
    s.resize(static_cast<std::size_t>(GetWindowTextA(h, &s[0], static_cast<int>(s.size()))));
    return s;
}

}  // namespace plovik
