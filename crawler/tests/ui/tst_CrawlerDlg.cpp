// The main window: start-up and stored address, the numeric fields and arrows, the
// Crawl command's checks, crawls of a loopback site through the window, and the
// thread handling around them.

#include "AppSettings.h"
#include "CCrawlerApp.h"
#include "CCrawlerDlg.h"
#include "CSortHeaderCtrl.h"
#include "CSortListCtrl.h"
#include "CSplashWnd.h"
#include "CUpDownCtrl.h"
#include "LoopbackServer.h"
#include "ResourceIds.h"
#include "RunWindow.h"
#include "TextFormat.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "WindowTestSupport.h"
#include <clocale>
#include <map>
#include <memory>
#include <vector>

using plovik::CCrawlerDlg;
using plovik::CSplashWnd;
using plovik::CUpDownCtrl;

namespace {

const char* const kRunningPrefix = "A crawl is still running.";

using plovik_test::LoopbackServer;

// Four pages; a.html answers only after nSlowMs when that is given.
void ServeFourPages(LoopbackServer& site, int nSlowMs = 0)
{
    site.Page("/", R"(<html><a href="/a.html">A</a> <a href="/b.html">B</a></html>)");
    const std::string strA = R"(<html><a href="/">home</a> <a href="/b.html">b</a> <a href="/c.html">c</a></html>)";
    if (nSlowMs > 0)
        site.SlowPage("/a.html", strA, std::chrono::milliseconds(nSlowMs));
    else
        site.Page("/a.html", strA);
    site.Page("/b.html", R"(<html><a href="/">home</a></html>)");
    site.Page("/c.html", R"(<html><a href="/a.html">a</a></html>)");
}

}  // namespace

