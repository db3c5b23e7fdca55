// The main window's crawl files and link views over crawls of a loopback site: a
// row's links and the broken links from the menus, Export links… against the command
// line's output, Save crawl… then Open crawl… in a fresh window, and what the
// commands refuse.

#include "AppSettings.h"
#include "BrokenLinksDialog.h"
#include "CCrawlerApp.h"
#include "CCrawlerDlg.h"
#include "CSortListCtrl.h"
#include "CSplashWnd.h"
#include "HeadlessCrawl.h"
#include "LinkTableView.h"
#include "LinksDialog.h"
#include "LoopbackServer.h"
#include "ProgramTexts.h"
#include "ResourceIds.h"
#include "RunWindow.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "WindowTestSupport.h"
#include <memory>
#include <sstream>

using plovik::CCrawlerDlg;
using plovik::LinkLayout;
using plovik::LinkTableView;
using plovik_test::LoopbackServer;

namespace {

// Three pages and a missing one; a.html answers only after nSlowMs when that is given.
void ServeSite(LoopbackServer& site, int nSlowMs = 0)
{
    site.Page("/", R"(<html><a href="/a.html">A</a> <a href="gone.html">gone</a></html>)");
    const std::string strA = R"(<html><a href="/">home</a> <a href="/b.html">b</a></html>)";
    if (nSlowMs > 0)
        site.SlowPage("/a.html", strA, std::chrono::milliseconds(nSlowMs));
    else
        site.Page("/a.html", strA);
    site.Page("/b.html", R"(<html><a href="/a.html">a</a></html>)");
    site.Page("/gone.html", "<html>gone</html>", 404);
}

QByteArray ReadFile(const QString& sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A view the window ran: its name and the rows of its tables.
struct SeenView {
    QString sName;
    QStringList in, out, broken;
};

}  // namespace

class CrawlerDlgLinksTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        plovik::InitUiResources();
        plovik::CCrawlerApp::ApplyLook();
    }

    void init()
    {
        m_pConfig = std::make_unique<QTemporaryDir>();
        plovik_test::UseSettingsFolder(m_pConfig->path());
        m_messages.clear();
        m_views.clear();
        m_nAsked = 0;
        m_sChosen.clear();
    }

    void cleanup()
    {
        m_windows.clear();
        plovik::CSplashWnd::CloseSplash();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void linkViewsOfACrawledSite()
    {
        LoopbackServer site;
        ServeSite(site);
        auto& dlg = MakeWindow();
        QVERIFY(Crawl(dlg, site));
        const QString sRoot = QString::fromStdString(site.Url("/"));
        const QString sA = QString::fromStdString(site.Url("/a.html"));
        const QString sB = QString::fromStdString(site.Url("/b.html"));
        const QString sGone = QString::fromStdString(site.Url("/gone.html"));

        // The window menu: the file and link commands between the rules and About.
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), dlg.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&dlg, &event);
        auto* pMenu = dlg.findChild<QMenu*>("IDR_SYSMENU");
        QVERIFY(pMenu);
        QStringList names;
        for (QAction* pAction : pMenu->actions())
            names << (pAction->isSeparator() ? QString("-") : pAction->objectName());
        QCOMPARE(names,
                 (QStringList{"ID_SYS_STANDARD_LINKS", "-", "ID_SYS_SAVE_CRAWL", "ID_SYS_OPEN_CRAWL",
                              "ID_SYS_EXPORT_LINKS", "ID_SYS_BROKEN_LINKS", "-", "ID_SYS_ABOUT"}));
        QCOMPARE(pMenu->actions()[5]->text(), QString::fromUtf8(plovik::kBrokenLinksItemText));
        pMenu->actions()[5]->trigger();
        pMenu->close();
        QCOMPARE(m_views.size(), 1);
        QCOMPARE(m_views[0].sName, QString("IDD_BROKEN_LINKS"));
        QCOMPARE(m_views[0].broken, QStringList{sRoot + "|gone.html|" + sGone + "|404|"});

        // The popup's Show links, after Visit page, for the row of a.html.
        const int nA = dlg.FindPageRow(sA.toStdString());
        QVERIFY(nA >= 0);
        dlg.OnListRightClick(nA, QPoint(10, 10));
        auto* pPopup = dlg.findChild<QMenu*>("IDR_POPUP");
        QVERIFY(pPopup);
        QCOMPARE(pPopup->actions().size(), 2);
        QCOMPARE(pPopup->actions()[1]->objectName(), QString("ID_SHOW_LINKS"));
        pPopup->actions()[1]->trigger();
        pPopup->close();
        QCOMPARE(m_views.size(), 2);
        QCOMPARE(m_views[1].sName, QString("IDD_LINKS"));
        QCOMPARE(m_views[1].in, (QStringList{sRoot + "|200|/a.html", sB + "|200|/a.html"}));
        QCOMPARE(m_views[1].out, (QStringList{sRoot + "|200|/", sB + "|200|/b.html"}));

        // A double click on a row shows its links too, also with the list sorted.
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* pList = dlg.Results();
        pList->SortColumn(plovik::COL_STATUS, false);
        const int nRoot = dlg.FindPageRow(sRoot.toStdString());
        QVERIFY(nRoot >= 0);
        const QPoint at = pList->visualRect(pList->model()->index(nRoot, 0)).center();
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(m_views.size(), 3);
        QCOMPARE(m_views[2].in, QStringList{sA + "|200|/"});
        QCOMPARE(m_views[2].out, (QStringList{sA + "|200|/a.html", sGone + "|404|gone.html"}));

        // Without a runner the view is modal over the window.
        dlg.SetViewRunner({});
        QString sModal;
        QTimer::singleShot(0, this, [&] {
            QWidget* pView = QApplication::activeModalWidget();
            sModal = pView ? pView->objectName() : QString("none");
            if (pView)
                QTest::keyClick(pView, Qt::Key_Escape);
        });
        dlg.OnSysCommand(ID_SYS_BROKEN_LINKS | 0x5);
        QCOMPARE(sModal, QString("IDD_BROKEN_LINKS"));
        QVERIFY(m_messages.isEmpty());
    }

    void exportedLinksAreTheCommandLinesOutput_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("name");
        QTest::newRow("edges") << int(LinkLayout::Edges) << "links.csv";
        QTest::newRow("GraphML") << int(LinkLayout::GraphMl) << "links.graphml";
    }

    void exportedLinksAreTheCommandLinesOutput()
    {
        QFETCH(int, layout);
        QFETCH(QString, name);
        LoopbackServer site;
        ServeSite(site);
        QTemporaryDir dir;
        const QString sPath = dir.filePath(name);
        auto& dlg = MakeWindow();
        LinkLayout offered = LinkLayout::GraphMl;
        dlg.SetFileChoosers({{}, {}, [&](QWidget*, LinkLayout& chosen) {
                                 ++m_nAsked;
                                 offered = chosen;
                                 chosen = static_cast<LinkLayout>(layout);
                                 return sPath;
                             }});
        // Nothing crawled yet: nothing to export, and no file dialog.
        dlg.OnSysCommand(ID_SYS_EXPORT_LINKS);
        QCOMPARE(m_messages, QStringList{plovik::kNothingToSaveText});
        QCOMPARE(m_nAsked, 0);

        QVERIFY(Crawl(dlg, site));
        dlg.OnSysCommand(ID_SYS_EXPORT_LINKS);
        QCOMPARE(m_nAsked, 1);
        QCOMPARE(offered, LinkLayout::Edges);

        // The same site crawled by the command line with the window's settings.
        plovik::HeadlessOptions options;
        options.strUrl = site.Url("/");
        options.crawl.pageDelay = std::chrono::milliseconds(10);
        options.crawl.http.strNoProxy = "*";
        options.format = static_cast<LinkLayout>(layout) == LinkLayout::GraphMl ? plovik::OutputFormat::GraphMl
                                                                                : plovik::OutputFormat::Edges;
        std::ostringstream out, err;
        QCOMPARE(plovik::RunHeadlessCrawl(options, out, err, false), 0);
        QVERIFY(out.str().size() > 40);
        QCOMPARE(ReadFile(sPath), QByteArray::fromStdString(out.str()));
        QCOMPARE(m_messages.size(), 1);
    }

    void savedCrawlOpensInAFreshWindow()
    {
        LoopbackServer site;
        ServeSite(site);
        QTemporaryDir dir;
        const QString sSaved = dir.filePath("site.crawl");
        auto& crawled = MakeWindow();
        // Nothing crawled yet: nothing to save, and no file dialog.
        crawled.OnSysCommand(ID_SYS_SAVE_CRAWL);
        QCOMPARE(m_messages, QStringList{plovik::kNothingToSaveText});
        QCOMPARE(m_nAsked, 0);
        m_messages.clear();

        crawled.findChild<QLineEdit*>("IDC_PAGES")->setText("8");
        crawled.findChild<QLineEdit*>("IDC_ITERATIONS")->setText("2");
        QVERIFY(Crawl(crawled, site));
        // A folder that does not exist: the reason is shown, nothing written.
        m_sChosen = dir.filePath("no/such/site.crawl");
        crawled.OnSysCommand(ID_SYS_SAVE_CRAWL);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(!QFile::exists(m_sChosen));
        m_messages.clear();
        m_sChosen = sSaved;
        crawled.OnSysCommand(ID_SYS_SAVE_CRAWL);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('\n')));
        QVERIFY(QFile::exists(sSaved));

        // Another window with other fields and another stored address.
        plovik::SaveDefaultUrl("http://other.example/");
        auto& opened = MakeWindow();
        opened.Results()->AddItem("old/", "-", "0", "0", "0", "0");
        opened.OnSysCommand(ID_SYS_OPEN_CRAWL);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('\n')));
        QCOMPARE(Rows(opened), Rows(crawled));
        QCOMPARE(Status(opened), Status(crawled));
        QVERIFY2(Status(opened).startsWith("Completed. Total PR = "), qPrintable(Status(opened)));
        QCOMPARE(opened.ProgressHigh(), crawled.ProgressHigh());
        QCOMPARE(opened.ProgressPos(), crawled.ProgressPos());
        // The fields show what the crawl ran with; the stored address stays until Crawl.
        QCOMPARE(opened.findChild<QLineEdit*>("IDC_URL")->text(), QString::fromStdString(site.Url("/")));
        QCOMPARE(opened.findChild<QLineEdit*>("IDC_PAGES")->text(), QString("8"));
        QCOMPARE(opened.findChild<QLineEdit*>("IDC_ITERATIONS")->text(), QString("2"));
        QCOMPARE(opened.PagesSetting(), 8u);
        QCOMPARE(opened.GetIterationsSetting(), 2u);
        QString sStored;
        QVERIFY(plovik::ReadDefaultUrl(sStored));
        QCOMPARE(sStored, QString("http://other.example/"));
        // The opened crawl's links are the crawled one's.
        const std::string strA = site.Url("/a.html");
        crawled.ShowLinksOfRow(crawled.FindPageRow(strA));
        opened.ShowLinksOfRow(opened.FindPageRow(strA));
        QCOMPARE(m_views.size(), 2);
        QCOMPARE(m_views[1].in, m_views[0].in);
        QCOMPARE(m_views[1].out, m_views[0].out);
        QCOMPARE(m_views[1].in.size(), 2);

        // A file that is no saved crawl is refused and changes nothing.
        const QString sNotes = dir.filePath("notes.crawl");
        {
            QFile notes(sNotes);
            QVERIFY(notes.open(QIODevice::WriteOnly));
            notes.write("Page,PR\nsite/,1.000\n");
        }
        const QStringList rowsBefore = Rows(opened);
        opened.findChild<QLineEdit*>("IDC_PAGES")->setText("5");
        m_sChosen = sNotes;
        opened.OnSysCommand(ID_SYS_OPEN_CRAWL);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].contains("not a saved crawl"), qPrintable(m_messages[0]));
        QCOMPARE(Rows(opened), rowsBefore);
        QCOMPARE(Status(opened), Status(crawled));
        QCOMPARE(opened.findChild<QLineEdit*>("IDC_PAGES")->text(), QString("5"));
        opened.ShowLinksOfRow(opened.FindPageRow(strA));
        QCOMPARE(m_views.last().in, m_views[0].in);
    }

    void commandsWaitForARunningCrawl()
    {
        LoopbackServer site;
        ServeSite(site, 20000);
        auto& dlg = MakeWindow();
        dlg.findChild<QLineEdit*>("IDC_URL")->setText(QString::fromStdString(site.Url("/")));
        dlg.OnCrawl();
        // The start page done: its links are in the graph; the next page is slow.
        QTRY_VERIFY_WITH_TIMEOUT(dlg.ProgressPos() >= 1, 10000);
        QVERIFY(dlg.IsCrawlRunning());
        const int nRows = dlg.Results()->GetItemCount();
        for (int nId : {ID_SYS_SAVE_CRAWL, ID_SYS_OPEN_CRAWL, ID_SYS_EXPORT_LINKS})
            dlg.OnSysCommand(nId);
        QCOMPARE(m_messages, QStringList(3, QString(plovik::kWaitForCrawlText)));
        QCOMPARE(m_nAsked, 0);
        QCOMPARE(dlg.Results()->GetItemCount(), nRows);
        // The views show what the crawl has so far.
        dlg.ShowLinksOfRow(dlg.FindPageRow(site.Url("/")));
        QCOMPARE(m_views.size(), 1);
        QCOMPARE(m_views[0].out.size(), 2);
        m_windows.clear();  // stops the crawl while its site is still there
    }

    void crawlWithoutAFileRunsButCannotBeSaved()
    {
        // No crawl file can be made in a temporary folder that does not exist.
        QTemporaryDir dir;
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", dir.filePath("missing").toLocal8Bit());
        LoopbackServer site;
        ServeSite(site);
        auto& dlg = MakeWindow();
        const bool bCrawled = Crawl(dlg, site);
        qputenv("TMPDIR", oldTmp);
        QVERIFY(bCrawled);
        QCOMPARE(dlg.Results()->GetItemCount(), 4);
        QVERIFY(m_messages.isEmpty());
        dlg.OnSysCommand(ID_SYS_SAVE_CRAWL);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].startsWith("This crawl cannot be saved: " + dir.filePath("missing/")),
                 qPrintable(m_messages[0]));
        QCOMPARE(m_nAsked, 0);
        // The link views do not need the file.
        dlg.OnSysCommand(ID_SYS_BROKEN_LINKS);
        QCOMPARE(m_views.size(), 1);
        QCOMPARE(m_views[0].broken.size(), 1);
    }

