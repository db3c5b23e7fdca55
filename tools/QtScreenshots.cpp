// plovik_screenshots: opens the window, crawls a site and saves pictures of the main
// window, the splash, the About box and the popup menu; then crawls the whole site
// (up to --link-pages pages) for the link views: a page's links and the broken links.
//
//   plovik_screenshots --url http://127.0.0.1:PORT/ --out DIR [--pages N] [--link-pages N] [--delay-ms N]
//
// Settings go to a temporary folder, so the user's stored address is not touched.

#include "CAboutDlg.h"
#include "CCrawlerApp.h"
#include "CCrawlerDlg.h"
#include "CSortListCtrl.h"
#include "CSplashWnd.h"
#include "LinksDialog.h"
#include "ResourceIds.h"
#include "RunWindow.h"

#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Pump(int nMs)
{
    QEventLoop loop;
    QTimer::singleShot(nMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// Under a real display the screen holds what is on top (menus over the window);
// offscreen, the widget itself is the best there is.
QPixmap Shot(QWidget* pWidget, const QRect& screenArea = QRect())
{
    QScreen* pScreen = QGuiApplication::primaryScreen();
    if (pScreen && QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QRect area = screenArea.isValid() ? screenArea : pWidget->frameGeometry();
        const QPixmap pixmap = pScreen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        if (!pixmap.isNull())
            return pixmap;
    }
    return pWidget->grab();
}

// Crawl pressed, and back once the crawl has ended.
bool Crawl(plovik::CCrawlerDlg& dlg)
{
    bool bDone = false;
    const QMetaObject::Connection done =
        QObject::connect(&dlg, &plovik::CCrawlerDlg::CrawlFinished, [&bDone] { bDone = true; });
    dlg.findChild<QPushButton*>(QStringLiteral("IDC_CRAWL"))->click();
    for (int i = 0; i < 1200 && !bDone; ++i)
        Pump(100);
    QObject::disconnect(done);
    if (!bDone)
        std::fprintf(stderr, "the crawl did not finish\n");
    return bDone;
}

bool Save(const QPixmap& pixmap, const QDir& out, const char* pszName)
{
    const QString sPath = out.filePath(QString::fromLatin1(pszName));
    const bool bOk = pixmap.save(sPath, "PNG");
    std::fprintf(bOk ? stdout : stderr, "%s %s\n", bOk ? "wrote" : "cannot write", qPrintable(sPath));
    return bOk;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string strUrl, strOut = "screenshots";
    int nPages = 10, nLinkPages = 100, nDelayMs = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--url")
            strUrl = argv[i + 1];
        else if (a == "--out")
            strOut = argv[i + 1];
        else if (a == "--pages")
            nPages = std::atoi(argv[i + 1]);
        else if (a == "--link-pages")
            nLinkPages = std::atoi(argv[i + 1]);
        else if (a == "--delay-ms")
            nDelayMs = std::atoi(argv[i + 1]);
    }
    if (strUrl.empty()) {
        std::fprintf(stderr,
                     "usage: plovik_screenshots --url URL --out DIR [--pages N] [--link-pages N] [--delay-ms N]\n");
        return 2;
    }

    plovik::InitUiResources();
    plovik::CCrawlerApp app(argc, argv);
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    const QDir out(QString::fromLocal8Bit(strOut.c_str()));
    QDir().mkpath(out.path());
    bool bOk = true;

    plovik::CCrawlerDlg dlg;
    plovik::CrawlSettings engine;
    engine.pageDelay = std::chrono::milliseconds(nDelayMs);
    engine.http.strNoProxy = "*";
    dlg.SetEngineSettings(engine);
    dlg.SetUrlOpener([](const QUrl&) {});
    dlg.OnInitDialog();
    Pump(300);
    if (plovik::CSplashWnd* pSplash = plovik::CSplashWnd::Current())
        bOk = Save(Shot(pSplash), out, "splash.png") && bOk;
    else
        bOk = false;
    plovik::CSplashWnd::CloseSplash();

    dlg.show();
    Pump(200);
    dlg.findChild<QLineEdit*>(QStringLiteral("IDC_PAGES"))->setText(QString::number(nPages));
    dlg.findChild<QLineEdit*>(QStringLiteral("IDC_URL"))->setText(QString::fromStdString(strUrl));
    if (!Crawl(dlg))
        return 1;
    // Sorted by In, most linked first, as a user would look at a site.
    plovik::CSortListCtrl* pList = dlg.Results();
    pList->OnColumnClick(plovik::COL_IN);
    pList->OnColumnClick(plovik::COL_IN);
    Pump(200);
    bOk = Save(Shot(&dlg), out, "main-window.png") && bOk;

    // The popup menu over the second row.
    const int nRow = pList->GetItemCount() > 1 ? 1 : 0;
    const QRect rowRect = pList->visualRect(pList->model()->index(nRow, 0));
    pList->setCurrentIndex(pList->model()->index(nRow, 0));
    const QPoint at = pList->viewport()->mapToGlobal(rowRect.center());
    dlg.OnListRightClick(nRow, at);
    Pump(300);
    if (auto* pMenu = dlg.findChild<QMenu*>(QStringLiteral("IDR_POPUP"))) {
        const QRect area = dlg.frameGeometry().united(pMenu->frameGeometry());
        bOk = Save(QGuiApplication::platformName() == QLatin1String("xcb") ? Shot(&dlg, area) : pMenu->grab(), out,
                   "popup-menu.png") &&
            bOk;
        pMenu->close();
    } else {
        bOk = false;
    }
    Pump(100);

    plovik::CAboutDlg about(&dlg);
    about.show();
    Pump(300);
    bOk = Save(Shot(&about), out, "about.png") && bOk;
    about.close();
    Pump(100);

    // The link views over the whole site, where the broken links are the missing
    // pages and not the ones a page limit left unfetched.
    dlg.findChild<QLineEdit*>(QStringLiteral("IDC_PAGES"))->setText(QString::number(nLinkPages));
    if (!Crawl(dlg))
        return 1;
    const char* pszView = nullptr;
    dlg.SetViewRunner([&](QDialog& view) {
        view.show();
        Pump(300);
        bOk = Save(Shot(&view), out, pszView) && bOk;
        view.close();
        return int(QDialog::Rejected);
    });
    // The products page: linked from every page, and linking to each product.
    const std::string strBase = strUrl.back() == '/' ? strUrl : strUrl + "/";
    int nLinksRow = dlg.FindPageRow(strBase + "products/");
    if (nLinksRow < 0)
        nLinksRow = 0;
    pszView = "links-view.png";
    dlg.ShowLinksOfRow(nLinksRow);
    pszView = "broken-links.png";
    dlg.OnSysCommand(ID_SYS_BROKEN_LINKS);
    dlg.reject();
    return bOk ? 0 : 1;
}
