#include "support/send_dialog.h"

#include <QApplication>

#include "common/info_fields.h"
#include "common/line_edit_text.h"
#include "common/list_controls.h"
#include "common/message_box.h"
#include "faqdata/faq_store.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "support/support_call.h"

namespace {

constexpr int kTelephoneMaxLength = 20;

std::string ComboText(const QComboBox& combo) {
    return combo.currentText().toStdString();
}

}  // namespace

CSendDialog::CSendDialog(const CSystemInfo& sysInfo, QWidget* pParent)
    : CTemplateDialog(IDD_SENDDIALOG, pParent), m_SysInfo(sysInfo) {
    BindControls();
}

void CSendDialog::BindControls() {
    using namespace send_dialog;
    m_btnSend = Bind<QPushButton>(kSend);
    m_comboProduct = Bind<QComboBox>(kProduct);
    m_editProductVersion = Bind<QLineEdit>(kProductVersion);
    m_comboSubject = Bind<QComboBox>(kProblemType);
    m_editDescription = Bind<QPlainTextEdit>(kDescription);
    m_comboSalutation = Bind<QComboBox>(kSalutation);
    m_editFirstname = Bind<QLineEdit>(kFirstName);
    m_editSurname = Bind<QLineEdit>(kSurname);
    m_editCompany = Bind<QLineEdit>(kCompany);
    m_editStreet = Bind<QLineEdit>(kStreet);
    m_editZipCode = Bind<QLineEdit>(kPostcode);
    m_editCity = Bind<QLineEdit>(kCity);
    m_editCountry = Bind<QLineEdit>(kCountry);
    m_editEMail = Bind<QLineEdit>(kEmail);
    m_editTelephone = Bind<QLineEdit>(kPhone);
    m_editGraphics = Bind<QLineEdit>(kGraphics);
    m_editDriver = Bind<QLineEdit>(kDriver);
    m_editOS = Bind<QLineEdit>(kOS);
    m_comboPrinter = Bind<QComboBox>(kPrinter);
    m_editPDA = Bind<QLineEdit>(kPDA);
    m_editCPU = Bind<QLineEdit>(kCPU);
    m_editRAM = Bind<QLineEdit>(kRAM);
    m_editKettlerDevice = Bind<QLineEdit>(kKettlerDevice);
    m_editKettlerDeviceID = Bind<QLineEdit>(kKettlerDeviceId);

    connect(m_btnSend, &QPushButton::clicked, this, [this] { OnSend(); });
    // Only a choice from the list, not typing into the box's field.
    connect(m_comboProduct, &QComboBox::activated, this, [this] { OnProductChanged(); });
}

bool CSendDialog::OnInitDialog() {
    MakeMandatoryLabelsBold();
    m_editTelephone->setMaxLength(kTelephoneMaxLength);
    FillProducts();
    FillPrinters();
    m_comboSalutation->setCurrentIndex(0);

    ShowInfoLines(m_SysInfo, {m_editCPU, m_editRAM, m_editGraphics, m_editDriver, m_editOS});

    FillSubjects();
    m_btnSend->setFocus();
    return true;
}

void CSendDialog::MakeMandatoryLabelsBold() {
    using namespace send_dialog;
    m_fontBold = Bind<QLabel>(kNameLabel)->font();
    m_fontBold.setWeight(QFont::Bold);
    for (const int id : {kNameLabel, kDescriptionLabel, kProductLabel, kEmailLabel, kProductVersionLabel,
                         kProblemTypeLabel}) {
        Bind<QLabel>(id)->setFont(m_fontBold);
    }
}

void CSendDialog::FillProducts() {
    for (const ProductInfo& product : m_SysInfo.m_Products) {
        m_versions.push_back(product.m_strVersion);
        AddString(*m_comboProduct, QString::fromStdString(product.m_strName));
    }
    if (m_comboProduct->count() > 0) {
        m_comboProduct->setCurrentIndex(0);
        m_editProductVersion->setText(QString::fromStdString(m_versions[0]));
    }
}

void CSendDialog::FillPrinters() {
    m_comboPrinter->clear();
    for (const std::string& printer : m_SysInfo.m_Printers) {
        AddString(*m_comboPrinter, QString::fromStdString(printer));
    }
    if (m_comboPrinter->count() > 0) {
        m_comboPrinter->setCurrentIndex(0);
    }
}

