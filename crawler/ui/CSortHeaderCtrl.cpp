#include "CSortHeaderCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtEndian>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace plovik {

namespace {

// A line as the platform draws it: every pixel from the start up to, but not
// including, the end point.
void LineExcludingEnd(QPainter& painter, int x0, int y0, int x1, int y1)
{
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        painter.drawPoint(x0, y0);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// Widths outside this range would make the header unusable.
constexpr std::int32_t kMaxColumnWidth = 32767;

}  // namespace

CSortHeaderCtrl::CSortHeaderCtrl(QWidget* pParent) : QHeaderView(Qt::Horizontal, pParent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setObjectName(QStringLiteral("IDC_RESULTS_HEADER"));
}

void CSortHeaderCtrl::SetSortImage(int nColumn, bool bAscending)
{
    m_nSortColumn = nColumn;
    m_bSortAscending = bAscending;
    if (nColumn >= 0)
        m_ownerDrawn.insert(nColumn);  // never taken off again
    viewport()->update();
}

bool CSortHeaderCtrl::Serialize(const QByteArray& value)
{
    if (value.size() < 4)
        return false;
    const auto* p = reinterpret_cast<const uchar*>(value.constData());
    const std::int32_t nCount = qFromLittleEndian<std::int32_t>(p);
    if (nCount != count())
        return false;
    // Read every width first: a value shorter than its count sets none.
    const qsizetype nNeeded = 4 + 4 * static_cast<qsizetype>(nCount);
    if (value.size() < nNeeded)
        return false;
    std::vector<int> widths;
    widths.reserve(static_cast<std::size_t>(nCount));
    for (std::int32_t i = 0; i < nCount; ++i) {
        std::int32_t nWidth = qFromLittleEndian<std::int32_t>(p + 4 + 4 * i);
        if (nWidth < 0)
            nWidth = 0;
        if (nWidth > kMaxColumnWidth)
            nWidth = kMaxColumnWidth;
        widths.push_back(nWidth);
    }
    for (int i = 0; i < nCount; ++i)
        resizeSection(i, widths[static_cast<std::size_t>(i)]);
    return true;
}

QByteArray CSortHeaderCtrl::SerializeOut() const
{
    const int nCount = count();
    QByteArray out(4 + 4 * nCount, '\0');
    auto* p = reinterpret_cast<uchar*>(out.data());
    qToLittleEndian<std::int32_t>(nCount, p);
    for (int i = 0; i < nCount; ++i)
        qToLittleEndian<std::int32_t>(sectionSize(i), p + 4 + 4 * i);
    return out;
}

int CSortHeaderCtrl::WidthForTitle(const QString& sTitle) const
{
    const int o = ArrowUnit(sizeHint().height());
    // Left and right margins, the arrow's three units, and one pixel for the pressed look.
    return fontMetrics().horizontalAdvance(sTitle) + 5 * o + 1;
}

int CSortHeaderCtrl::TitleSpace(int nLogicalIndex) const
{
    return sectionSize(nLogicalIndex) - 5 * ArrowUnit(height());
}

void CSortHeaderCtrl::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton) {
        m_nPressed = logicalIndexAt(pEvent->position().toPoint());
        viewport()->update();
    }
    QHeaderView::mousePressEvent(pEvent);
}

void CSortHeaderCtrl::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (m_nPressed != -1) {
        m_nPressed = -1;
        viewport()->update();
    }
    QHeaderView::mouseReleaseEvent(pEvent);
}

void CSortHeaderCtrl::paintSection(QPainter* pPainter, const QRect& rect, int nLogicalIndex) const
{
    if (m_ownerDrawn.contains(nLogicalIndex))
        DrawItem(pPainter, rect, nLogicalIndex);
    else
        QHeaderView::paintSection(pPainter, rect, nLogicalIndex);
}

void CSortHeaderCtrl::DrawItem(QPainter* pPainter, const QRect& rect, int nLogicalIndex) const
{
    // R in the platform's terms: right and bottom are exclusive.
    const int nLeft = rect.left(), nTop = rect.top();
    const int nRight = rect.left() + rect.width(), nBottom = rect.top() + rect.height();

    pPainter->save();
    pPainter->setClipRect(rect);
    pPainter->fillRect(rect, palette().color(QPalette::Button));
    // A thin frame keeps owner-drawn items in line with the others.
    pPainter->setPen(palette().color(QPalette::Mid));
    pPainter->drawLine(nRight - 1, nTop, nRight - 1, nBottom - 1);
    pPainter->drawLine(nLeft, nBottom - 1, nRight - 1, nBottom - 1);

    QString sText = model() ? model()->headerData(nLogicalIndex, orientation(), Qt::DisplayRole).toString() : QString();
    sText.truncate(255);
    const QVariant vAlign =
        model() ? model()->headerData(nLogicalIndex, orientation(), Qt::TextAlignmentRole) : QVariant();
    const int nAlign = vAlign.isValid() ? vAlign.toInt() : int(Qt::AlignLeft);
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (nAlign & Qt::AlignHCenter)
        horizontal = Qt::AlignHCenter;
    else if (nAlign & Qt::AlignRight)
        horizontal = Qt::AlignRight;

    int lLeft = nLeft, lTop = nTop, lRight = nRight, lBottom = nBottom;
    if (m_nPressed == nLogicalIndex) {
        lLeft += 1;
        lTop += 2;
        lRight += 1;
    }
    const int o = ArrowUnit(nBottom - nTop);
    const bool bSortColumn = nLogicalIndex == m_nSortColumn;
    if (bSortColumn)
        lRight -= 3 * o;
    lLeft += o;
    lRight -= o;
    if (lLeft < lRight) {
        const QRect label(lLeft, lTop, lRight - lLeft, lBottom - lTop);
        const QString sShown = fontMetrics().elidedText(sText, Qt::ElideRight, label.width());
        pPainter->setPen(palette().color(QPalette::ButtonText));
        pPainter->drawText(label, int(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), sShown);
    }

    if (bSortColumn) {
        // Arrow coordinates count from the header's top (items start at y = 0). Its lit
        // edge is drawn mid-dark: the platform's light colour vanishes against the header.
        const int R = nRight, B = nBottom - nTop;
        const QPen light(palette().color(QPalette::Dark), 1);
        const QPen dark(palette().color(QPalette::Shadow), 1);
        pPainter->translate(0, nTop);
        if (m_bSortAscending) {
            pPainter->setPen(light);
            LineExcludingEnd(*pPainter, R - 2 * o, o, R - o, B - o - 1);
            LineExcludingEnd(*pPainter, R - o, B - o - 1, R - 3 * o - 2, B - o - 1);
            pPainter->setPen(dark);
            LineExcludingEnd(*pPainter, R - 3 * o - 1, B - o - 1, R - 2 * o, o - 1);
        } else {
            pPainter->setPen(light);
            LineExcludingEnd(*pPainter, R - o - 1, o, R - 2 * o - 1, B - o);
            pPainter->setPen(dark);
            LineExcludingEnd(*pPainter, R - 2 * o - 2, B - o, R - 3 * o - 1, o);
            LineExcludingEnd(*pPainter, R - 3 * o - 1, o, R - o - 1, o);
        }
    }
    pPainter->restore();
}

}  // namespace plovik
