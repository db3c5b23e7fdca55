#include "BrokenLinksDialog.h"

#include <commctrl.h>

#include <sstream>

#include "DialogTemplate.h"
#include "FileDialogs.h"
#include "LinkViewsResource.h"
#include "SiteLinkGraph.h"
#include "TextFormat.h"
#include "WholeFile.h"

namespace plovik {

namespace {

const char kProgramTitle[] = "Plovik";

DialogTemplate BrokenLinksTemplate()
{
    DialogTemplate dialog("Broken links", 440, 230);
    dialog.AddControl("STATIC", "", IDC_BROKEN_COUNT, SS_LEFT, 7, 7, 426, 8);
    dialog.AddControl(WC_LISTVIEWA, "", IDC_BROKEN_LINKS,
                      LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 18, 426, 184);
    dialog.AddControl("BUTTON", "&Export...", IDC_EXPORT, BS_PUSHBUTTON | WS_TABSTOP, 326, 209, 50, 14);
    dialog.AddControl("BUTTON", "Close", IDCANCEL, BS_DEFPUSHBUTTON | WS_TABSTOP, 383, 209, 50, 14);
    return dialog;
}

std::string AskCsvFile(HWND hOwner)
{
    return AskSaveFileName(hOwner, "Export broken links", "broken-links.csv",
                           "CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0", "csv");
}

}  // namespace

BrokenLinksDialog::BrokenLinksDialog(const SiteLinkGraph& graph) : m_links(graph.BrokenLinks()), m_chooser(&AskCsvFile)
{
}

BrokenLinksDialog::~BrokenLinksDialog()
{
    if (m_hWnd && !m_bModal)
        DestroyWindow(m_hWnd);
}

INT_PTR BrokenLinksDialog::DoModal(HWND hParent)
{
    m_bModal = true;
    const DialogTemplate dialog = BrokenLinksTemplate();
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), hParent, &BrokenLinksDialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

HWND BrokenLinksDialog::Create(HWND hParent)
{
    m_bModal = false;
    const DialogTemplate dialog = BrokenLinksTemplate();
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), hParent, &BrokenLinksDialog::DialogProc,
                               reinterpret_cast<LPARAM>(this));
    if (m_hWnd)
        ShowWindow(m_hWnd, SW_SHOW);
    return m_hWnd;
}

INT_PTR CALLBACK BrokenLinksDialog::DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_INITDIALOG) {
        SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        reinterpret_cast<BrokenLinksDialog*>(lParam)->m_hWnd = hWnd;
    }
    auto* pThis = reinterpret_cast<BrokenLinksDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    return pThis ? pThis->OnMessage(nMsg, wParam, lParam) : FALSE;
}

INT_PTR BrokenLinksDialog::OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_NOTIFY:
        return m_links.OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_EXPORT:
            OnExport();
            return TRUE;
        case IDCANCEL:
        case IDOK:
            Close();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        m_hWnd = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void BrokenLinksDialog::OnInitDialog()
{
    m_links.Attach(GetDlgItem(m_hWnd, IDC_BROKEN_LINKS), {200, 110, 200, 50, 140});
    SetDlgItemTextA(
        m_hWnd, IDC_BROKEN_COUNT,
        ("Links whose target did not answer 200: " + FormatInt(static_cast<std::int64_t>(m_links.Table().RowCount())))
            .c_str());
}

bool BrokenLinksDialog::ExportCsv(const std::string& strPath, std::string& strError) const
{
    std::ostringstream csv;
    m_links.Table().WriteCsv(csv);
    return WriteWholeFile(strPath, csv.str(), strError);
}

void BrokenLinksDialog::OnExport()
{
    const std::string strPath = m_chooser ? m_chooser(m_hWnd) : std::string();
    if (strPath.empty())
        return;
    std::string strError;
    if (!ExportCsv(strPath, strError))
        MessageBoxA(m_hWnd, strError.c_str(), kProgramTitle, MB_OK | MB_ICONEXCLAMATION);
}

void BrokenLinksDialog::Close()
{
    if (m_bModal)
        EndDialog(m_hWnd, IDCANCEL);
    else
        DestroyWindow(m_hWnd);
}

}  // namespace plovik
