#include "app/icon_glyphs.hpp"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qx::gui::icons::detail {
namespace {

// Every glyph is drawn on a 16 x 16 grid and rendered at 16, 32 and 48 pixels.

void letter(QPainter& p, const QString& s, QRectF r, QColor c, int px, bool bold = true) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

void bubble(QPainter& p, QColor c, const QString& s) {
    QPainterPath path;
    path.addRoundedRect(QRectF(1, 1, 14, 11), 3, 3);
    path.moveTo(4, 11.5);
    path.lineTo(4, 15);
    path.lineTo(8, 11.5);
    p.setPen(QPen(c.darker(130), 0.8));
    p.setBrush(c);
    p.drawPath(path.simplified());
    letter(p, s, QRectF(1, 0.5, 14, 11), Qt::white, 10);
}

void disc(QPainter& p, QColor c) {
    p.setPen(QPen(c.darker(125), 0.8));
    p.setBrush(c);
    p.drawEllipse(QRectF(1, 1, 14, 14));
}

void stroke(QPainter& p, QColor c, double w) {
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void document(QPainter& p, QRectF r, QColor line = kGrey) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kGrey, 0.9));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.setPen(QPen(line, 0.9));
    for (double y = r.top() + 4; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void folder(QPainter& p, bool open) {
    p.setPen(QPen(kFolder.darker(140), 0.8));
    p.setBrush(kFolder.darker(110));
    p.drawRoundedRect(QRectF(1, 3, 6, 3), 1, 1);
    p.drawRect(QRectF(1, 4.5, 14, 9.5));
    p.setBrush(kFolder);
    if (open) {
        QPolygonF poly{QPointF(3, 7), QPointF(15.5, 7), QPointF(14, 14), QPointF(1, 14)};
        p.drawPolygon(poly);
    } else {
        p.drawRect(QRectF(1, 6, 14, 8));
    }
}

void cylinder(QPainter& p, QRectF r, QColor c) {
    p.setPen(QPen(c.darker(150), 0.8));
    p.setBrush(c);
    p.drawRect(QRectF(r.left(), r.top() + 1.5, r.width(), r.height() - 3));
    p.drawEllipse(QRectF(r.left(), r.bottom() - 3, r.width(), 3));
    p.setBrush(c.lighter(130));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), 3));
}

void box(QPainter& p, QRectF r, QColor c) {
    p.setPen(QPen(c.darker(150), 0.8));
    p.setBrush(c);
    p.drawRect(r);
    p.setBrush(c.lighter(125));
    p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.3));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.top() + r.height() * 0.3));
}

void server(QPainter& p, QColor c) {
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(kDark, 0.8));
        p.setBrush(c);
        p.drawRoundedRect(QRectF(2, 1.5 + i * 4.5, 12, 3.8), 1, 1);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen.lighter(120));
        p.drawEllipse(QRectF(11, 2.7 + i * 4.5, 1.6, 1.6));
    }
}

void tree(QPainter& p, QColor c) {
    stroke(p, kDark, 1);
    p.drawLine(QPointF(8, 4), QPointF(8, 8));
    p.drawLine(QPointF(3.5, 8), QPointF(12.5, 8));
    p.drawLine(QPointF(3.5, 8), QPointF(3.5, 11));
    p.drawLine(QPointF(12.5, 8), QPointF(12.5, 11));
    p.setPen(QPen(c.darker(140), 0.8));
    p.setBrush(c);
    p.drawRect(QRectF(5.5, 1, 5, 4));
    p.drawRect(QRectF(1, 11, 5, 4));
    p.drawRect(QRectF(10, 11, 5, 4));
}

