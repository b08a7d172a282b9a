#pragma once

#include <string>
#include <vector>

#include "dialogs/template_dialog.h"
#include "support/support_request.h"
#include "sysinfo/system_info.h"

// The support request form: filled with what the collected facts know, completed by the user,
// checked and sent to the support web service. A failed send keeps every entry.
class CSendDialog : public CTemplateDialog {
public:
    // sysInfo: the facts the main window collected; they outlive the form.
    CSendDialog(const CSystemInfo& sysInfo, std::unique_ptr<CDialogHost> host);

    // 0 German, 1 English: chooses the subject list and the language the request is handled in.
    int m_nLanguage = 0;

    void OnCommand(int id) override;
    void OnSelChange(int id) override;
    // No way closes the form with OK but a checked, successful send.
    void OnOK() override { OnSend(); }

    void OnProductChanged();
    // Checks the mandatory fields, one message for the first that fails; sends when all pass and
    // closes with OK after a successful send.
    void OnSend();
    // Shows the one message of the outcome; true when the service accepted the request.
    bool SendSupportCall(const SupportRequest& request);

protected:
    bool OnInitDialog() override;

private:
    void MakeMandatoryLabelsBold();
    void FillProducts();
    void FillPrinters();
    void FillSubjects();
    bool CheckMandatoryFields();
    SupportRequest TakeRequest();

    const CSystemInfo& m_SysInfo;
    std::vector<std::string> m_versions;
};
