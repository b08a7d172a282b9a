#include "dialogs/send_dialog.h"

#include "dialogs/info_fields.h"
#include "faqdata/faq_store.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "support/support_call.h"

using namespace send_dialog;

namespace {

constexpr int kTelephoneMaxLength = 20;

}  // namespace

CSendDialog::CSendDialog(const CSystemInfo& sysInfo, std::unique_ptr<CDialogHost> host)
    : CTemplateDialog(IDD_SENDDIALOG, std::move(host)), m_SysInfo(sysInfo) {}

bool CSendDialog::OnInitDialog() {
    MakeMandatoryLabelsBold();
    Host().LimitText(kPhone, kTelephoneMaxLength);
    FillProducts();
    FillPrinters();
    Host().Select(kSalutation, 0);

    ShowInfoLines(m_SysInfo, Host(), {kCPU, kRAM, kGraphics, kDriver, kOS});

    FillSubjects();
    Host().SetFocus(kSend);
    return true;
}

void CSendDialog::OnCommand(int id) {
    if (id == kSend) {
        OnSend();
    } else {
        CTemplateDialog::OnCommand(id);
    }
}

void CSendDialog::OnSelChange(int id) {
    if (id == kProduct) {
        OnProductChanged();
    }
}

void CSendDialog::MakeMandatoryLabelsBold() {
    for (const int id : {kNameLabel, kDescriptionLabel, kProductLabel, kEmailLabel, kProductVersionLabel,
                         kProblemTypeLabel}) {
        Host().SetFontStyle(id, FontStyle::Bold);
    }
}

void CSendDialog::FillProducts() {
    for (const ProductInfo& product : m_SysInfo.m_Products) {
        m_versions.push_back(product.m_strVersion);
        Host().AddItem(kProduct, product.m_strName);
    }
    if (Host().ItemCount(kProduct) > 0) {
        Host().Select(kProduct, 0);
        Host().SetText(kProductVersion, m_versions[0]);
    }
}

void CSendDialog::FillPrinters() {
    Host().ClearItems(kPrinter);
    for (const std::string& printer : m_SysInfo.m_Printers) {
        Host().AddItem(kPrinter, printer);
    }
    if (Host().ItemCount(kPrinter) > 0) {
        Host().Select(kPrinter, 0);
    }
}

void CSendDialog::FillSubjects() {
    Host().ClearItems(kProblemType);
    const std::string code = m_nLanguage == 0 ? "de" : "en";
    CFAQStore* store = CFAQStore::Instance();
    const int count = store->GetSubjectCount(code);
    for (int i = 0; i < count; ++i) {
        Host().AddItem(kProblemType, store->GetSubject(code, i));
    }
}

void CSendDialog::OnProductChanged() {
    const int index = Host().Selection(kProduct);
    if (index >= 0 && static_cast<std::size_t>(index) < m_versions.size()) {
        Host().SetText(kProductVersion, m_versions[static_cast<std::size_t>(index)]);
    }
}

// A field counts as empty only without any character: a single blank passes.
bool CSendDialog::CheckMandatoryFields() {
    const std::string email = Host().GetText(kEmail);
    const struct {
        bool passes;
        StringId message;
    } checks[] = {
        {!Host().GetText(kProduct).empty(), IDS_MISSING_PRODUCT},
        {!Host().GetText(kProductVersion).empty(), IDS_MISSING_VERSION},
        {!Host().GetText(kProblemType).empty(), IDS_MISSING_PROBLEM_TYPE},
        {!Host().GetText(kDescription).empty(), IDS_MISSING_DESCRIPTION},
        {!Host().GetText(kFirstName).empty(), IDS_MISSING_FIRST_NAME},
        {!Host().GetText(kSurname).empty(), IDS_MISSING_SURNAME},
        {email.find('@') != std::string::npos && email.find('.') != std::string::npos, IDS_INVALID_EMAIL},
    };
    for (const auto& check : checks) {
        if (!check.passes) {
            Host().ShowMessage(LoadResString(check.message), MessageIcon::Exclamation, MessageButtons::Ok);
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

SupportRequest CSendDialog::TakeRequest() {
    CDialogHost& host = Host();
    SupportRequest request;
    request.product = host.GetText(kProduct);
    request.productVersion = host.GetText(kProductVersion);
    request.subject = host.GetText(kProblemType);
    request.description = host.GetText(kDescription);
    request.graphic = host.GetText(kGraphics);
    request.graphicDriverVersion = host.GetText(kDriver);
    request.operatingSystem = host.GetText(kOS);
    request.printer = host.GetText(kPrinter);
    request.pda = host.GetText(kPDA);
    request.cpu = host.GetText(kCPU);
    request.ram = host.GetText(kRAM);
    request.kettlerDevice = host.GetText(kKettlerDevice);
    request.kettlerDeviceId = host.GetText(kKettlerDeviceId);
    request.salutation = host.GetText(kSalutation);
    request.firstName = host.GetText(kFirstName);
    request.surname = host.GetText(kSurname);
    request.company = host.GetText(kCompany);
    request.street = host.GetText(kStreet);
    request.zipCode = host.GetText(kPostcode);
    request.city = host.GetText(kCity);
    request.country = host.GetText(kCountry);
    request.email = host.GetText(kEmail);
    request.telephone = host.GetText(kPhone);
    request.language = m_nLanguage;
    return request;
}

// The window stays painted but takes no input while the service is asked.
bool CSendDialog::SendSupportCall(const SupportRequest& request) {
    SupportCallOutcome outcome;
    const std::string report = m_SysInfo.BuildReport();
    Host().RunBlocking([&] { outcome = PostSupportCall(request, report); });
    switch (outcome.kind) {
        case SupportCallOutcome::Kind::Succeeded:
            Host().ShowMessage(LoadResString(IDS_SEND_SUCCEEDED), MessageIcon::Information,
                               MessageButtons::Ok);
            return true;
        case SupportCallOutcome::Kind::Refused:
            Host().ShowMessage(
                FormatRefusal(LoadResString(IDS_SEND_REFUSED), outcome.resultCode, outcome.resultString),
                MessageIcon::None, MessageButtons::Ok);
            return false;
        case SupportCallOutcome::Kind::NoConnection:
            break;
    }
    Host().ShowMessage(LoadResString(IDS_NO_CONNECTION), MessageIcon::Stop, MessageButtons::Ok);
    return false;
}
