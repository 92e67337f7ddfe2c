#include "views/report_source_view.hpp"

#include "app/message.hpp"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPainter>
#include <QTextBlock>

namespace qx::gui {

namespace {

class Margin : public QWidget {
public:
    explicit Margin(CReportSourceView* view) : QWidget(view), m_view(view) {}
    QSize sizeHint() const override { return {m_view->marginWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { m_view->paintMargin(event); }

private:
    CReportSourceView* m_view;
};

}  // namespace

CReportSourceView::CReportSourceView(QWidget* parent) : QPlainTextEdit(parent), m_margin(new Margin(this)) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(marginWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy)
            m_margin->scroll(0, dy);
        else
            m_margin->update(0, rect.y(), m_margin->width(), rect.height());
    });
    setViewportMargins(marginWidth(), 0, 0, 0);
}

int CReportSourceView::marginWidth() const {
    const int digits = static_cast<int>(QString::number(std::max(1, blockCount())).size());
    return 12 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void CReportSourceView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect r = contentsRect();
    m_margin->setGeometry(QRect(r.left(), r.top(), marginWidth(), r.height()));
}

void CReportSourceView::paintMargin(QPaintEvent* event) {
    QPainter p(m_margin);
    p.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible() && top + height >= event->rect().top()) {
            const int number = block.blockNumber() + 1;
            QFont f = font();
            f.setBold(number == m_line);
            p.setFont(f);
            p.setPen(number == m_line ? palette().color(QPalette::Text)
                                      : palette().color(QPalette::Disabled, QPalette::Text));
            p.drawText(0, top, m_margin->width() - 6, height, Qt::AlignRight | Qt::AlignVCenter,
                       QString::number(number));
        }
        block = block.next();
        top += height;
    }
}

void CReportSourceView::showLine(int line) {
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (!block.isValid()) return;
    m_line = line;
    QTextCursor c(block);
    setTextCursor(c);
    centerCursor();
    highlight();
    m_margin->update();
}

QString CReportSourceView::lineText(int line) const {
    return document()->findBlockByNumber(line - 1).text();
}

void CReportSourceView::highlight() {
    QTextEdit::ExtraSelection s;
    s.format.setBackground(QColor(0xff, 0xec, 0x9e));
    s.format.setProperty(QTextFormat::FullWidthSelection, true);
    s.cursor = QTextCursor(document()->findBlockByNumber(m_line - 1));
    s.cursor.clearSelection();
    setExtraSelections({s});
}

CReportSourceView* openReportSource(QWidget* parent, const QString& path, int line) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(parent, MessageKind::Error,
                    QStringLiteral(
                        "Cannot show %1: %2. The report may have been moved or deleted since it was opened.")
                        .arg(path, file.errorString()));
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    auto* view = new CReportSourceView;
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setWindowFlag(Qt::Window);
    view->setWindowTitle(QStringLiteral("%1 - line %2").arg(QFileInfo(path).fileName()).arg(line));
    // Reports are 8-bit text; the lines are numbered as the importer counted them (LF ends
    // a line, a CR before it is dropped).
    QString text = QString::fromLatin1(bytes);
    text.remove(QLatin1Char('\r'));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);  // no empty line after the last one
    view->setPlainText(text);
    view->resize(900, 600);
    if (parent) view->setWindowIcon(parent->window()->windowIcon());
    view->show();
    view->showLine(line);
    return view;
}

}  // namespace qx::gui
