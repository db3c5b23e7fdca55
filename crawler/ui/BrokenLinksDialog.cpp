#include "BrokenLinksDialog.h"

#include "FileChoosers.h"
#include "LinkTableView.h"
#include "ProgramTexts.h"
#include "SiteLinkGraph.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <sstream>

namespace plovik {

BrokenLinksDialog::BrokenLinksDialog(const SiteLinkGraph& graph, QWidget* pParent)
    : QDialog(pParent), m_pView(new LinkTableView(graph.BrokenLinks(), this)), m_chooser(&AskBrokenLinksFile)
{
    setObjectName("IDD_BROKEN_LINKS");
    setWindowTitle(QStringLiteral("Broken links"));
    m_pView->setObjectName("IDC_BROKEN_LINKS");
    auto* pCount =
        new QLabel(QStringLiteral("Links whose target did not answer 200: %1").arg(m_pView->Table().RowCount()), this);
    pCount->setObjectName("IDC_BROKEN_COUNT");

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* pExport = pButtons->addButton(QStringLiteral("&Export…"), QDialogButtonBox::ActionRole);
    pExport->setObjectName("IDC_EXPORT");
    pButtons->button(QDialogButtonBox::Close)->setObjectName("IDCANCEL");
    connect(pExport, &QPushButton::clicked, this, &BrokenLinksDialog::OnExport);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pCount);
    pLayout->addWidget(m_pView);
    pLayout->addWidget(pButtons);
    m_pView->setColumnWidth(0, 220);
    m_pView->setColumnWidth(1, 120);
    m_pView->setColumnWidth(2, 220);
    m_pView->setColumnWidth(3, 50);
    resize(800, 420);
}

bool BrokenLinksDialog::ExportCsv(const QString& sPath) const
{
    std::ostringstream out;
    m_pView->Table().WriteCsv(out);
    const std::string bytes = out.str();
    // Written aside and renamed at the end: a failed export leaves an old file whole.
    QSaveFile file(sPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return file.commit();
}

void BrokenLinksDialog::OnExport()
{
    const QString sPath = m_chooser ? m_chooser(this) : QString();
    if (sPath.isEmpty())
        return;
    if (!ExportCsv(sPath))
        QMessageBox::warning(this, QString::fromLatin1(kProgramName),
                             QStringLiteral("The broken links could not be written to %1.").arg(sPath));
}

}  // namespace plovik
