#include "CSplashWnd.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

namespace plovik {

bool CSplashWnd::s_bEnabled = false;
CSplashWnd* CSplashWnd::s_pSplashWnd = nullptr;

namespace {
QString& PicturePath()
{
    static QString sPath = QStringLiteral(":/plovik/splash.bmp");
    return sPath;
}
}  // namespace

void CSplashWnd::SetPicturePath(const QString& sPath)
{
    PicturePath() = sPath;
}

CSplashWnd::CSplashWnd(QWidget* pOwner)
    : QWidget(pOwner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_pOwner(pOwner)
{
    setObjectName(QStringLiteral("IDB_SPLASH"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
}

CSplashWnd::~CSplashWnd()
{
    if (s_pSplashWnd == this)
        s_pSplashWnd = nullptr;
}

void CSplashWnd::EnableSplash(bool bEnable)
{
    s_bEnabled = bEnable;
}

void CSplashWnd::ShowSplash(QWidget* pParent)
{
    if (!s_bEnabled || s_pSplashWnd)
        return;
    auto* pSplash = new CSplashWnd(pParent);
    s_pSplashWnd = pSplash;
    if (!pSplash->Create()) {
        delete pSplash;
        return;
    }
    pSplash->repaint();
}

bool CSplashWnd::Create()
{
    if (!m_bitmap.load(PicturePath()))
        return false;
    setFixedSize(m_bitmap.size());
    // Centred over a visible owner, else on the screen's work area.
    QRect area;
    if (m_pOwner && m_pOwner->isVisible())
        area = m_pOwner->frameGeometry();
    else if (const QScreen* pScreen = QGuiApplication::primaryScreen())
        area = pScreen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
    m_nTimer = startTimer(kDelayMs);
    show();
    return m_nTimer != 0;
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, 0, m_bitmap);
}

void CSplashWnd::timerEvent(QTimerEvent*)
{
    CloseSplash();
}

void CSplashWnd::CloseSplash()
{
    CSplashWnd* pSplash = s_pSplashWnd;
    if (!pSplash)
        return;
    s_pSplashWnd = nullptr;
    if (pSplash->m_nTimer) {
        pSplash->killTimer(pSplash->m_nTimer);
        pSplash->m_nTimer = 0;
    }
    QPointer<QWidget> pOwner = pSplash->m_pOwner;
    pSplash->close();  // deletes the object once control is back in the event loop
    if (pOwner)
        pOwner->window()->repaint();
}

}  // namespace plovik
