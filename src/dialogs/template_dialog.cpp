#include "dialogs/template_dialog.h"

#include "res/control_ids.h"

CTemplateDialog::CTemplateDialog(uint32_t templateId, std::unique_ptr<CDialogHost> host)
    : m_templateId(templateId), m_pHost(std::move(host)) {}

void CTemplateDialog::EndDialog(int result) {
    m_bEnded = true;
    m_nResult = result;
    m_pHost->EndDialog(result);
}

bool CTemplateDialog::InitDialog() {
    if (!m_bInitialized) {
        m_bInitialized = true;
        m_bInitResult = OnInitDialog();
    }
    return m_bInitResult;
}

void CTemplateDialog::OnOK() {
    EndDialog(IDOK);
}

void CTemplateDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CTemplateDialog::OnCommand(int id) {
    if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    }
}
