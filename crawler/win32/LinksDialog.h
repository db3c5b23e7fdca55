#pragma once
// The "Links" view of one results row on Windows: the links that reach its page and
// the links on it, each with the other end's address and status and the href as
// written. A dialog built in memory from the crawl's link graph; needs nothing of
// the main window.

#include <windows.h>

#include <string>

#include "LinkListView.h"

namespace plovik {

class SiteLinkGraph;

class LinksDialog {
public:
    // strLabel: the Page text of the row, as the results list shows it.
    LinksDialog(const SiteLinkGraph& graph, const std::string& strLabel);
    ~LinksDialog();
    LinksDialog(const LinksDialog&) = delete;
    LinksDialog& operator=(const LinksDialog&) = delete;

    // Runs the dialog until it closes.
    INT_PTR DoModal(HWND hParent);
    // Or shows it beside its owner; it lives until closed or this object ends.
    HWND Create(HWND hParent);
    HWND Handle() const { return m_hWnd; }

    const LinkListView& InLinks() const { return m_in; }
    const LinkListView& OutLinks() const { return m_out; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void Close();

    std::string m_strLabel;
    LinkListView m_in;
    LinkListView m_out;
    HWND m_hWnd = nullptr;
    bool m_bModal = false;
};

}  // namespace plovik