class CrawlerDlgTest : public QObject {
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
        UseConfigFolder(m_pConfig->path());
        m_messages.clear();
        m_opened.clear();
    }

    void cleanup()
    {
        m_pDlg.reset();
        CSplashWnd::CloseSplash();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // ------------------------------------------------------------------ start-up

    void firstStartStoresTheDefaultAddress()
    {
        auto& dlg = MakeDialog();
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(Url(dlg)->text(), QString("http://news.bbc.co.uk/"));
        QString sStored;
        QVERIFY(plovik::ReadDefaultUrl(sStored));
        QCOMPARE(sStored, QString("http://news.bbc.co.uk/"));
        QCOMPARE(Field(dlg, "IDC_PAGES")->text(), QString("10"));
        QCOMPARE(Field(dlg, "IDC_ITERATIONS")->text(), QString("3"));
        QCOMPARE(dlg.ProgressLow(), 0);
        QCOMPARE(dlg.ProgressHigh(), 10);
        QCOMPARE(dlg.Results()->GetColumnCount(), 6);
        QCOMPARE(dlg.windowTitle(), QString("Plovik"));
    }

    void unwritableSettingsFolderShowsTheErrorOnce()
    {
        // A folder below a plain file can never be created.
        QFile blocker(m_pConfig->filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        UseConfigFolder(m_pConfig->filePath("blocker/config"));
        auto& dlg = MakeDialog();
        QCOMPARE(m_messages, QStringList{"Error! Cannot find settings."});
        QCOMPARE(Url(dlg)->text(), QString("http://"));
    }

    void storedAddressOf255CharactersCountsAsMissing_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("254") << 254 << true;
        QTest::newRow("255") << 255 << false;
        QTest::newRow("4000") << 4000 << false;
    }

    void storedAddressOf255CharactersCountsAsMissing()
    {
        QFETCH(int, length);
        QFETCH(bool, accepted);
        const QString sLong = "http://" + QString(length - 7, 'a');
        plovik::SaveDefaultUrl(sLong);
        auto& dlg = MakeDialog();
        QCOMPARE(Url(dlg)->text(), accepted ? sLong : QString("http://"));
        QCOMPARE(m_messages.size(), accepted ? 0 : 1);
    }

    void controlsHaveTheTemplateLayout()
    {
        auto& dlg = MakeDialog();
        QVERIFY(dlg.minimumSize() == dlg.maximumSize());  // not resizable
        auto* pCrawl = dlg.findChild<QPushButton*>("IDC_CRAWL");
        QVERIFY(pCrawl && pCrawl->isDefault());
        QCOMPARE(pCrawl->text(), QString("&Crawl"));
        QCOMPARE(dlg.findChild<QPushButton*>("IDOK")->text(), QString("&Exit"));
        QCOMPARE(dlg.findChild<QPushButton*>("IDC_HELP_PAGE")->text(), QString("&Help"));
        QCOMPARE(dlg.findChild<QLabel*>("IDC_STATIC_PAGES")->text(), QString("Pages to crawl:"));
        QCOMPARE(dlg.findChild<QLabel*>("IDC_STATIC_ITERATIONS")->text(), QString("PR calculation iterations:"));
        // Same dialog units, same proportions: Exit and Help share a column, the
        // list spans the window.
        auto* pExit = dlg.findChild<QPushButton*>("IDOK");
        auto* pHelp = dlg.findChild<QPushButton*>("IDC_HELP_PAGE");
        QCOMPARE(pExit->x(), pHelp->x());
        QVERIFY(pHelp->y() > pExit->y());
        QVERIFY(dlg.Results()->geometry().right() < dlg.width());
        // Tab order starts at Crawl, then the address, then the list.
        QCOMPARE(pCrawl->nextInFocusChain(), static_cast<QWidget*>(Url(dlg)));
    }

    // ------------------------------------------------------------------ fields and arrows
    // The rules themselves are the form's (crawler_form_test); these check that the
    // window's fields and arrows go through them and show their result.

    void iterationsFieldIsCappedAt40_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<uint>("setting");
        QTest::newRow("55") << "55"
                            << "40" << 40u;
        QTest::newRow("leading digits") << " 7x"
                                        << " 7x" << 7u;
    }

    void iterationsFieldIsCappedAt40()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(uint, setting);
        auto& dlg = MakeDialog();
        Field(dlg, "IDC_ITERATIONS")->setText(typed);
        QCOMPARE(Field(dlg, "IDC_ITERATIONS")->text(), shown);
        QCOMPARE(dlg.GetIterationsSetting(), setting);
    }

    void pagesFieldTakesAnyText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<uint>("setting");
        QTest::newRow("abc") << "abc" << 0u;
        QTest::newRow("70000") << "70000" << 70000u;
    }

    void pagesFieldTakesAnyText()
    {
        QFETCH(QString, typed);
        QFETCH(uint, setting);
        auto& dlg = MakeDialog();
        Field(dlg, "IDC_PAGES")->setText(typed);
        QCOMPARE(Field(dlg, "IDC_PAGES")->text(), typed);  // nothing written back
        QCOMPARE(dlg.PagesSetting(), setting);
    }

    void arrowsStepAndClamp_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("result");
        QTest::newRow("iterations up at 40") << "IDC_ITERATIONS"
                                             << "40" << true << "40";
        QTest::newRow("iterations up") << "IDC_ITERATIONS"
                                       << "3" << true << "4";
        QTest::newRow("pages 0 down") << "IDC_PAGES"
                                      << "0" << false << "1";
        QTest::newRow("pages up no limit") << "IDC_PAGES"
                                           << "99999" << true << "100000";
    }

    void arrowsStepAndClamp()
    {
        QFETCH(QString, field);
        QFETCH(QString, start);
        QFETCH(bool, up);
        QFETCH(QString, result);
        auto& dlg = MakeDialog();
        Field(dlg, field)->setText(start);
        auto* pSpin = dlg.findChild<CUpDownCtrl*>(field + "_SPIN");
        QVERIFY(pSpin);
        if (up)
            pSpin->PressUp();
        else
            pSpin->PressDown();
        QCOMPARE(Field(dlg, field)->text(), result);
        const uint nSetting = field == "IDC_PAGES" ? dlg.PagesSetting() : dlg.GetIterationsSetting();
        QCOMPARE(nSetting, result.toUInt());
    }

    void arrowsAnswerMouseAndKeys()
    {
        auto& dlg = MakeDialog();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* pSpin = dlg.findChild<CUpDownCtrl*>("IDC_PAGES_SPIN");
        QTest::mouseClick(pSpin, Qt::LeftButton, {}, QPoint(pSpin->width() / 2, 1));
        QCOMPARE(Field(dlg, "IDC_PAGES")->text(), QString("11"));
        QTest::mouseClick(pSpin, Qt::LeftButton, {}, QPoint(pSpin->width() / 2, pSpin->height() - 2));
        QCOMPARE(Field(dlg, "IDC_PAGES")->text(), QString("10"));
        pSpin->setFocus();
        QTest::keyClick(pSpin, Qt::Key_Down);
        QCOMPARE(Field(dlg, "IDC_PAGES")->text(), QString("9"));
    }

    void exitRefusesAFieldWithoutAnUnsignedNumber()
    {
        auto& dlg = MakeDialog();
        dlg.show();
        Field(dlg, "IDC_PAGES")->setText("abc");
        QCOMPARE(dlg.PagesSetting(), 0u);
        dlg.findChild<QPushButton*>("IDOK")->click();
        QCOMPARE(m_messages, QStringList{"Please enter an unsigned integer."});
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
        Field(dlg, "IDC_PAGES")->setText(" 12 ");
        dlg.findChild<QPushButton*>("IDOK")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.PagesSetting(), 12u);
    }

    // ------------------------------------------------------------------ Crawl checks

    void crawlNormalisesStoresThenChecks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("normalised");
        QTest::addColumn<QString>("message");
        QTest::newRow("no scheme") << "www.host.example"
                                   << "www.host.example/"
                                   << "Invalid URL";
        QTest::newRow("https") << "HTTPS://Host/Dir"
                               << "https://host/dir/"
                               << "Invalid URL";
        QTest::newRow("empty") << ""
                               << ""
                               << "Invalid URL";
        QTest::newRow("refused") << "http://www.CorVane.example/"
                                 << "http://www.corvane.example/"
                                 << "This website cannot be scanned.";
    }

    void crawlNormalisesStoresThenChecks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, normalised);
        QFETCH(QString, message);
        auto& dlg = MakeDialog();
        dlg.Results()->AddItem("old/", "-", "0", "0", "0", "0");
        Url(dlg)->setText(typed);
        dlg.OnCrawl();
        QCOMPARE(Url(dlg)->text(), normalised);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].startsWith(message), qPrintable(m_messages[0]));
        QCOMPARE(dlg.Results()->GetItemCount(), 0);
        QVERIFY(!dlg.IsCrawlRunning());
        QString sStored;
        QVERIFY(plovik::ReadDefaultUrl(sStored));
        QCOMPARE(sStored, normalised);
    }

    void enterInTheAddressFieldStartsACrawl()
    {
        auto& dlg = MakeDialog();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        Url(dlg)->setFocus();
        Url(dlg)->setText("ftp://host.example");
        QTest::keyClick(Url(dlg), Qt::Key_Return);
        QCOMPARE(Url(dlg)->text(), QString("ftp://host.example/"));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith("Invalid URL. Enter something like \""));
        QVERIFY(m_messages[0].endsWith("\" (without the quotes)"));
    }

    // ------------------------------------------------------------------ crawls

    void crawlOfALoopbackSiteThroughTheWindow()
    {
        // Numbers keep the C locale's point under a user locale with a decimal comma.
        const std::string strOldLocale = std::setlocale(LC_NUMERIC, nullptr);
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        LoopbackServer site;
        ServeFourPages(site);
        auto& dlg = MakeDialog();
        QSignalSpy finished(&dlg, &CCrawlerDlg::CrawlFinished);
        const QString sRoot = QString::fromStdString(site.Url("/"));
        Url(dlg)->setText(sRoot.toUpper());
        dlg.findChild<QPushButton*>("IDC_CRAWL")->click();
        QVERIFY(dlg.IsCrawlRunning());
        QCOMPARE(Url(dlg)->text(), sRoot);
        QVERIFY(finished.wait(30000));
        std::setlocale(LC_NUMERIC, strOldLocale.c_str());

        auto* pList = dlg.Results();
        const QString sHost = sRoot.mid(7);
        const int nStart = pList->FindItem(sHost.toStdString());
        QVERIFY(nStart >= 0);
        QCOMPARE(pList->GetItemText(nStart, 5), QString("200"));
        QCOMPARE(pList->GetItemText(nStart, 4), QString("0"));
        QCOMPARE(pList->GetItemText(nStart, 3), QString("2"));  // same-site links kept
        const int nA = dlg.FindPageRow(("http://" + sHost + "A.HTML").toStdString());
        QVERIFY(nA >= 0);
        QCOMPARE(pList->GetItemText(nA, 4), QString("1"));
        QCOMPARE(pList->GetItemText(nA, 2), QString("2"));  // from / and c.html
        QVERIFY(pList->FindItem((sHost + "c.html").toStdString()) >= 0);
        QCOMPARE(pList->GetItemCount(), 4);
        const QRegularExpression pr("^\\d+\\.\\d{3}$");
        for (int i = 0; i < pList->GetItemCount(); ++i)
            QVERIFY2(pr.match(pList->GetItemText(i, 1)).hasMatch(), qPrintable(pList->GetItemText(i, 1)));
        auto* pStatus = dlg.findChild<QLabel*>("IDC_STATUS");
        QVERIFY2(QRegularExpression("^Completed\\. Total PR = \\d+\\.\\d{3}$").match(pStatus->text()).hasMatch(),
                 qPrintable(pStatus->text()));
        QCOMPARE(dlg.ProgressHigh(), 3);
        QCOMPARE(dlg.ProgressPos(), 3);
        QCOMPARE(dlg.findChild<QProgressBar*>("IDC_PROGRESS")->value(), 3);
        QVERIFY(!dlg.IsCrawlRunning());
        QVERIFY(m_messages.isEmpty());

        // Visit page opens the row's address; a right click below the rows shows no menu.
        dlg.OnListRightClick(nA, QPoint(10, 10));
        auto* pMenu = dlg.findChild<QMenu*>("IDR_POPUP");
        QVERIFY(pMenu);
        pMenu->actions().first()->trigger();
        QCOMPARE(m_opened, QStringList{"http://" + sHost + "a.html"});
        pMenu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dlg.OnListRightClick(-1, QPoint(10, 10));
        QCOMPARE(dlg.RightClickRow(), -1);
        QVERIFY(!dlg.findChild<QMenu*>("IDR_POPUP"));

        // A second crawl after the first has ended starts afresh.
        dlg.findChild<QPushButton*>("IDC_CRAWL")->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(pList->GetItemCount(), 4);
    }

    void rankPhaseShowsEachIterationAsItEnds()
    {
        LoopbackServer site;
        site.Page("/", R"(<html><a href="/a.html">A</a> <a href="/b.html">B</a></html>)");
        site.Page("/a.html", R"(<html><a href="/">home</a></html>)");
        site.Page("/b.html", "<html>no links</html>");
        auto& dlg = MakeDialog();
        Url(dlg)->setText(QString::fromStdString(site.Url("/")));
        Field(dlg, "IDC_ITERATIONS")->setText("2");
        Field(dlg, "IDC_PAGES")->setText("10");  // a page phase bar of another range
        QSignalSpy finished(&dlg, &CCrawlerDlg::CrawlFinished);
        const std::vector<std::string> pages = {site.Url("/"), site.Url("/a.html"), site.Url("/b.html")};
        // The PR cells as each iteration's step of the bar appears (the last time for each
        // position: a range that shrinks below the position moves it once beforehand).
        std::map<int, QStringList> shown;
        auto* pBar = dlg.findChild<QProgressBar*>("IDC_PROGRESS");
        connect(pBar, &QProgressBar::valueChanged, this, [&](int nValue) {
            if (dlg.ProgressHigh() != 2 || nValue <= 0)
                return;
            QStringList cells;
            for (const std::string& strPage : pages)
                cells << dlg.Results()->GetItemText(dlg.FindPageRow(strPage), 1);
            shown[nValue] = cells;
        });
        dlg.OnCrawl();
        QVERIFY(finished.wait(30000));

        // Root has two links, a one back to root, b none.
        const double d = static_cast<double>(0.85f);
        const float base = static_cast<float>(1.0 - d);
        float fRoot = 1.0f, fA = 1.0f, fB = 1.0f;
        std::map<int, QStringList> expected;
        for (int i = 1; i <= 2; ++i) {
            const float fNewRoot = static_cast<float>(base + static_cast<double>(fA) / 1 * d);
            fA = fB = static_cast<float>(base + static_cast<double>(fRoot) / 2 * d);
            fRoot = fNewRoot;
            QStringList cells;
            for (float f : {fRoot, fA, fB})
                cells << QString::fromStdString(plovik::FormatFixed3(f));
            expected[i] = cells;
        }
        QCOMPARE(shown, expected);
        QVERIFY(expected[1] != expected[2]);
    }

    void pageLimitStopsTheBarShortOfItsRange()
    {
        LoopbackServer site;
        ServeFourPages(site);
        auto& dlg = MakeDialog();
        Url(dlg)->setText(QString::fromStdString(site.Url("/")));
        Field(dlg, "IDC_ITERATIONS")->setText("1");
        QSignalSpy finished(&dlg, &CCrawlerDlg::CrawlFinished);
        int nPagePhaseMax = -1;
        auto* pBar = dlg.findChild<QProgressBar*>("IDC_PROGRESS");
        connect(pBar, &QProgressBar::valueChanged, this, [&](int nValue) {
            if (dlg.ProgressHigh() == 10)
                nPagePhaseMax = std::max(nPagePhaseMax, nValue);
        });
        dlg.OnCrawl();
        QVERIFY(finished.wait(30000));
        QCOMPARE(nPagePhaseMax, 4);
        QCOMPARE(dlg.ProgressHigh(), 1);
        QCOMPARE(dlg.findChild<QLabel*>("IDC_STATUS")->text().left(22), QString("Completed. Total PR = "));
    }

    void secondCrawlWhileRunningIsRefused()
    {
        LoopbackServer site;
        ServeFourPages(site, 3000);
        auto& dlg = MakeDialog();
        const QString sRoot = QString::fromStdString(site.Url("/"));
        Url(dlg)->setText(sRoot);
        dlg.OnCrawl();
        QTRY_VERIFY_WITH_TIMEOUT(dlg.Results()->GetItemCount() >= 3, 10000);
        const int nRows = dlg.Results()->GetItemCount();
        Url(dlg)->setText("http://other.example/");
        dlg.OnCrawl();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith(kRunningPrefix));
        QCOMPARE(dlg.Results()->GetItemCount(), nRows);  // nothing reset
        QCOMPARE(dlg.Url(), sRoot);
        QString sStored;
        QVERIFY(plovik::ReadDefaultUrl(sStored));
        QCOMPARE(sStored, sRoot);  // nothing stored
        QVERIFY(dlg.IsCrawlRunning());
    }

    void closingDuringACrawlEndsPromptly()
    {
        // The second page answers only after 20 s: closing must not wait for it.
        LoopbackServer site;
        ServeFourPages(site, 20000);
        auto& dlg = MakeDialog();
        Url(dlg)->setText(QString::fromStdString(site.Url("/")));
        dlg.OnCrawl();
        QTRY_VERIFY_WITH_TIMEOUT(site.RequestCount() >= 2, 10000);
        QElapsedTimer timer;
        timer.start();
        dlg.reject();
        m_pDlg.reset();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    void closingReleasesAWorkerWaitingOnTheWindow()
    {
        LoopbackServer site;
        ServeFourPages(site);
        auto& dlg = MakeDialog();
        Url(dlg)->setText(QString::fromStdString(site.Url("/")));
        dlg.OnCrawl();
        // The window's thread does not serve messages now: the worker blocks on its
        // first one and must be released by the close.
        QThread::msleep(500);
        QElapsedTimer timer;
        timer.start();
        dlg.reject();
        m_pDlg.reset();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        // Posted messages of the closed window are dropped without effect.
        QCoreApplication::processEvents();
    }

    void menuKeyOpensThePopupOfTheCurrentRow()
    {
        auto& dlg = MakeDialog();
        for (const char* p : {"host/", "host/a.html", "host/b.html"})
            dlg.Results()->AddItem(p, "-", "0", "0", "0", "0");
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* pList = dlg.Results();
        for (int nRow : {0, 2}) {
            pList->setFocus();
            pList->setCurrentIndex(pList->model()->index(nRow, 0));
            QTest::keyClick(pList, Qt::Key_Menu);
            auto* pMenu = dlg.findChild<QMenu*>("IDR_POPUP");
            QVERIFY(pMenu);
            QCOMPARE(dlg.RightClickRow(), nRow);
            const QRect rowRect = pList->visualRect(pList->model()->index(nRow, 0));
            const QPoint rowTopLeft = pList->viewport()->mapToGlobal(rowRect.topLeft());
            QVERIFY(pMenu->pos().y() >= rowTopLeft.y() && pMenu->pos().y() < rowTopLeft.y() + rowRect.height());
            pMenu->actions().first()->trigger();
            pMenu->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(m_opened.last(), "http://" + pList->GetItemText(nRow, 0));
        }
    }

    void everySortedTitleFitsItsColumn()
    {
        auto& dlg = MakeDialog();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* pList = dlg.Results();
        auto* pHeader = pList->GetHeaderCtrl();
        const QFontMetrics metrics(pHeader->font());
        for (int i = 0; i < pList->GetColumnCount(); ++i) {
            pList->SortColumn(i, false);
            const QString sTitle = pList->GetColumnName(i);
            QVERIFY2(metrics.horizontalAdvance(sTitle) <= pHeader->TitleSpace(i),
                     qPrintable(sTitle + ": " + QString::number(metrics.horizontalAdvance(sTitle)) + " in " +
                                QString::number(pHeader->TitleSpace(i))));
        }
        // The columns still fit the list side by side.
        QVERIFY(pHeader->length() <= pList->viewport()->width());
    }

    void addressWithLatin1BytesKeepsItsRow()
    {
        LoopbackServer site;
        site.Page("/", "<html><a href=\"/caf\xe9.html\">caf\xe9</a></html>");
        auto& dlg = MakeDialog();
        QSignalSpy finished(&dlg, &CCrawlerDlg::CrawlFinished);
        Url(dlg)->setText(QString::fromStdString(site.Url("/")));
        dlg.OnCrawl();
        QVERIFY(finished.wait(30000));
        auto* pList = dlg.Results();
        const std::string strLabel = site.Root().substr(7) + "/caf\xe9.html";
        const int nRow = pList->FindItem(strLabel);
        QVERIFY(nRow >= 0);
        QCOMPARE(pList->GetItemText(nRow, 0),
                 QString::fromStdString(site.Root().substr(7)) + QString::fromUtf8("/caf\xc3\xa9.html"));
        // Every update reached the row: it was fetched (404 here) and ranked.
        QCOMPARE(pList->GetItemText(nRow, 5), QString("404"));
        QVERIFY2(QRegularExpression("^\\d+\\.\\d{3}$").match(pList->GetItemText(nRow, 1)).hasMatch(),
                 qPrintable(pList->GetItemText(nRow, 1)));
        dlg.OnListRightClick(nRow, QPoint(10, 10));
        auto* pMenu = dlg.findChild<QMenu*>("IDR_POPUP");
        QVERIFY(pMenu);
        pMenu->actions().first()->trigger();
        QCOMPARE(m_opened, QStringList{QString::fromStdString(site.Url("/caf%E9.html"))});
        pMenu->close();
    }

    // ------------------------------------------------------------------ splash, About, pages

    void splashIsSingleAndClosesByItsTimer()
    {
        CSplashWnd::CloseSplash();
        CSplashWnd::EnableSplash(false);
        QWidget owner;
        CSplashWnd::ShowSplash(&owner);
        QVERIFY(!CSplashWnd::Current());  // not enabled yet
        CSplashWnd::EnableSplash(true);
        CSplashWnd::ShowSplash(&owner);
        CSplashWnd* pFirst = CSplashWnd::Current();
        QVERIFY(pFirst);
        QCOMPARE(pFirst->size(), QSize(350, 325));
        CSplashWnd::ShowSplash(&owner);
        QCOMPARE(CSplashWnd::Current(), pFirst);
        QCOMPARE(owner.findChildren<CSplashWnd*>().size(), 1);
        // A click does not close it.
        QTest::mouseClick(pFirst, Qt::LeftButton);
        QCOMPARE(CSplashWnd::Current(), pFirst);
        QElapsedTimer timer;
        timer.start();
        QTRY_VERIFY_WITH_TIMEOUT(!CSplashWnd::Current(), 5000);
        QVERIFY(timer.elapsed() >= 1000);
        QTRY_VERIFY(owner.findChildren<CSplashWnd*>().isEmpty());
    }

    void splashWithoutPictureIsNotShown()
    {
        CSplashWnd::CloseSplash();
        CSplashWnd::EnableSplash(true);
        CSplashWnd::SetPicturePath(":/plovik/missing.bmp");
        QWidget owner;
        CSplashWnd::ShowSplash(&owner);
        CSplashWnd::SetPicturePath(":/plovik/splash.bmp");
        QVERIFY(!CSplashWnd::Current());
        QVERIFY(owner.findChildren<CSplashWnd*>().isEmpty());
    }

    void aboutBoxFromTheWindowMenu()
    {
        auto& dlg = MakeDialog();
        QString sTitle, sVersion;
        QTimer::singleShot(0, this, [&] {
            QWidget* pAbout = QApplication::activeModalWidget();
            if (!pAbout)
                return;
            sTitle = pAbout->windowTitle();
            if (auto* pVersion = pAbout->findChild<QLabel*>("IDC_VERSION"))
                sVersion = pVersion->text();
            QTest::keyClick(pAbout, Qt::Key_Escape);
        });
        dlg.OnSysCommand(ID_SYS_ABOUT | 0x3);  // the low four bits do not matter
        QCOMPARE(sTitle, QString("About Skarrow"));
        QCOMPARE(sVersion, QString("Skarrow Version 1.3"));
        // Another system command opens nothing.
        QTimer::singleShot(0, this, [&] { sTitle = QApplication::activeModalWidget() ? "modal" : "none"; });
        dlg.OnSysCommand(0xF060);
        QCoreApplication::processEvents();
        QCOMPARE(sTitle, QString("none"));
    }

    void helpAndBottomButtonOpenTheProductPage()
    {
        auto& dlg = MakeDialog();
        dlg.findChild<QPushButton*>("IDC_HELP_PAGE")->click();
        dlg.findChild<QPushButton*>("IDC_HOMEPAGE")->click();
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened[0], m_opened[1]);
        QVERIFY(m_opened[0].startsWith("http://"));
    }

    void rowsAreFoundIgnoringCase()
    {
        auto& dlg = MakeDialog();
        plovik::PageRecord record;
        record.strUrl = "http://Host.example/Dir/";
        QCOMPARE(dlg.OnCrawlProgress(plovik::CP_PAGE_ADDED, &record, 0), 0);
        plovik::PageRecord twin;
        twin.strUrl = "http://host.EXAMPLE/dir/";
        QCOMPARE(dlg.OnCrawlProgress(plovik::CP_PAGE_ADDED, &twin, 0), -1);
        QCOMPARE(dlg.Results()->GetItemCount(), 1);
        twin.fNewRank = 0.15f;
        dlg.OnCrawlProgress(plovik::CP_RANK_CHANGED, &twin, 0);
        QCOMPARE(dlg.Results()->GetItemText(0, 1), QString("0.150"));
        // After the list is emptied, updates find no row and change nothing.
        dlg.Results()->DeleteAllItems();
        dlg.OnCrawlProgress(plovik::CP_RANK_CHANGED, &twin, 0);
        QCOMPARE(dlg.Results()->GetItemCount(), 0);
    }

