// The window's file dialogs answered as a user would (the file name typed, a filter
// chosen, OK or Cancel), and the layout Export links… takes from them.

#include "FileChoosers.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using plovik::LinkLayout;

namespace {

// Once the dialog shows: chooses sFilter (when not empty), types the file's name, then
// OK; an empty name presses Cancel.
class DialogAnswer : public QObject {
public:
    DialogAnswer(QString sFile, QString sFilter) : m_sFile(std::move(sFile)), m_sFilter(std::move(sFilter))
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] { Answer(); });
        m_timer.start();
    }
    bool Answered() const { return m_bAnswered; }

private:
    void Answer()
    {
        auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!pDialog)
            return;
        m_bAnswered = true;
        // A dialog that stays open after OK is given up on, so the test fails instead of hanging.
        if (m_sFile.isEmpty() || ++m_nTries > 20) {
            pDialog->reject();
            return;
        }
        if (!m_sFilter.isEmpty())
            pDialog->selectNameFilter(m_sFilter);
        // Typed, as a user would, into the dialog's name field.
        auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(pName);
        pName->setText(m_sFile);
        // QFileDialog hides accept(); what its OK button does is QDialog's public one.
        static_cast<QDialog*>(pDialog)->accept();
    }

    QString m_sFile;
    QString m_sFilter;
    QTimer m_timer;
    bool m_bAnswered = false;
    int m_nTries = 0;
};

}  // namespace

class FileChoosersTest : public QObject {
    Q_OBJECT

private slots:
    void exportLinksLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("layout");
        QTest::newRow("GraphML filter") << "links" << plovik::kGraphMlFilter << int(LinkLayout::GraphMl);
        QTest::newRow("edge list filter") << "links.csv" << plovik::kEdgeListFilter << int(LinkLayout::Edges);
        QTest::newRow("a .graphml name wins") << "links.GraphML" << plovik::kEdgeListFilter << int(LinkLayout::GraphMl);
    }

    void exportLinksLayout()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(int, layout);
        QTemporaryDir dir;
        const QString sPath = dir.filePath(name);
        DialogAnswer user(sPath, filter);
        LinkLayout chosen = layout == int(LinkLayout::Edges) ? LinkLayout::GraphMl : LinkLayout::Edges;
        QCOMPARE(plovik::AskExportLinksFile(nullptr, chosen), sPath);
        QVERIFY(user.Answered());
        QCOMPARE(int(chosen), layout);
    }

    void cancelKeepsTheLayout()
    {
        DialogAnswer user{QString(), QString()};
        LinkLayout chosen = LinkLayout::GraphMl;
        QCOMPARE(plovik::AskExportLinksFile(nullptr, chosen), QString());
        QVERIFY(user.Answered());
        QCOMPARE(chosen, LinkLayout::GraphMl);
    }

    void crawlFiles()
    {
        QTemporaryDir dir;
        const QString sSaved = dir.filePath("site.crawl");
        {
            DialogAnswer user(sSaved, QString());
            QCOMPARE(plovik::AskSaveCrawlFile(nullptr), sSaved);
            QVERIFY(user.Answered());
        }
        QFile file(sSaved);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        {
            DialogAnswer user(sSaved, QString());
            QCOMPARE(plovik::AskOpenCrawlFile(nullptr), sSaved);
            QVERIFY(user.Answered());
        }
        QCOMPARE(plovik::LocalPath(sSaved), QFile::encodeName(sSaved).toStdString());
    }
};

QTEST_MAIN(FileChoosersTest)
#include "tst_FileChoosers.moc"