void CSendDialog::FillSubjects() {
    m_comboSubject->clear();
    const std::string code = m_nLanguage == 0 ? "de" : "en";
    CFAQStore* store = CFAQStore::Instance();
    const int count = store->GetSubjectCount(code);
    for (int i = 0; i < count; ++i) {
        AddString(*m_comboSubject, QString::fromStdString(store->GetSubject(code, i)));
    }
}

void CSendDialog::OnProductChanged() {
    const int index = m_comboProduct->currentIndex();
    if (index >= 0 && static_cast<std::size_t>(index) < m_versions.size()) {
        m_editProductVersion->setText(QString::fromStdString(m_versions[static_cast<std::size_t>(index)]));
    }
}

// A field counts as empty only without any character: a single blank passes.
bool CSendDialog::CheckMandatoryFields() {
    const QString email = m_editEMail->text();
    const struct {
        bool passes;
        StringId message;
    } checks[] = {
        {!m_comboProduct->currentText().isEmpty(), IDS_MISSING_PRODUCT},
        {!m_editProductVersion->text().isEmpty(), IDS_MISSING_VERSION},
        {!m_comboSubject->currentText().isEmpty(), IDS_MISSING_PROBLEM_TYPE},
        {!m_editDescription->toPlainText().isEmpty(), IDS_MISSING_DESCRIPTION},
        {!m_editFirstname->text().isEmpty(), IDS_MISSING_FIRST_NAME},
        {!m_editSurname->text().isEmpty(), IDS_MISSING_SURNAME},
        {email.contains('@') && email.contains('.'), IDS_INVALID_EMAIL},
    };
    for (const auto& check : checks) {
        if (!check.passes) {
            ShowMessageBox(this, LoadResString(check.message), MessageIcon::Exclamation);
            return false;
        }
    }
    return true;
}

void CSendDialog::OnSend() {
    if (CheckMandatoryFields() && SendSupportCall(TakeRequest())) {
        EndDialog(IDOK);
    }
}

SupportRequest CSendDialog::TakeRequest() const {
    SupportRequest request;
    request.product = ComboText(*m_comboProduct);
    request.productVersion = LineText(*m_editProductVersion);
    request.subject = ComboText(*m_comboSubject);
    request.description = m_editDescription->toPlainText().toStdString();
    request.graphic = LineText(*m_editGraphics);
    request.graphicDriverVersion = LineText(*m_editDriver);
    request.operatingSystem = LineText(*m_editOS);
    request.printer = ComboText(*m_comboPrinter);
    request.pda = LineText(*m_editPDA);
    request.cpu = LineText(*m_editCPU);
    request.ram = LineText(*m_editRAM);
    request.kettlerDevice = LineText(*m_editKettlerDevice);
    request.kettlerDeviceId = LineText(*m_editKettlerDeviceID);
    request.salutation = ComboText(*m_comboSalutation);
    request.firstName = LineText(*m_editFirstname);
    request.surname = LineText(*m_editSurname);
    request.company = LineText(*m_editCompany);
    request.street = LineText(*m_editStreet);
    request.zipCode = LineText(*m_editZipCode);
    request.city = LineText(*m_editCity);
    request.country = LineText(*m_editCountry);
    request.email = LineText(*m_editEMail);
    request.telephone = LineText(*m_editTelephone);
    request.language = m_nLanguage;
    return request;
}

bool CSendDialog::SendSupportCall(const SupportRequest& request) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SupportCallOutcome outcome = PostSupportCall(request, m_SysInfo.BuildReport());
    QApplication::restoreOverrideCursor();
    switch (outcome.kind) {
        case SupportCallOutcome::Kind::Succeeded:
            ShowMessageBox(this, LoadResString(IDS_SEND_SUCCEEDED), MessageIcon::Information);
            return true;
        case SupportCallOutcome::Kind::Refused:
            ShowMessageBox(
                this,
                FormatRefusal(LoadResString(IDS_SEND_REFUSED), outcome.resultCode, outcome.resultString),
                MessageIcon::None);
            return false;
        case SupportCallOutcome::Kind::NoConnection:
            break;
    }
    ShowMessageBox(this, LoadResString(IDS_NO_CONNECTION), MessageIcon::Stop);
    return false;
}
