#pragma once
// The "Links" view of one results row: the links that reach its page and the links
// on it, each with the other end's address and status and the href as written.
// Built from the crawl's link graph; needs nothing of the main window.

#include <QDialog>

#include <string>

namespace plovik {

class LinkTableView;
class SiteLinkGraph;

class LinksDialog : public QDialog {
    Q_OBJECT

public:
    // strLabel: the Page text of the row, as the results list shows it.
    LinksDialog(const SiteLinkGraph& graph, const std::string& strLabel, QWidget* pParent = nullptr);

    LinkTableView* InLinksView() const { return m_pInLinks; }
    LinkTableView* OutLinksView() const { return m_pOutLinks; }

private:
    LinkTableView* m_pInLinks;
    LinkTableView* m_pOutLinks;
};

}  // namespace plovik
