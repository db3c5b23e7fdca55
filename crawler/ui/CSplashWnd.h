#pragma once
// The start-up picture: one frameless window over the main window that closes on its
// own after 1.5 seconds.

#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace plovik {

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    ~CSplashWnd() override;

    static void EnableSplash(bool bEnable = true);
    static bool IsEnabled() { return s_bEnabled; }
    // Creates and shows the splash over pParent; nothing when not enabled or when a
    // splash already exists, or when the picture cannot be loaded.
    static void ShowSplash(QWidget* pParent);
    // The one splash window that exists, or null.
    static CSplashWnd* Current() { return s_pSplashWnd; }
    // Destroys the splash and repaints the main window at once.
    static void CloseSplash();

    // Where the picture comes from; tests point it at a missing resource.
    static void SetPicturePath(const QString& sPath);

    static constexpr int kTimerId = 1;
    static constexpr int kDelayMs = 1500;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    explicit CSplashWnd(QWidget* pOwner);
    bool Create();

    QPixmap m_bitmap;
    QPointer<QWidget> m_pOwner;
    int m_nTimer = 0;

    static bool s_bEnabled;
    static CSplashWnd* s_pSplashWnd;
};

}  // namespace plovik