void paintMarks(QPainter& p, Glyph g, QColor c) {
    switch (g) {
        case Glyph::Info:
            bubble(p, kBlue, QStringLiteral("i"));
            break;
        case Glyph::Remark:
            bubble(p, kPurple, QStringLiteral("R"));
            break;
        case Glyph::Warning: {
            QPolygonF tri{QPointF(8, 1), QPointF(15.3, 14.5), QPointF(0.7, 14.5)};
            p.setPen(QPen(QColor(0xb0, 0x7a, 0x00), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(kAmber);
            p.drawPolygon(tri);
            letter(p, QStringLiteral("!"), QRectF(4, 4.5, 8, 10), Qt::black, 10);
            break;
        }
        case Glyph::Cross:
        case Glyph::DoubleCross:
            disc(p, kRed);
            stroke(p, Qt::white, 2);
            p.drawLine(QPointF(5, 5), QPointF(11, 11));
            p.drawLine(QPointF(11, 5), QPointF(5, 11));
            if (g == Glyph::DoubleCross) {
                p.setPen(QPen(kAmber, 1.6));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QRectF(0.8, 0.8, 14.4, 14.4));
            }
            break;
        case Glyph::Tick:
            disc(p, kGreen);
            stroke(p, Qt::white, 2);
            p.drawPolyline(QPolygonF{QPointF(4.3, 8.3), QPointF(7, 11), QPointF(11.8, 5.2)});
            break;
        case Glyph::Command:
            p.setPen(QPen(kDark.darker(120), 0.8));
            p.setBrush(kDark);
            p.drawRoundedRect(QRectF(1, 2, 14, 12), 2, 2);
            stroke(p, Qt::white, 1.8);
            p.drawPolyline(QPolygonF{QPointF(4.5, 5), QPointF(8, 8), QPointF(4.5, 11)});
            p.drawLine(QPointF(9, 11), QPointF(12, 11));
            break;
        case Glyph::ErrorE:
            p.setPen(QPen(kRed, 0.8));
            p.setBrush(QColor(0xfd, 0xe4, 0xe4));
            p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
            letter(p, QStringLiteral("e"), QRectF(1, -0.5, 14, 14), kRed, 13);
            break;
        case Glyph::Equal:
        case Glyph::NotEqual:
            stroke(p, g == Glyph::Equal ? kGreen : kRed, 1.8);
            p.drawLine(QPointF(3, 6), QPointF(13, 6));
            p.drawLine(QPointF(3, 10.5), QPointF(13, 10.5));
            if (g == Glyph::NotEqual) p.drawLine(QPointF(10.5, 2.5), QPointF(5.5, 14));
            break;
        case Glyph::Exclamation:
            disc(p, c);
            letter(p, QStringLiteral("!"), QRectF(1, 1, 14, 14), Qt::white, 11);
            break;
        default:
            break;
    }
}

void paintItems(QPainter& p, Glyph g, QColor c) {
    switch (g) {
        case Glyph::Network:
            stroke(p, kDark, 1);
            p.drawLine(QPointF(8, 5), QPointF(8, 8));
            p.drawLine(QPointF(3, 8), QPointF(13, 8));
            p.drawLine(QPointF(3, 8), QPointF(3, 10));
            p.drawLine(QPointF(13, 8), QPointF(13, 10));
            p.setBrush(c);
            p.setPen(QPen(c.darker(150), 0.8));
            p.drawRect(QRectF(5, 1, 6, 4));
            p.drawRect(QRectF(0.5, 10, 5, 4.5));
            p.drawRect(QRectF(10.5, 10, 5, 4.5));
            break;
        case Glyph::Plug:
            p.setPen(QPen(kDark, 0.8));
            p.setBrush(c);
            p.drawRoundedRect(QRectF(2, 4, 12, 9), 1.5, 1.5);
            p.setBrush(kDark);
            p.drawRect(QRectF(5, 7, 6, 4));
            p.setBrush(kAmber);
            for (int i = 0; i < 3; ++i) p.drawRect(QRectF(5.5 + i * 2, 7.5, 1, 1.5));
            break;
        case Glyph::Disk:
        case Glyph::Power:
            p.setPen(QPen(kDark, 0.8));
            p.setBrush(QColor(0xc9, 0xcf, 0xd6));
            p.drawRoundedRect(QRectF(1, 4, 14, 8), 1.5, 1.5);
            p.setPen(Qt::NoPen);
            p.setBrush(g == Glyph::Power ? kAmber : kGreen);
            p.drawEllipse(QRectF(11, 9, 2, 2));
            stroke(p, kGrey, 0.8);
            p.drawLine(QPointF(3, 10), QPointF(8, 10));
            break;
        case Glyph::Disks:
            for (int i = 0; i < 2; ++i) {
                p.setPen(QPen(kDark, 0.8));
                p.setBrush(QColor(0xc9, 0xcf, 0xd6));
                p.drawRoundedRect(QRectF(1, 2 + i * 6.5, 14, 5.5), 1.2, 1.2);
                p.setPen(Qt::NoPen);
                p.setBrush(kGreen);
                p.drawEllipse(QRectF(11.5, 4 + i * 6.5, 1.8, 1.8));
            }
            break;
        case Glyph::Cylinder:
            cylinder(p, QRectF(2.5, 1.5, 11, 13), c);
            break;
        case Glyph::Database:
            cylinder(p, QRectF(2.5, 1.5, 11, 13), c);
            stroke(p, c.darker(150), 0.7);
            p.drawArc(QRectF(2.5, 5.5, 11, 3), 180 * 16, 180 * 16);
            p.drawArc(QRectF(2.5, 9, 11, 3), 180 * 16, 180 * 16);
            break;
        case Glyph::Folder:
            folder(p, false);
            break;
        case Glyph::FolderOpen:
            folder(p, true);
            break;
        case Glyph::Document:
            document(p, QRectF(3, 1, 10, 14));
            break;
        case Glyph::Documents:
            document(p, QRectF(5, 1, 9.5, 11));
            document(p, QRectF(1.5, 4, 9.5, 11));
            break;
        case Glyph::Report:
            document(p, QRectF(2.5, 1, 11, 14), kBlue);
            break;
        case Glyph::Checklist:
            document(p, QRectF(2.5, 1, 11, 14), Qt::transparent);
            stroke(p, kGreen, 1.3);
            for (int i = 0; i < 3; ++i)
                p.drawPolyline(
                    QPolygonF{QPointF(4, 5 + i * 3.3), QPointF(5, 6 + i * 3.3), QPointF(6.5, 4 + i * 3.3)});
            stroke(p, kGrey, 0.9);
            for (int i = 0; i < 3; ++i) p.drawLine(QPointF(8, 5 + i * 3.3), QPointF(11.5, 5 + i * 3.3));
            break;
        case Glyph::Server:
            server(p, c);
            break;
        case Glyph::Sliders:
            for (int i = 0; i < 3; ++i) {
                stroke(p, kGrey, 1.2);
                p.drawLine(QPointF(2, 3.5 + i * 4.5), QPointF(14, 3.5 + i * 4.5));
                p.setPen(QPen(c.darker(150), 0.8));
                p.setBrush(c);
                const double x = (i == 0 ? 9.5 : i == 1 ? 4.5 : 11);
                p.drawRoundedRect(QRectF(x - 1.5, 1.5 + i * 4.5, 3, 4), 0.8, 0.8);
            }
            break;
        case Glyph::Chip:
        case Glyph::Memory:
            p.setPen(QPen(kDark, 0.8));
            p.setBrush(c);
            if (g == Glyph::Chip) {
                p.drawRect(QRectF(4, 4, 8, 8));
                stroke(p, kDark, 0.9);
                for (int i = 0; i < 3; ++i) {
                    const double v = 5.5 + i * 2.5;
                    p.drawLine(QPointF(v, 1.5), QPointF(v, 4));
                    p.drawLine(QPointF(v, 12), QPointF(v, 14.5));
                    p.drawLine(QPointF(1.5, v), QPointF(4, v));
                    p.drawLine(QPointF(12, v), QPointF(14.5, v));
                }
            } else {
                p.drawRect(QRectF(1, 4, 14, 7));
                p.setBrush(kDark);
                for (int i = 0; i < 4; ++i) p.drawRect(QRectF(2.5 + i * 3.2, 5.5, 2, 4));
                stroke(p, kAmber, 1);
                for (int i = 0; i < 6; ++i)
                    p.drawLine(QPointF(2 + i * 2.4, 11.5), QPointF(2 + i * 2.4, 13.5));
            }
            break;
        default:
            break;
    }
}

void paintMore(QPainter& p, Glyph g, QColor c) {
    switch (g) {
        case Glyph::Funnel: {
            QPolygonF f{QPointF(1.5, 2),  QPointF(14.5, 2), QPointF(9.5, 8),
                        QPointF(9.5, 14), QPointF(6.5, 12), QPointF(6.5, 8)};
            p.setPen(QPen(c.darker(150), 0.8));
            p.setBrush(c);
            p.drawPolygon(f);
            break;
        }
        case Glyph::Link:
            stroke(p, c, 1.6);
            p.drawRoundedRect(QRectF(1.5, 5.5, 7.5, 5), 2.5, 2.5);
            p.drawRoundedRect(QRectF(7, 5.5, 7.5, 5), 2.5, 2.5);
            break;
        case Glyph::Update:
        case Glyph::Download:
            if (g == Glyph::Update) box(p, QRectF(1.5, 7, 13, 7.5), QColor(0xc8, 0x9b, 0x64));
            stroke(p, kGreen.darker(110), 2);
            p.drawLine(QPointF(8, 1), QPointF(8, g == Glyph::Update ? 9 : 11));
            p.drawPolyline(QPolygonF{QPointF(4.5, g == Glyph::Update ? 5.5 : 7.5),
                                     QPointF(8, g == Glyph::Update ? 9 : 11),
                                     QPointF(11.5, g == Glyph::Update ? 5.5 : 7.5)});
            if (g == Glyph::Download) p.drawLine(QPointF(3, 14), QPointF(13, 14));
            break;
        case Glyph::Box:
            box(p, QRectF(2, 3, 12, 11), c);
            break;
        case Glyph::Boxes:
            box(p, QRectF(1, 7.5, 7, 7), c);
            box(p, QRectF(8, 7.5, 7, 7), c.darker(110));
            box(p, QRectF(4.5, 1, 7, 6.5), c.lighter(110));
            break;
        case Glyph::BoxTick:
            box(p, QRectF(1, 4, 11, 10), c);
            stroke(p, kGreen, 2);
            p.drawPolyline(QPolygonF{QPointF(8, 8), QPointF(10.5, 11), QPointF(15, 3.5)});
            break;
        case Glyph::Magnifier:
            p.setPen(QPen(kDark, 1.4));
            p.setBrush(QColor(0xd6, 0xe9, 0xfb));
            p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
            stroke(p, kDark, 2.4);
            p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
            break;
        case Glyph::TreeGlyph:
            tree(p, c);
            break;
        case Glyph::Trees:
            tree(p, c);
            p.setPen(QPen(c.darker(160), 0.8));
            p.setBrush(c.lighter(120));
            p.drawRect(QRectF(11, 0.5, 4, 3));
            break;
        case Glyph::Clock:
            p.setPen(QPen(kDark, 1));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            stroke(p, kDark, 1.2);
            p.drawLine(QPointF(8, 8), QPointF(8, 4));
            p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
            break;
        case Glyph::Crown: {
            QPolygonF cr{QPointF(2, 12), QPointF(1.5, 4),  QPointF(5, 8),  QPointF(8, 2.5),
                         QPointF(11, 8), QPointF(14.5, 4), QPointF(14, 12)};
            p.setPen(QPen(QColor(0xb0, 0x7a, 0x00), 0.8));
            p.setBrush(kAmber);
            p.drawPolygon(cr);
            p.drawRect(QRectF(2, 12, 12, 2));
            break;
        }
        case Glyph::Replica:
            cylinder(p, QRectF(1.5, 3, 8, 11), c);
            cylinder(p, QRectF(6.5, 1.5, 8, 11), c.lighter(115));
            break;
        case Glyph::Bomb:
            p.setPen(Qt::NoPen);
            p.setBrush(kDark);
            p.drawEllipse(QRectF(1.5, 4.5, 10.5, 10.5));
            stroke(p, QColor(0x8d, 0x6e, 0x4c), 1.2);
            p.drawArc(QRectF(9, 1.5, 6, 6), 90 * 16, 110 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(kAmber);
            p.drawEllipse(QRectF(12.5, 0.5, 3, 3));
            break;
        case Glyph::Lightning: {
            QPolygonF l{QPointF(9.5, 1),  QPointF(3, 9),     QPointF(7.5, 9), QPointF(6, 15),
                        QPointF(13, 6.5), QPointF(8.5, 6.5), QPointF(10.5, 1)};
            p.setPen(QPen(c.darker(140), 0.8));
            p.setBrush(c);
            p.drawPolygon(l);
            break;
        }
        case Glyph::Line:
            stroke(p, kGrey, 1.4);
            p.drawLine(QPointF(2, 8), QPointF(14, 8));
            p.setPen(Qt::NoPen);
            p.setBrush(kDark);
            p.drawEllipse(QRectF(1, 6.5, 3, 3));
            break;
        case Glyph::Gear: {
            p.setPen(QPen(c.darker(150), 0.8));
            p.setBrush(c);
            QPainterPath path;
            for (int i = 0; i < 8; ++i) {
                QTransform t;
                t.translate(8, 8);
                t.rotate(i * 45);
                path.addPolygon(t.map(QPolygonF(QRectF(-1.6, -7.3, 3.2, 4))));
            }
            path.addEllipse(QPointF(8, 8), 5.3, 5.3);
            p.drawPath(path.simplified());
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8, 8), 2, 2);
            break;
        }
        case Glyph::Cup:
            p.setPen(QPen(kDark, 0.8));
            p.setBrush(c);
            p.drawRoundedRect(QRectF(2, 6, 9, 8), 2, 2);
            stroke(p, kDark, 1.2);
            p.drawArc(QRectF(9, 7.5, 5, 4.5), -90 * 16, 180 * 16);
            stroke(p, kGrey, 1);
            p.drawLine(QPointF(5, 1.5), QPointF(5, 4.5));
            p.drawLine(QPointF(8, 1.5), QPointF(8, 4.5));
            break;
        case Glyph::Blank:
            break;
        default:
            break;
    }
}

}  // namespace