private:
    CCrawlerDlg& MakeWindow()
    {
        m_windows.push_back(std::make_unique<CCrawlerDlg>());
        CCrawlerDlg& dlg = *m_windows.back();
        dlg.SetMessageBox([this](const QString& s) { m_messages << s; });
        dlg.SetUrlOpener([](const QUrl&) {});
        auto choose = [this](QWidget*) {
            ++m_nAsked;
            return m_sChosen;
        };
        dlg.SetFileChoosers({choose, choose, [this](QWidget*, LinkLayout&) {
                                 ++m_nAsked;
                                 return m_sChosen;
                             }});
        dlg.SetViewRunner([this](QDialog& view) {
            SeenView seen;
            seen.sName = view.objectName();
            if (auto* pLinks = qobject_cast<plovik::LinksDialog*>(&view)) {
                seen.in = plovik_test::ShownRows(pLinks->InLinksView());
                seen.out = plovik_test::ShownRows(pLinks->OutLinksView());
            }
            if (auto* pBroken = qobject_cast<plovik::BrokenLinksDialog*>(&view))
                seen.broken = plovik_test::ShownRows(pBroken->View());
            m_views << seen;
            return int(QDialog::Rejected);
        });
        plovik::CrawlSettings engine;
        engine.pageDelay = std::chrono::milliseconds(10);
        engine.http.strNoProxy = "*";
        dlg.SetEngineSettings(engine);
        dlg.OnInitDialog();
        plovik::CSplashWnd::CloseSplash();
        return dlg;
    }

    static bool Crawl(CCrawlerDlg& dlg, const LoopbackServer& site)
    {
        QSignalSpy finished(&dlg, &CCrawlerDlg::CrawlFinished);
        dlg.findChild<QLineEdit*>("IDC_URL")->setText(QString::fromStdString(site.Url("/")));
        dlg.OnCrawl();
        return finished.wait(30000) && dlg.Results()->GetItemCount() > 0;
    }

    static QStringList Rows(const CCrawlerDlg& dlg) { return plovik_test::ShownRows(dlg.Results()); }
    static QString Status(const CCrawlerDlg& dlg) { return dlg.findChild<QLabel*>("IDC_STATUS")->text(); }

    std::unique_ptr<QTemporaryDir> m_pConfig;
    std::vector<std::unique_ptr<CCrawlerDlg>> m_windows;
    QStringList m_messages;
    QList<SeenView> m_views;
    QString m_sChosen;
    int m_nAsked = 0;
};

QTEST_MAIN(CrawlerDlgLinksTest)
#include "tst_CrawlerDlgLinks.moc"
