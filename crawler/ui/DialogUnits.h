#pragma once
// Dialog templates are laid out in dialog units, which scale with the dialog font.
// The font is a fixed stand-in for the templates' 8-point sans serif, so the window
// has the same size on every machine.

#include <QFont>
#include <QRect>
#include <QSize>

namespace plovik {

QFont DialogFont();

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    // One horizontal unit is a quarter of the font's average character width, one
    // vertical unit an eighth of its height.
    QRect Rect(int x, int y, int cx, int cy) const;
    QSize Size(int cx, int cy) const;
    int BaseX() const { return m_nBaseX; }
    int BaseY() const { return m_nBaseY; }

private:
    int m_nBaseX;
    int m_nBaseY;
};

}  // namespace plovik
