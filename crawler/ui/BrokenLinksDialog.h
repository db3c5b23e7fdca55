#pragma once
// The "Broken links" view: every link whose target did not answer 200, with the
// page it is on, the href as written, the target, its status and why it failed;
// sortable, and exported as CSV in the order shown. Needs nothing of the main window.

#include <QDialog>

#include <functional>

namespace plovik {

class LinkTableView;
class SiteLinkGraph;

class BrokenLinksDialog : public QDialog {
    Q_OBJECT

public:
    explicit BrokenLinksDialog(const SiteLinkGraph& graph, QWidget* pParent = nullptr);

    LinkTableView* View() const { return m_pView; }

    // Where Export… writes: asks the user by default; an empty name cancels.
    using FileChooser = std::function<QString(QWidget* pParent)>;
    void SetFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

    // The rows as shown, as CSV; false (and nothing half-written kept) on failure.
    bool ExportCsv(const QString& sPath) const;

private:
    void OnExport();

    LinkTableView* m_pView;
    FileChooser m_chooser;
};

}  // namespace plovik
