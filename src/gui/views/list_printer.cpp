#include "views/list_printer.hpp"

#include "app/icons.hpp"

#include <QDateTime>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <numeric>

namespace qx::gui {
namespace {

QString cellText(const lists::ListRow& row, std::size_t column) {
    return column < row.cells.size() ? QString::fromStdString(row.cells[column]) : QString();
}

// Word wrap, except where one word alone is wider than the cell (paths, addresses).
int wrapFlags(const QFontMetricsF& fm, const QString& text, qreal width) {
    const auto words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& w : words)
        if (fm.horizontalAdvance(w) > width) return Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;
    return Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}

// Widths that fit `available`: narrow columns keep their natural width, the wide ones share
// what is left equally.
std::vector<qreal> fitWidths(const std::vector<qreal>& natural, qreal available) {
    std::vector<qreal> widths = natural;
    const qreal total = std::accumulate(natural.begin(), natural.end(), qreal(0));
    if (natural.empty()) return widths;
    if (total <= available) {
        widths.back() += available - total;
        return widths;
    }
    std::vector<std::size_t> order(natural.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return natural[a] < natural[b]; });
    qreal left = available;
    std::size_t count = order.size();
    for (std::size_t i : order) {
        widths[i] = std::min(natural[i], left / static_cast<qreal>(count));
        left -= widths[i];
        --count;
    }
    return widths;
}

struct Metrics {
    qreal mm;       // device pixels per millimetre
    qreal pad;      // inner cell margin
    qreal icon;     // icon size (one text line)
    qreal titleH;   // title line with the rule below it
    qreal footerH;  // page number line
    qreal headerH;  // column header row
};

}  // namespace

