#include "dialogs/lumikarta_system_info_dlg.h"

#include "core/language.h"
#include "dialogs/about_dlg.h"
#include "dialogs/info_fields.h"
#include "dialogs/send_dialog.h"
#include "dialogs/update_box.h"
#include "platform/web_addresses.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "sysinfo/info_lines.h"

using namespace main_window;

CLumikartaSystemInfoDlg::CLumikartaSystemInfoDlg(std::unique_ptr<CDialogHost> host)
    : CTemplateDialog(IDD_LUMIKARTASYSTEMINFO_DIALOG, std::move(host)) {}

bool CLumikartaSystemInfoDlg::OnInitDialog() {
    m_linkFAQ.AttachToLabel(kFAQ, Host());
    const std::string aboutText = LoadResString(IDS_ABOUTBOX);
    if (!aboutText.empty()) {
        Host().AddSystemMenuItem(IDM_ABOUTBOX, aboutText);
    }
    Host().SetIcon(IDR_MAINFRAME);
    Host().ShowDialog();
    CollectSystemInfo();
    m_linkFAQ.SetURL(FaqPageUrl());
    ShowFacts();
    m_nKeptLanguage = m_nLanguage >= 0 && m_nLanguage < Host().ItemCount(kLanguage) ? m_nLanguage : -1;
    Host().Select(kLanguage, m_nKeptLanguage);
    return true;
}

void CLumikartaSystemInfoDlg::CollectSystemInfo() {
    m_SysInfo.CollectAll();
}

void CLumikartaSystemInfoDlg::ShowFacts() {
    ShowInfoLines(m_SysInfo, Host(), {kCPU, kRAM, kGraphics, kDriver, kOS});
    for (const ProductInfo& product : m_SysInfo.m_Products) {
        Host().AddItem(kProducts, product.m_strName);
    }
    for (const std::string& printer : m_SysInfo.m_Printers) {
        Host().AddItem(kPrinters, printer);
    }
}

void CLumikartaSystemInfoDlg::OnCommand(int id) {
    switch (id) {
        case kUpdates:
            OnUpdates();
            break;
        case kSupport:
            OnSupport();
            break;
        case kCopyInfo:
            OnCopyInfo();
            break;
        case kFAQ:
            m_linkFAQ.OnClicked();
            break;
        default:
            CTemplateDialog::OnCommand(id);
    }
}

void CLumikartaSystemInfoDlg::OnSelChange(int id) {
    if (id == kLanguage) {
        OnLanguageChanged();
    }
}

void CLumikartaSystemInfoDlg::OnMouseHover(int id, bool over) {
    if (id == kFAQ) {
        m_linkFAQ.OnMouseHover(over);
    }
}

void CLumikartaSystemInfoDlg::OnSysCommand(int commandId) {
    if ((commandId & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(Host().CreateChildHost());
        about.DoModal();
    }
}

void CLumikartaSystemInfoDlg::OnCopyInfo() {
    const InfoLines lines{Host().GetText(kCPU), Host().GetText(kRAM), Host().GetText(kGraphics),
                          Host().GetText(kDriver), Host().GetText(kOS)};
    Host().CopyToClipboard(CopyInfoText(lines, "\r\n"));
}

// A restart after a choice that could not be stored would come back in the old language, so none is
// offered then, and the box shows the language the program keeps.
void CLumikartaSystemInfoDlg::OnLanguageChanged() {
    const int chosen = Host().Selection(kLanguage);
    if (!StoreLanguage(chosen)) {
        Host().Select(kLanguage, m_nKeptLanguage);
        Host().ShowMessage(LoadResString(IDS_LANGUAGE_NOT_STORED), MessageIcon::Stop, MessageButtons::Ok);
        return;
    }
    m_nKeptLanguage = chosen;
    if (Host().ShowMessage(LoadResString(IDS_RESTART_QUESTION), MessageIcon::Question,
                           MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    Host().RestartProgram();
    EndDialog(0);
}

void CLumikartaSystemInfoDlg::OnSupport() {
    CSendDialog dialog(m_SysInfo, Host().CreateChildHost());
    dialog.m_nLanguage = m_nLanguage;
    dialog.DoModal();
}

void CLumikartaSystemInfoDlg::OnUpdates() {
    CUpdateBox dialog(Host().CreateChildHost());
    dialog.m_strDefinitionUrl = UpdateDefinitionUrl();
    dialog.DoModal();
}
