// Draws the program's pictures at build time: the splash picture (350 x 325, 24-bit
// bitmap) and the icon (32 x 32 and 16 x 16). Usage: PlovikArt <output folder>
//
// The pictures show what the program does: pages of a site as nodes, links between
// them, and the size of a node standing for its rank.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Node {
    QPointF pos;
    double rank;
};

// A fixed pseudo-random sequence, so the pictures are the same on every build.
class Lcg {
public:
    double Next()
    {
        m_state = m_state * 1103515245u + 12345u;
        return static_cast<double>((m_state >> 8) & 0xFFFFu) / 65535.0;
    }

private:
    unsigned m_state = 20080917u;
};

void DrawGraph(QPainter& p, const QRectF& area, int nNodes, double scale)
{
    Lcg rnd;
    std::vector<Node> nodes;
    const QPointF centre = area.center();
    nodes.push_back({centre, 1.0});
    for (int i = 1; i < nNodes; ++i) {
        const double angle = i * 2.39996 + rnd.Next() * 0.4;  // golden-angle spiral
        const double radius = std::sqrt(static_cast<double>(i) / nNodes) * area.width() / 2.0;
        const QPointF pos(centre.x() + std::cos(angle) * radius, centre.y() + std::sin(angle) * radius * 0.8);
        nodes.push_back({pos, 0.25 + 0.75 * (1.0 - static_cast<double>(i) / nNodes) * rnd.Next()});
    }
    // Links: every page links to the start page and to a neighbour or two.
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        QColor c(120, 190, 255, 70);
        p.setPen(QPen(c, 1.0 * scale));
        p.drawLine(nodes[i].pos, nodes[(i * 7) % i].pos);
        if (i > 3) {
            p.setPen(QPen(QColor(120, 190, 255, 45), 0.8 * scale));
            p.drawLine(nodes[i].pos, nodes[i - 3].pos);
        }
    }
    for (const Node& n : nodes) {
        const double r = (2.0 + 7.0 * n.rank) * scale;
        QRadialGradient glow(n.pos, r * 2.2);
        glow.setColorAt(0.0, QColor(255, 214, 120, 150));
        glow.setColorAt(1.0, QColor(255, 214, 120, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(n.pos, r * 2.2, r * 2.2);
        p.setBrush(QColor(255, 226, 150));
        p.drawEllipse(n.pos, r, r);
    }
}

QImage Splash()
{
    QImage image(350, 325, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 325);
    sky.setColorAt(0.0, QColor(10, 24, 54));
    sky.setColorAt(1.0, QColor(22, 64, 110));
    p.fillRect(image.rect(), sky);
    DrawGraph(p, QRectF(25, 40, 300, 190), 34, 1.0);

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(QRect(2, 232, 350, 56), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Plovik"));
    p.setPen(QColor(250, 250, 255));
    p.drawText(QRect(0, 230, 350, 56), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Plovik"));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(13);
    p.setFont(sub);
    p.setPen(QColor(190, 215, 240));
    p.drawText(QRect(0, 284, 350, 18), Qt::AlignHCenter, QStringLiteral("Site crawler and rank calculator"));
    sub.setPixelSize(11);
    p.setFont(sub);
    p.setPen(QColor(150, 180, 215));
    p.drawText(QRect(0, 302, 350, 16), Qt::AlignHCenter, QStringLiteral("Skarrow Version 1.3"));
    p.setPen(QColor(255, 226, 150, 90));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 349, 324));
    p.end();
    return image;
}

QImage Icon(int nSize)
{
    QImage image(nSize, nSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = nSize / 32.0;
    QPainterPath tile;
    tile.addRoundedRect(QRectF(1 * s, 1 * s, 30 * s, 30 * s), 6 * s, 6 * s);
    p.fillPath(tile, QColor(18, 48, 92));
    // Three pages, the biggest in the middle: rank flows to it.
    const QPointF a(9 * s, 10 * s), b(23 * s, 9 * s), c(16 * s, 22 * s);
    p.setPen(QPen(QColor(130, 200, 255), 1.6 * s));
    p.drawLine(a, c);
    p.drawLine(b, c);
    p.drawLine(a, b);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 226, 150));
    p.drawEllipse(a, 3.2 * s, 3.2 * s);
    p.drawEllipse(b, 3.2 * s, 3.2 * s);
    p.setBrush(QColor(255, 196, 64));
    p.drawEllipse(c, 5.5 * s, 5.5 * s);
    p.end();
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: PlovikArt <output folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path()))
        return 1;
    bool bOk = Splash().save(out.filePath(QStringLiteral("splash.bmp")), "BMP");
    bOk = Icon(32).save(out.filePath(QStringLiteral("plovik-32.png")), "PNG") && bOk;
    bOk = Icon(16).save(out.filePath(QStringLiteral("plovik-16.png")), "PNG") && bOk;
    return bOk ? 0 : 1;
}