bool printList(QPagedPaintDevice& device, const QString& title, const lists::ListModel& list,
               const QStringList& headers) {
    QPainter p;
    if (!p.begin(&device)) return false;
    const QRectF area(0, 0, device.width(), device.height());
    QFont body;
    body.setPointSizeF(8);
    QFont bold = body;
    bold.setBold(true);
    QFont heading = body;
    heading.setPointSizeF(11);
    heading.setBold(true);
    const QFontMetricsF fm(body, &device), fmBold(bold, &device), fmHeading(heading, &device);

    Metrics m{};
    m.mm = device.logicalDpiX() / 25.4;
    m.pad = 1.2 * m.mm;
    m.icon = fm.height();
    m.titleH = fmHeading.height() + 3 * m.mm;
    m.footerH = fm.height() + 2 * m.mm;

    const std::size_t columns = list.columns.size();
    auto header = [&](std::size_t c) {
        return c < std::size_t(headers.size()) ? headers[int(c)] : QString();
    };
    std::vector<qreal> natural(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        qreal w = fmBold.horizontalAdvance(header(c));
        for (const auto& row : list.rows) w = std::max(w, fm.horizontalAdvance(cellText(row, c)));
        natural[c] = w + 2 * m.pad + (c == 0 ? m.icon + m.pad : 0);
    }
    const std::vector<qreal> widths = fitWidths(natural, area.width());
    auto textWidth = [&](std::size_t c) { return widths[c] - 2 * m.pad - (c == 0 ? m.icon + m.pad : 0); };

    m.headerH = fmBold.height() + 2 * m.pad;
    for (std::size_t c = 0; c < columns; ++c) {
        const QString h = header(c);
        const qreal tw = std::max<qreal>(textWidth(c), 1);
        m.headerH = std::max(
            m.headerH,
            fmBold.boundingRect(QRectF(0, 0, tw, 1e6), wrapFlags(fmBold, h, tw), h).height() + 2 * m.pad);
    }

    // Row heights, then the rows each page takes.
    const qreal bodyTop = m.titleH + m.headerH;
    const qreal bodyHeight = std::max<qreal>(area.height() - bodyTop - m.footerH, fm.height() * 2);
    std::vector<qreal> heights(list.rows.size());
    for (std::size_t r = 0; r < list.rows.size(); ++r) {
        qreal h = fm.height();
        for (std::size_t c = 0; c < columns; ++c) {
            const QString t = cellText(list.rows[r], c);
            if (t.isEmpty()) continue;
            const qreal tw = std::max<qreal>(textWidth(c), 1);
            h = std::max(h, fm.boundingRect(QRectF(0, 0, tw, 1e6), wrapFlags(fm, t, tw), t).height());
        }
        heights[r] = std::min(h + 2 * m.pad, bodyHeight);
    }
    std::vector<std::size_t> pageStarts{0};
    qreal used = 0;
    for (std::size_t r = 0; r < heights.size(); ++r) {
        if (used + heights[r] > bodyHeight && used > 0) {
            pageStarts.push_back(r);
            used = 0;
        }
        used += heights[r];
    }

    const QColor rule(0x9a, 0xa5, 0xb1), grid(0xd5, 0xdb, 0xe1), headerFill(0xe6, 0xeb, 0xf0),
        stripe(0xf5, 0xf7, 0xf9);
    const QString printed = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    const int pages = static_cast<int>(pageStarts.size());
    for (int page = 0; page < pages; ++page) {
        if (page > 0) device.newPage();
        // Title line.
        p.setPen(Qt::black);
        p.setFont(heading);
        p.drawText(QRectF(0, 0, area.width() * 0.7, fmHeading.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   fmHeading.elidedText(title, Qt::ElideRight, area.width() * 0.7));
        p.setFont(body);
        p.drawText(QRectF(0, 0, area.width(), fmHeading.height()), Qt::AlignRight | Qt::AlignVCenter,
                   printed);
        p.setPen(QPen(rule, 0.3 * m.mm));
        p.drawLine(QPointF(0, m.titleH - 1.5 * m.mm), QPointF(area.width(), m.titleH - 1.5 * m.mm));

        // Column headers.
        qreal y = m.titleH;
        p.fillRect(QRectF(0, y, area.width(), m.headerH), headerFill);
        p.setFont(bold);
        p.setPen(Qt::black);
        qreal x = 0;
        for (std::size_t c = 0; c < columns; ++c) {
            const qreal indent = c == 0 ? m.icon + m.pad : 0;
            const QRectF cell(x + m.pad + indent, y + m.pad, std::max<qreal>(textWidth(c), 1),
                              m.headerH - 2 * m.pad);
            p.drawText(cell, wrapFlags(fmBold, header(c), cell.width()), header(c));
            x += widths[c];
        }
        y += m.headerH;
        p.setPen(QPen(rule, 0.2 * m.mm));
        p.drawLine(QPointF(0, y), QPointF(area.width(), y));

        // Rows.
        p.setFont(body);
        const std::size_t first = pageStarts[std::size_t(page)];
        const std::size_t last = page + 1 < pages ? pageStarts[std::size_t(page) + 1] : list.rows.size();
        for (std::size_t r = first; r < last; ++r) {
            const auto& row = list.rows[r];
            const QRectF line(0, y, area.width(), heights[r]);
            if ((r - first) % 2 == 1) p.fillRect(line, stripe);
            x = 0;
            for (std::size_t c = 0; c < columns; ++c) {
                const QRectF cell(x, y, widths[c], heights[r]);
                qreal left = x + m.pad;
                if (c == 0) {
                    const QPixmap icon = icons::list(row.icon).pixmap(64, 64);
                    p.drawPixmap(QRectF(left, y + m.pad, m.icon, m.icon), icon, icon.rect());
                    left += m.icon + m.pad;
                }
                const QString t = cellText(row, c);
                const QRectF textRect(left, y + m.pad, std::max<qreal>(textWidth(c), 1),
                                      heights[r] - 2 * m.pad);
                p.save();
                p.setClipRect(cell);
                p.setPen(Qt::black);
                p.drawText(textRect, wrapFlags(fm, t, textRect.width()), t);
                p.restore();
                x += widths[c];
            }
            y += heights[r];
            p.setPen(QPen(grid, 0.15 * m.mm));
            p.drawLine(QPointF(0, y), QPointF(area.width(), y));
        }
        if (list.rows.empty()) {
            p.setPen(Qt::darkGray);
            p.drawText(QRectF(0, y + m.pad, area.width(), fm.height() * 2), Qt::AlignLeft | Qt::AlignTop,
                       QStringLiteral("No entries to show."));
        }
        // Column rules from the headers down to the last row of the page.
        p.setPen(QPen(grid, 0.15 * m.mm));
        x = 0;
        for (std::size_t c = 0; c + 1 < columns; ++c) {
            x += widths[c];
            p.drawLine(QPointF(x, m.titleH), QPointF(x, y));
        }
        // Foot.
        p.setPen(Qt::darkGray);
        p.drawText(QRectF(0, area.height() - fm.height(), area.width(), fm.height()),
                   Qt::AlignHCenter | Qt::AlignBottom,
                   QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
    }
    return p.end();
}

}  // namespace qx::gui
