#include "LinksDialog.h"

#include "LinkTableView.h"
#include "SiteLinkGraph.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plovik {

namespace {

QLabel* CountLabel(const char* pszName, const char* pszText, std::size_t nRows, QWidget* pParent)
{
    auto* pLabel = new QLabel(QString::fromLatin1(pszText).arg(nRows), pParent);
    pLabel->setObjectName(QString::fromLatin1(pszName));
    return pLabel;
}

}  // namespace

LinksDialog::LinksDialog(const SiteLinkGraph& graph, const std::string& strLabel, QWidget* pParent)
    : QDialog(pParent),
      m_pInLinks(new LinkTableView(graph.InLinks(strLabel), this)),
      m_pOutLinks(new LinkTableView(graph.OutLinks(strLabel), this))
{
    setObjectName("IDD_LINKS");
    setWindowTitle(QStringLiteral("Links of %1").arg(QString::fromStdString(strLabel)));
    m_pInLinks->setObjectName("IDC_IN_LINKS");
    m_pOutLinks->setObjectName("IDC_OUT_LINKS");
    auto* pClose = new QDialogButtonBox(QDialogButtonBox::Close, this);
    pClose->button(QDialogButtonBox::Close)->setObjectName("IDCANCEL");
    connect(pClose, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(CountLabel("IDC_IN_COUNT", "Links to this page: %1", m_pInLinks->Table().RowCount(), this));
    pLayout->addWidget(m_pInLinks);
    pLayout->addWidget(CountLabel("IDC_OUT_COUNT", "Links on this page: %1", m_pOutLinks->Table().RowCount(), this));
    pLayout->addWidget(m_pOutLinks);
    pLayout->addWidget(pClose);
    for (LinkTableView* pView : {m_pInLinks, m_pOutLinks})
        pView->setColumnWidth(0, 300);
    resize(620, 460);
}

}  // namespace plovik