namespace {

void window(QPainter& p, QRectF r) {
    p.setPen(QPen(kDark, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(kBlue);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 2.5));
}

void smallCross(QPainter& p, QPointF at) {
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(at, 3.6, 3.6);
    stroke(p, Qt::white, 1.3);
    p.drawLine(at + QPointF(-1.6, -1.6), at + QPointF(1.6, 1.6));
    p.drawLine(at + QPointF(1.6, -1.6), at + QPointF(-1.6, 1.6));
}

void paintTools(QPainter& p, Glyph g) {
    switch (g) {
        case Glyph::Expand:
        case Glyph::Collapse:
            tree(p, kBlue.lighter(130));
            p.setPen(QPen(kDark, 0.8));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9, 0.5, 6.5, 6.5));
            stroke(p, kDark, 1.2);
            p.drawLine(QPointF(10.5, 3.75), QPointF(14, 3.75));
            if (g == Glyph::Expand) p.drawLine(QPointF(12.25, 2), QPointF(12.25, 5.5));
            break;
        case Glyph::Cascade:
            window(p, QRectF(1, 1, 9, 7));
            window(p, QRectF(3.5, 4, 9, 7));
            window(p, QRectF(6, 7, 9, 7.5));
            break;
        case Glyph::TileH:
            window(p, QRectF(1.5, 1, 13, 6.5));
            window(p, QRectF(1.5, 8.5, 13, 6.5));
            break;
        case Glyph::TileV:
            window(p, QRectF(1, 1.5, 6.5, 13));
            window(p, QRectF(8.5, 1.5, 6.5, 13));
            break;
        case Glyph::CloseWin:
            window(p, QRectF(1, 1.5, 12, 10));
            smallCross(p, QPointF(11.5, 11.5));
            break;
        case Glyph::CloseAll:
            window(p, QRectF(0.5, 0.5, 10, 8));
            window(p, QRectF(3, 3.5, 10, 8));
            smallCross(p, QPointF(11.5, 11.5));
            break;
        case Glyph::CloseConfig:
            server(p, QColor(0xb8, 0xc4, 0xd2));
            smallCross(p, QPointF(11.5, 11.5));
            break;
        case Glyph::Printer:
            document(p, QRectF(4, 1, 8, 6));
            p.setPen(QPen(kDark, 0.8));
            p.setBrush(QColor(0xb8, 0xbe, 0xc6));
            p.drawRoundedRect(QRectF(1, 6, 14, 6), 1.5, 1.5);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 10, 8, 5));
            break;
        case Glyph::Save:
            p.setPen(QPen(kBlue.darker(150), 0.8));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 1.5, 8, 5));
            p.setBrush(QColor(0xdd, 0xe6, 0xf2));
            p.drawRect(QRectF(4, 9, 8, 5.5));
            break;
        case Glyph::Open:
            folder(p, true);
            break;
        case Glyph::OpenMany:
            folder(p, true);
            document(p, QRectF(7.5, 0.5, 7, 8));
            break;
        case Glyph::Compare:
            server(p, QColor(0xb8, 0xc4, 0xd2));
            p.setPen(QPen(kDark, 0.6));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(7, 7, 8.5, 8.5));
            stroke(p, kGreen, 1.4);
            p.drawLine(QPointF(9, 10), QPointF(13.5, 10));
            p.drawLine(QPointF(9, 12.5), QPointF(13.5, 12.5));
            break;
        case Glyph::Qxs:
            document(p, QRectF(1.5, 1, 10, 14));
            p.setPen(QPen(kDark.darker(120), 0.6));
            p.setBrush(kDark);
            p.drawRoundedRect(QRectF(7, 7, 8.5, 8), 1.5, 1.5);
            stroke(p, Qt::white, 1.3);
            p.drawPolyline(QPolygonF{QPointF(9, 9), QPointF(11, 11), QPointF(9, 13)});
            break;
        case Glyph::Run: {
            p.setPen(QPen(kGreen.darker(140), 0.8));
            p.setBrush(kGreen);
            p.drawEllipse(QRectF(1, 1, 14, 14));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygonF{QPointF(6, 4), QPointF(12, 8), QPointF(6, 12)});
            break;
        }
        case Glyph::Help:
            disc(p, kBlue);
            letter(p, QStringLiteral("?"), QRectF(1, 1, 14, 14), Qt::white, 11);
            break;
        default:
            break;
    }
}

}  // namespace

QPixmap render(Glyph g, QColor c, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 16.0, size / 16.0);
    paintMarks(p, g, c);
    paintItems(p, g, c);
    paintMore(p, g, c);
    paintTools(p, g);
    return pm;
}

}  // namespace qx::gui::icons::detail
