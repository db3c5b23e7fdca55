// The link views on their own, without the main window: a page's in-links and
// out-links, the broken links sorted by header clicks and exported as CSV.

#include "BrokenLinksDialog.h"
#include "LinkTableView.h"
#include "LinksDialog.h"
#include "SampleLinkGraph.h"
#include "SiteLinkGraph.h"

#include "WindowTestSupport.h"
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using plovik::BrokenLinksDialog;
using plovik::LinksDialog;
using plovik::LinkTableView;
using plovik::SiteLinkGraph;

namespace {

void ClickHeader(QTableView* pView, int nSection)
{
    QHeaderView* pHeader = pView->horizontalHeader();
    const QPoint at(pHeader->sectionViewportPosition(nSection) + pHeader->sectionSize(nSection) / 2,
                    pHeader->height() / 2);
    QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {}, at);
}

QByteArray ReadFile(const QString& sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

class LinkViewsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { plovik_test::FillSampleLinkGraph(m_graph); }
    void cleanup() { m_graph.Reset(); }

    void pageLinks_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QStringList>("out");
        QTest::newRow("start page") << "site/" << QStringList{"http://site/a.html|200|/"}
                                    << QStringList{"http://site/a.html|200|a.html",
                                                   "http://site/gone.html|404|gone.html", "http://site/dead|-1|/dead"};
        QTest::newRow("missing page, from two pages")
            << "site/gone.html" << QStringList{"http://site/|200|gone.html", "http://site/a.html|200|./gone.html"}
            << QStringList{};
        QTest::newRow("label in other letters")
            << "SITE/B.HTML" << QStringList{"http://site/a.html|200|b.html"} << QStringList{};
        QTest::newRow("no such row") << "elsewhere/" << QStringList{} << QStringList{};
    }

    void pageLinks()
    {
        QFETCH(QString, label);
        QFETCH(QStringList, in);
        QFETCH(QStringList, out);
        LinksDialog dlg(m_graph, label.toStdString());
        QCOMPARE(plovik_test::ShownRows(dlg.findChild<LinkTableView*>("IDC_IN_LINKS")), in);
        QCOMPARE(plovik_test::ShownRows(dlg.findChild<LinkTableView*>("IDC_OUT_LINKS")), out);
        QCOMPARE(dlg.findChild<QLabel*>("IDC_IN_COUNT")->text(), QString("Links to this page: %1").arg(in.size()));
        QCOMPARE(dlg.findChild<QLabel*>("IDC_OUT_COUNT")->text(), QString("Links on this page: %1").arg(out.size()));
        QVERIFY(dlg.windowTitle().endsWith(label));
    }

    void headerClicksSortStably()
    {
        BrokenLinksDialog dlg(m_graph);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* pView = dlg.findChild<LinkTableView*>("IDC_BROKEN_LINKS");
        const QStringList crawlOrder = {"http://site/|gone.html|http://site/gone.html|404|",
                                        "http://site/|/dead|http://site/dead|-1|connection refused",
                                        "http://site/a.html|./gone.html|http://site/gone.html|404|",
                                        "http://site/a.html|b.html|http://site/b.html|0|"};
        QCOMPARE(plovik_test::ShownRows(pView), crawlOrder);

        ClickHeader(pView, 3);  // Status: numbers by value, equal ones in crawl order
        QCOMPARE(plovik_test::ShownRows(pView),
                 (QStringList{crawlOrder[1], crawlOrder[3], crawlOrder[0], crawlOrder[2]}));
        QCOMPARE(pView->horizontalHeader()->sortIndicatorSection(), 3);
        QCOMPARE(pView->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);

        ClickHeader(pView, 3);  // the same column again: descending, ties still in order
        QCOMPARE(plovik_test::ShownRows(pView),
                 (QStringList{crawlOrder[0], crawlOrder[2], crawlOrder[3], crawlOrder[1]}));
        QCOMPARE(pView->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

        ClickHeader(pView, 1);  // another column starts ascending: hrefs byte by byte
        QCOMPARE(plovik_test::ShownRows(pView),
                 (QStringList{crawlOrder[2], crawlOrder[1], crawlOrder[3], crawlOrder[0]}));
    }

    void exportWritesTheRowsAsShown()
    {
        QTemporaryDir dir;
        const QString sPath = dir.filePath("broken.csv");
        BrokenLinksDialog dlg(m_graph);
        dlg.SetFileChooser([&](QWidget*) { return sPath; });
        ClickHeader(dlg.View(), 3);
        dlg.findChild<QPushButton*>("IDC_EXPORT")->click();
        QCOMPARE(ReadFile(sPath),
                 QByteArray("Page,Href,Target,Status,Reason\n"
                            "http://site/,/dead,http://site/dead,-1,connection refused\n"
                            "http://site/a.html,b.html,http://site/b.html,0,\n"
                            "http://site/,gone.html,http://site/gone.html,404,\n"
                            "http://site/a.html,./gone.html,http://site/gone.html,404,\n"));
    }

    void exportCancelledOrFailedWritesNothing()
    {
        QTemporaryDir dir;
        BrokenLinksDialog dlg(m_graph);
        bool bAsked = false;
        dlg.SetFileChooser([&](QWidget*) {
            bAsked = true;
            return QString();
        });
        dlg.findChild<QPushButton*>("IDC_EXPORT")->click();
        QVERIFY(bAsked);
        QVERIFY(QDir(dir.path()).isEmpty());
        // A folder that does not exist: refused, and nothing appears.
        QVERIFY(!dlg.ExportCsv(dir.filePath("no/such/folder.csv")));
        QVERIFY(QDir(dir.path()).isEmpty());
        // An existing file is replaced whole.
        const QString sPath = dir.filePath("old.csv");
        {
            QFile old(sPath);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(5000, 'x'));
        }
        QVERIFY(dlg.ExportCsv(sPath));
        QVERIFY(ReadFile(sPath).startsWith("Page,Href,Target,Status,Reason\nhttp://site/,gone.html,"));
        QVERIFY(!ReadFile(sPath).contains('x'));
    }

private:
    SiteLinkGraph m_graph;
};

QTEST_MAIN(LinkViewsTest)
#include "tst_LinkViews.moc"
