#pragma once
// Up-down arrows without a buddy field: they keep no position and only report a
// proposed change, as the platform's control does under its default range (up: zero
// or less, down: positive). The arrow keys work while it has the focus.

#include <QWidget>

namespace plovik {

class CUpDownCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CUpDownCtrl(QWidget* pParent = nullptr);

    void PressUp() { emit DeltaPos(-1); }
    void PressDown() { emit DeltaPos(1); }

signals:
    void DeltaPos(int nDelta);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void StopRepeat();

    int m_nPressed = 0;  // -1 up arrow held, 1 down arrow held, 0 none
    int m_nTimer = 0;
};

}  // namespace plovik
