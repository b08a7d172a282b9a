#pragma once

#include <QDialog>
#include <QMenu>
#include <cstdint>
#include <string>

#include "hosts/qt/qt_notice_queue.h"

#include "res/resource_table.h"

class CTemplateDialog;

// The Qt window of one dialog: built from its template, and the one place where the window's events
// and its controls' signals become the dialog's handler calls.
class QtDialogWindow final : public QDialog {
public:
    QtDialogWindow(CTemplateDialog& dialog, const LumikartaDialogTemplate* dialogTemplate, QWidget* owner);

    void AddSystemMenuItem(int commandId, const QString& text);
    // From any thread: the dialog's OnNotice runs later on this window's thread.
    void PostNotice(int notice, std::string payload) { m_notices.Post(notice, std::move(payload)); }
    // The label reports clicks and the mouse entering and leaving it while it is enabled.
    void MakeLink(QWidget& label);

    // The Return key without a default button, and the Escape key and close box.
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ConnectControls();
    void OnLinkEvent(QWidget& label, const QEvent& event);

    CTemplateDialog& m_dialog;
    QMenu m_systemMenu;
    uint32_t m_dialogStyle = 0;
    // The link the dialog was last told the mouse is over; 0 for none.
    int m_nHoveredLink = 0;
    QtNoticeQueue m_notices;
};
