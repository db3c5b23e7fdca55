#include "LinksDialog.h"

#include <commctrl.h>

#include "LinkViewsResource.h"
#include "SiteLinkGraph.h"
#include "TextFormat.h"

namespace plovik {

namespace {

DialogTemplate LinksTemplate()
{
    const DWORD dwList = LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;
    DialogTemplate dialog("Links", 340, 250);
    dialog.AddControl("STATIC", "", IDC_LINKS_IN_COUNT, SS_LEFT, 7, 7, 326, 8);
    dialog.AddControl(WC_LISTVIEWA, "", IDC_LINKS_IN, dwList, 7, 18, 326, 95);
    dialog.AddControl("STATIC", "", IDC_LINKS_OUT_COUNT, SS_LEFT, 7, 118, 326, 8);
    dialog.AddControl(WC_LISTVIEWA, "", IDC_LINKS_OUT, dwList, 7, 129, 326, 95);
    dialog.AddControl("BUTTON", "Close", IDCANCEL, BS_DEFPUSHBUTTON | WS_TABSTOP, 283, 229, 50, 14);
    return dialog;
}

}  // namespace

LinksDialog::LinksDialog(const SiteLinkGraph& graph, const std::string& strLabel)
    : m_strLabel(strLabel), m_in(graph.InLinks(strLabel)), m_out(graph.OutLinks(strLabel))
{
}

DialogTemplate LinksDialog::Template() const
{
    return LinksTemplate();
}

INT_PTR LinksDialog::OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        return m_in.OnNotify(header) || m_out.OnNotify(header);
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            Close();
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void LinksDialog::OnInitDialog()
{
    SetWindowTextA(m_hWnd, ("Links of " + m_strLabel).c_str());
    m_in.Attach(GetDlgItem(m_hWnd, IDC_LINKS_IN), {280, 50, 160});
    m_out.Attach(GetDlgItem(m_hWnd, IDC_LINKS_OUT), {280, 50, 160});
    SetDlgItemTextA(m_hWnd, IDC_LINKS_IN_COUNT,
                    ("Links to this page: " + FormatInt(static_cast<std::int64_t>(m_in.Table().RowCount()))).c_str());
    SetDlgItemTextA(m_hWnd, IDC_LINKS_OUT_COUNT,
                    ("Links on this page: " + FormatInt(static_cast<std::int64_t>(m_out.Table().RowCount()))).c_str());
}

}  // namespace plovik
