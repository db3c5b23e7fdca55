#include "BrokenLinksDialog.h"

#include <commctrl.h>

#include <sstream>

#include "FileDialogs.h"
#include "LinkViewsResource.h"
#include "ProgramTexts.h"
#include "SiteLinkGraph.h"
#include "TextFormat.h"
#include "WholeFile.h"

namespace plovik {

namespace {

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

DialogTemplate BrokenLinksDialog::Template() const
{
    return BrokenLinksTemplate();
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
        MessageBoxA(m_hWnd, strError.c_str(), kProgramName, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace plovik
