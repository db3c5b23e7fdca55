// The window menu's "Standard link rules": checkable, remembered in the settings,
// shown in the title, and used by the next crawl.

#include "CCrawlerApp.h"
#include "CCrawlerDlg.h"
#include "CSortListCtrl.h"
#include "CSplashWnd.h"
#include "LoopbackServer.h"
#include "RunWindow.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "WindowTestSupport.h"
#include <memory>

using plovik::CCrawlerDlg;

class LinkRulesMenuTest : public QObject {
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
    }

    void cleanup()
    {
        m_pDlg.reset();
        plovik::CSplashWnd::CloseSplash();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void itemIsRememberedAndShownInTheTitle()
    {
        auto& dlg = MakeDialog();
        QCOMPARE(dlg.windowTitle(), QString("Plovik"));
        QAction* pItem = MenuItem(dlg);
        QVERIFY(pItem);
        QCOMPARE(pItem->text(), QString("Standard link rules"));
        QVERIFY(pItem->isCheckable());
        QVERIFY(!pItem->isChecked());
        pItem->trigger();
        QVERIFY(dlg.StandardLinkRules());
        QCOMPARE(dlg.windowTitle(), QString("Plovik (standard link rules)"));

        // A new window starts with the stored choice, and its menu shows it.
        auto& again = MakeDialog();
        QVERIFY(again.StandardLinkRules());
        QCOMPARE(again.windowTitle(), QString("Plovik (standard link rules)"));
        pItem = MenuItem(again);
        QVERIFY(pItem && pItem->isChecked());
        pItem->trigger();
        QCOMPARE(again.windowTitle(), QString("Plovik"));
        QVERIFY(!MakeDialog().StandardLinkRules());
    }

    void crawlUsesTheChosenRules()
    {
        plovik_test::LoopbackServer site;
        site.Page("/", "<html><a href=\"sub/../a.html#x\">a</a><a href=a.html>a</a></html>");
        site.Page("/a.html", "<html>a</html>");
        const QString sRoot = QString::fromStdString(site.Root() + "/");
        const QString sHost = sRoot.mid(7);
        struct Case {
            bool bStandard;
            int nRows;
            QString sLinked;   // the row of the first link
            QString sInLinks;  // its In cell
        };
        for (const Case& c : {Case{false, 2, sHost + "sub/../a.html#x", "1"}, Case{true, 2, sHost + "a.html", "2"}}) {
            auto& dlg = MakeDialog();
            dlg.SetStandardLinkRules(c.bStandard);
            QSignalSpy finished(&dlg, &CCrawlerDlg::CrawlFinished);
            dlg.findChild<QLineEdit*>("IDC_URL")->setText(sRoot.chopped(1));
            dlg.findChild<QPushButton*>("IDC_CRAWL")->click();
            QVERIFY(finished.wait(30000));
            auto* pList = dlg.Results();
            QCOMPARE(pList->GetItemCount(), c.nRows);
            const int nRow = pList->FindItem(c.sLinked.toStdString());
            QVERIFY2(nRow >= 0, qPrintable(c.sLinked));
            QCOMPARE(pList->GetItemText(nRow, 2), c.sInLinks);
        }
    }

private:
    CCrawlerDlg& MakeDialog()
    {
        m_pDlg.reset();
        plovik::CSplashWnd::CloseSplash();
        m_pDlg = std::make_unique<CCrawlerDlg>();
        m_pDlg->SetMessageBox([](const QString&) {});
        m_pDlg->SetUrlOpener([](const QUrl&) {});
        plovik::CrawlSettings engine;
        engine.pageDelay = std::chrono::milliseconds(10);
        engine.http.strNoProxy = "*";
        m_pDlg->SetEngineSettings(engine);
        m_pDlg->OnInitDialog();
        return *m_pDlg;
    }

    // Opens the window menu and returns its "Standard link rules" item.
    static QAction* MenuItem(CCrawlerDlg& dlg)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), dlg.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&dlg, &event);
        auto menus = dlg.findChildren<QMenu*>("IDR_SYSMENU");
        if (menus.isEmpty())
            return nullptr;
        return menus.last()->findChild<QAction*>("ID_SYS_STANDARD_LINKS");
    }

    std::unique_ptr<QTemporaryDir> m_pConfig;
    std::unique_ptr<CCrawlerDlg> m_pDlg;
};

QTEST_MAIN(LinkRulesMenuTest)
#include "tst_LinkRulesMenu.moc"
