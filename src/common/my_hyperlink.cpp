#include "common/my_hyperlink.h"

#include <QDesktopServices>
#include <QEvent>
#include <QMouseEvent>
#include <QUrl>

void CMyHyperLink::SubclassLabel(QLabel& label) {
    m_pLabel = &label;
    m_font = label.font();
    m_font.setUnderline(true);
    label.setFont(m_font);
    label.setCursor(Qt::PointingHandCursor);
    label.setMouseTracking(true);
    label.setAutoFillBackground(false);
    label.installEventFilter(this);
    Redraw();
}

QColor CMyHyperLink::TextColor() const {
    if (m_bVisited) {
        return m_crVisited;
    }
    return m_bOver ? m_crHover : m_crLink;
}

bool CMyHyperLink::eventFilter(QObject* watched, QEvent* event) {
    // A disabled link is text without a target.
    if (watched != m_pLabel || !m_pLabel->isEnabled()) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseMove:
            OnMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            break;
        case QEvent::Leave:
            // Where the window system refuses to grab the mouse, leaving is the only notice.
            OnLeave();
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && m_pLabel->rect().contains(mouse->position().toPoint())) {
                OnClicked();
            }
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

// The mouse is grabbed while over the link so that the move that leaves it still arrives here.
void CMyHyperLink::OnMouseMove(const QPoint& point) {
    if (!m_bOver) {
        m_bOver = true;
        Redraw();
        m_pLabel->grabMouse();
    } else if (!m_pLabel->rect().contains(point)) {
        OnLeave();
    }
}

void CMyHyperLink::OnLeave() {
    if (!m_bOver) {
        return;
    }
    m_bOver = false;
    m_pLabel->releaseMouse();
    Redraw();
}

void CMyHyperLink::OnClicked() {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(m_strURL)));
    m_bVisited = true;
    Redraw();
}

void CMyHyperLink::Redraw() {
    if (!m_pLabel) {
        return;
    }
    QPalette palette = m_pLabel->palette();
    palette.setColor(QPalette::WindowText, TextColor());
    m_pLabel->setPalette(palette);
    m_pLabel->repaint();
}
