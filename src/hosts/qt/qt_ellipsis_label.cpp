#include "hosts/qt/qt_ellipsis_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>
#include <limits>

#include "text/elided_text.h"

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

}  // namespace

QtEllipsisLabel::QtEllipsisLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
}

QString QtEllipsisLabel::ShownText() const {
    const QFontMetrics metrics(font());
    const QRect room = contentsRect();
    const auto fits = [&](std::string_view candidate) {
        const QRect needed = metrics.boundingRect(
            QRect(0, 0, room.width(), std::numeric_limits<int>::max() / 2), kTextFlags,
            QString::fromUtf8(candidate.data(), static_cast<qsizetype>(candidate.size())));
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    return QString::fromStdString(ElideAfterWord(text().toStdString(), fits));
}

// The tooltip is made when asked for, as the room and the text are then as the user sees them. It is
// rich text only to be wrapped: the label's own text is escaped, never read as markup.
bool QtEllipsisLabel::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QLabel::event(event);
    }
    if (ShownText() != text()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           Qt::convertFromPlainText(text(), Qt::WhiteSpaceNormal), this);
    } else {
        QToolTip::hideText();
    }
    return true;
}

void QtEllipsisLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), kTextFlags, palette(), isEnabled(), ShownText(),
                          foregroundRole());
}
