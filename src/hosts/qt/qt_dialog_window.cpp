#include "hosts/qt/qt_dialog_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMouseEvent>

#include "dialogs/template_dialog.h"
#include "hosts/qt/dialog_builder.h"

QtDialogWindow::QtDialogWindow(CTemplateDialog& dialog, const LumikartaDialogTemplate* dialogTemplate,
                               QWidget* owner)
    : QDialog(owner), m_dialog(dialog), m_notices([this](int notice, const std::string& payload) {
          // Notices still under way when the dialog has ended are dropped, as a closed window gets none.
          if (!m_dialog.Ended()) {
              m_dialog.OnNotice(notice, payload);
          }
      }) {
    if (dialogTemplate) {
        BuildDialog(*this, *dialogTemplate);
        m_dialogStyle = dialogTemplate->style;
    }
    ConnectControls();
}

// Only the user's doing reaches the dialog: a choice made by the program (activated, not
// currentIndexChanged) is no selection change, as with native controls.
void QtDialogWindow::ConnectControls() {
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const int id = ControlId(*control);
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            connect(button, &QAbstractButton::clicked, this, [this, id] { m_dialog.OnCommand(id); });
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            connect(combo, &QComboBox::activated, this, [this, id] { m_dialog.OnSelChange(id); });
        } else if (auto* list = qobject_cast<QListWidget*>(control)) {
            // Not currentRowChanged: a click makes the row current before it selects it, so the
            // dialog would find no selection yet.
            connect(list, &QListWidget::itemSelectionChanged, this, [this, id] { m_dialog.OnSelChange(id); });
        }
    }
}

void QtDialogWindow::AddSystemMenuItem(int commandId, const QString& text) {
    m_systemMenu.addSeparator();
    QAction* entry = m_systemMenu.addAction(text);
    connect(entry, &QAction::triggered, this, [this, commandId] { m_dialog.OnSysCommand(commandId); });
}

void QtDialogWindow::MakeLink(QWidget& label) {
    label.setCursor(Qt::PointingHandCursor);
    label.setAutoFillBackground(false);
    label.installEventFilter(this);
}

void QtDialogWindow::accept() {
    m_dialog.OnOK();
}

void QtDialogWindow::reject() {
    m_dialog.OnCancel();
}

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QWidget*>(watched);
    if (label && label->parent() == this) {
        OnLinkEvent(*label, *event);
    }
    return QDialog::eventFilter(watched, event);
}

// A disabled link is text without a target. It gets no Leave the dialog would hear of, so disabling
// the link under the mouse ends its hover there and then; else it would stay highlighted.
void QtDialogWindow::OnLinkEvent(QWidget& label, const QEvent& event) {
    const int id = ControlId(label);
    switch (event.type()) {
        case QEvent::Enter:
            if (label.isEnabled()) {
                m_nHoveredLink = id;
                m_dialog.OnMouseHover(id, true);
            }
            break;
        case QEvent::Leave:
        case QEvent::EnabledChange:
            if (m_nHoveredLink == id && (event.type() == QEvent::Leave || !label.isEnabled())) {
                m_nHoveredLink = 0;
                m_dialog.OnMouseHover(id, false);
            }
            break;
        case QEvent::MouseButtonRelease: {
            const auto& mouse = static_cast<const QMouseEvent&>(event);
            if (label.isEnabled() && mouse.button() == Qt::LeftButton &&
                label.rect().contains(mouse.position().toPoint())) {
                m_dialog.OnCommand(id);
            }
            break;
        }
        default:
            break;
    }
}

// The platform has no window menu of ours to extend, so its entries live in the window's context
// menu: a right click anywhere on the window.
void QtDialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_systemMenu.isEmpty()) {
        m_systemMenu.exec(event->globalPos());
    }
}

void QtDialogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_dialogStyle & LUMIKARTA_DIALOG_SET_FOREGROUND) {
        activateWindow();
    }
}
