#include "dialogs/lumikarta_system_info_dlg.h"

#include <system_error>

#include "core/language.h"
#include "dialogs/about_dlg.h"
#include "dialogs/info_fields.h"
#include "dialogs/send_dialog.h"
#include "dialogs/update_box.h"
#include "faqdata/faq_store.h"
#include "platform/web_addresses.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "sysinfo/info_lines.h"

using namespace main_window;

CLumikartaSystemInfoDlg::CLumikartaSystemInfoDlg(std::unique_ptr<CDialogHost> host)
    : CTemplateDialog(IDD_LUMIKARTASYSTEMINFO_DIALOG, std::move(host)), m_collectFacts([](CSystemInfo& info) {
          info.CollectAll();
          CFAQStore::Instance()->LoadCache();
      }) {}

bool CLumikartaSystemInfoDlg::OnInitDialog() {
    m_linkFAQ.AttachToLabel(kFAQ, Host());
    const std::string aboutText = LoadResString(IDS_ABOUTBOX);
    if (!aboutText.empty()) {
        Host().AddSystemMenuItem(IDM_ABOUTBOX, aboutText);
    }
    Host().SetIcon(IDR_MAINFRAME);
    m_linkFAQ.SetURL(FaqPageUrl());
    m_nKeptLanguage = m_nLanguage >= 0 && m_nLanguage < Host().ItemCount(kLanguage) ? m_nLanguage : -1;
    Host().Select(kLanguage, m_nKeptLanguage);
    // Under Wine the graphics adapter's query alone takes the better part of a second, and the FAQ
    // cache's parser brings the shell and the web libraries with it; so the window does not wait for
    // them: the two buttons that hand them on wait instead. The thread starts once the window is
    // painted, as the query's start (Wine sets up Direct3D for it) slowed the first painting.
    Host().Enable(kCopyInfo, false);
    Host().Enable(kSupport, false);
    Host().PostNoticeWhenIdle(kStartCollecting);
    return true;
}

void CLumikartaSystemInfoDlg::StartCollecting() {
    try {
        m_collector = std::jthread([this] {
            m_collectFacts(m_SysInfo);
            Host().PostNotice(kFactsCollected, {});
        });
    } catch (const std::system_error&) {
        // No thread to be had: the facts are collected here, before the window takes input.
        m_collectFacts(m_SysInfo);
        OnFactsCollected();
    }
}

void CLumikartaSystemInfoDlg::OnNotice(int notice, const std::string& /*payload*/) {
    if (notice == kStartCollecting) {
        StartCollecting();
    } else if (notice == kFactsCollected) {
        OnFactsCollected();
    }
}

// The join is what makes the collecting thread's writes to m_SysInfo visible here.
void CLumikartaSystemInfoDlg::OnFactsCollected() {
    if (m_collector.joinable()) {
        m_collector.join();
    }
    ShowFacts();
    m_bFactsShown = true;
    Host().Enable(kCopyInfo, true);
    Host().Enable(kSupport, true);
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

// The buttons are disabled until the facts are shown; the checks keep it so should a host deliver a
// click anyway (a key for a disabled button).
void CLumikartaSystemInfoDlg::OnCopyInfo() {
    if (!m_bFactsShown) {
        return;
    }
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
    if (!m_bFactsShown) {
        return;
    }
    CSendDialog dialog(m_SysInfo, Host().CreateChildHost());
    dialog.m_nLanguage = m_nLanguage;
    dialog.DoModal();
}

void CLumikartaSystemInfoDlg::OnUpdates() {
    CUpdateBox dialog(Host().CreateChildHost());
    dialog.m_strDefinitionUrl = UpdateDefinitionUrl();
    dialog.DoModal();
}
