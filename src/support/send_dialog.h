#pragma once

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "common/qt_template_dialog.h"
#include "support/support_request.h"
#include "sysinfo/system_info.h"

// The support request form: filled with what the collected facts know, completed by the user,
// checked and sent to the support web service. A failed send keeps every entry.
class CSendDialog : public CTemplateDialog {
    Q_OBJECT

public:
    // sysInfo: the facts the main window collected; they outlive the form.
    CSendDialog(const CSystemInfo& sysInfo, QWidget* pParent = nullptr);

    // 0 German, 1 English: chooses the subject list and the language the request is handled in.
    int m_nLanguage = 0;

    void OnProductChanged();
    // Checks the mandatory fields, one message for the first that fails; sends when all pass and
    // closes with OK after a successful send.
    void OnSend();
    // Shows the one message of the outcome; true when the service accepted the request.
    bool SendSupportCall(const SupportRequest& request);

protected:
    bool OnInitDialog() override;
    // No way closes the form with OK but a checked, successful send.
    void OnOK() override { OnSend(); }

private:
    void BindControls();
    void MakeMandatoryLabelsBold();
    void FillProducts();
    void FillPrinters();
    void FillSubjects();
    bool CheckMandatoryFields();
    SupportRequest TakeRequest() const;

    const CSystemInfo& m_SysInfo;
    std::vector<std::string> m_versions;
    QFont m_fontBold;

    QPushButton* m_btnSend = nullptr;
    QComboBox* m_comboProduct = nullptr;
    QLineEdit* m_editProductVersion = nullptr;
    QComboBox* m_comboSubject = nullptr;
    QPlainTextEdit* m_editDescription = nullptr;
    QComboBox* m_comboSalutation = nullptr;
    QLineEdit* m_editFirstname = nullptr;
    QLineEdit* m_editSurname = nullptr;
    QLineEdit* m_editCompany = nullptr;
    QLineEdit* m_editStreet = nullptr;
    QLineEdit* m_editZipCode = nullptr;
    QLineEdit* m_editCity = nullptr;
    QLineEdit* m_editCountry = nullptr;
    QLineEdit* m_editEMail = nullptr;
    QLineEdit* m_editTelephone = nullptr;
    QLineEdit* m_editGraphics = nullptr;
    QLineEdit* m_editDriver = nullptr;
    QLineEdit* m_editOS = nullptr;
    QComboBox* m_comboPrinter = nullptr;
    QLineEdit* m_editPDA = nullptr;
    QLineEdit* m_editCPU = nullptr;
    QLineEdit* m_editRAM = nullptr;
    QLineEdit* m_editKettlerDevice = nullptr;
    QLineEdit* m_editKettlerDeviceID = nullptr;
};
