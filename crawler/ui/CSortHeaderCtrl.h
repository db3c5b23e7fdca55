#pragma once
// Header of the results list: remembers the sort column and direction, paints the
// sort arrow on columns that have once been sorted, and reads the stored column widths.

#include <QByteArray>
#include <QHeaderView>
#include <QSet>

namespace plovik {

class CSortHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit CSortHeaderCtrl(QWidget* pParent = nullptr);

    // Records the sort column and direction and makes that column owner-drawn.
    void SetSortImage(int nColumn, bool bAscending);

    int SortColumn() const { return m_nSortColumn; }
    bool IsAscending() const { return m_bSortAscending; }
    bool IsOwnerDrawn(int nColumn) const { return m_ownerDrawn.contains(nColumn); }

    // Reads column widths in the profile layout: a 32-bit little-endian count, then
    // that many 32-bit little-endian widths. A count that differs from the number of
    // columns, or a value shorter than the count promises, changes nothing.
    // Returns true when the widths were applied.
    bool Serialize(const QByteArray& value);
    // Writes the current widths in the same layout.
    QByteArray SerializeOut() const;

    // The narrowest section that shows sTitle whole beside the sort arrow.
    int WidthForTitle(const QString& sTitle) const;
    // Room for the title of a section drawn as the sort column (arrow and margins
    // taken off), at the header's current height.
    int TitleSpace(int nLogicalIndex) const;

protected:
    void paintSection(QPainter* pPainter, const QRect& rect, int nLogicalIndex) const override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    // Margins and the arrow are measured in quarters of the header's height, so they
    // grow with the font as the titles do.
    static int ArrowUnit(int nHeaderHeight) { return nHeaderHeight / 4; }
    void DrawItem(QPainter* pPainter, const QRect& rect, int nLogicalIndex) const;

    int m_nSortColumn = -1;
    bool m_bSortAscending = true;
    QSet<int> m_ownerDrawn;
    int m_nPressed = -1;
};

}  // namespace plovik