private:
    static void UseConfigFolder(const QString& sPath) { plovik_test::UseSettingsFolder(sPath); }

    CCrawlerDlg& MakeDialog()
    {
        m_pDlg = std::make_unique<CCrawlerDlg>();
        m_pDlg->SetMessageBox([this](const QString& s) { m_messages << s; });
        m_pDlg->SetUrlOpener([this](const QUrl& url) { m_opened << url.toString(QUrl::FullyEncoded); });
        plovik::CrawlSettings engine;
        engine.pageDelay = std::chrono::milliseconds(10);
        engine.http.strNoProxy = "*";
        m_pDlg->SetEngineSettings(engine);
        m_pDlg->OnInitDialog();
        return *m_pDlg;
    }

    static QLineEdit* Field(CCrawlerDlg& dlg, const QString& sName) { return dlg.findChild<QLineEdit*>(sName); }
    static QLineEdit* Url(CCrawlerDlg& dlg) { return Field(dlg, "IDC_URL"); }

    std::unique_ptr<QTemporaryDir> m_pConfig;
    std::unique_ptr<CCrawlerDlg> m_pDlg;
    QStringList m_messages;
    QStringList m_opened;
};

QTEST_MAIN(CrawlerDlgTest)
#include "tst_CrawlerDlg.moc"
