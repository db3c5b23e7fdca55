#include "CUpDownCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOption>
#include <QStylePainter>

namespace plovik {

namespace {
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 60;
}  // namespace

CUpDownCtrl::CUpDownCtrl(QWidget* pParent) : QWidget(pParent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void CUpDownCtrl::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    const int nHalf = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), nHalf), QRect(0, nHalf, width(), height() - nHalf)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        const bool bDown = (i == 0 && m_nPressed < 0) || (i == 1 && m_nPressed > 0);
        button.state |= bDown ? QStyle::State_Sunken : QStyle::State_Raised;
        painter.drawPrimitive(QStyle::PE_PanelButtonBevel, button);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(2, 2, -2, -2);
        painter.drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, arrow);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void CUpDownCtrl::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    m_nPressed = pEvent->position().y() < height() / 2 ? -1 : 1;
    update();
    emit DeltaPos(m_nPressed);
    StopRepeat();
    m_nTimer = startTimer(kFirstRepeatMs);
}

void CUpDownCtrl::mouseReleaseEvent(QMouseEvent*)
{
    StopRepeat();
    m_nPressed = 0;
    update();
}

void CUpDownCtrl::timerEvent(QTimerEvent*)
{
    if (m_nPressed == 0) {
        StopRepeat();
        return;
    }
    StopRepeat();
    m_nTimer = startTimer(kRepeatMs);
    emit DeltaPos(m_nPressed);
}

void CUpDownCtrl::StopRepeat()
{
    if (m_nTimer) {
        killTimer(m_nTimer);
        m_nTimer = 0;
    }
}

void CUpDownCtrl::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_Up)
        PressUp();
    else if (pEvent->key() == Qt::Key_Down)
        PressDown();
    else
        QWidget::keyPressEvent(pEvent);
}

}  // namespace plovik
