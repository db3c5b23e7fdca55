#pragma once
// The "Broken links" view on Windows: every link whose target did not answer 200,
// with the page it is on, the href as written, the target, its status and why it
// failed; sortable, and exported as CSV in the order shown. A dialog built in
// memory; needs nothing of the main window.

#include <windows.h>

#include <functional>
#include <string>

#include "LinkListView.h"
#include "MemoryDialog.h"

namespace plovik {

class SiteLinkGraph;

class BrokenLinksDialog : public MemoryDialog {
public:
    explicit BrokenLinksDialog(const SiteLinkGraph& graph);

    const LinkListView& Links() const { return m_links; }

    // Where Export… writes: the common Save dialog by default; empty cancels.
    using FileChooser = std::function<std::string(HWND hOwner)>;
    void SetFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    // The rows as shown, as CSV; false with the reason when the file cannot be
    // written whole (an old file then stays as it was).
    bool ExportCsv(const std::string& strPath, std::string& strError) const;

private:
    DialogTemplate Template() const override;
    INT_PTR OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void OnExport();

    LinkListView m_links;
    FileChooser m_chooser;
};

}  // namespace plovik
