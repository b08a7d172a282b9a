#include "common/qt_template_dialog.h"

#include <QPushButton>

#include "res/resources.h"

CTemplateDialog::CTemplateDialog(uint32_t templateId, QWidget* pParent) : QDialog(pParent) {
    if (const LumikartaDialogTemplate* dialogTemplate = LoadDialogTemplate(templateId)) {
        BuildDialog(*this, *dialogTemplate);
        m_dialogStyle = dialogTemplate->style;
    }
    if (auto* ok = FindControl<QPushButton>(*this, IDOK)) {
        connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    }
    if (auto* cancel = FindControl<QPushButton>(*this, IDCANCEL)) {
        connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    }
}

int CTemplateDialog::DoModal() {
    Initialize();
    return m_bEnded ? result() : exec();
}

void CTemplateDialog::Initialize() {
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
}

void CTemplateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_dialogStyle & LUMIKARTA_DIALOG_SET_FOREGROUND) {
        activateWindow();
    }
}
