#pragma once
// The "Links" view of one results row on Windows: the links that reach its page and
// the links on it, each with the other end's address and status and the href as
// written. A dialog built in memory from the crawl's link graph; needs nothing of
// the main window.

#include <windows.h>

#include <string>

#include "LinkListView.h"
#include "MemoryDialog.h"

namespace plovik {

class SiteLinkGraph;

class LinksDialog : public MemoryDialog {
public:
    // strLabel: the Page text of the row, as the results list shows it.
    LinksDialog(const SiteLinkGraph& graph, const std::string& strLabel);

    const LinkListView& InLinks() const { return m_in; }
    const LinkListView& OutLinks() const { return m_out; }

private:
    DialogTemplate Template() const override;
    INT_PTR OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();

    std::string m_strLabel;
    LinkListView m_in;
    LinkListView m_out;
};

}  // namespace plovik
