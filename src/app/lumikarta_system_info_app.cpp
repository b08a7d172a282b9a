#include "app/lumikarta_system_info_app.h"

#include "core/language.h"
#include "dialogs/dialog_host.h"
#include "dialogs/lumikarta_system_info_dlg.h"
#include "faqdata/faq_store.h"

CLumikartaSystemInfoApp::CLumikartaSystemInfoApp(std::filesystem::path programFolder)
    : m_programFolder(std::move(programFolder)) {}

bool CLumikartaSystemInfoApp::InitInstance() {
    const int language = DecideLanguage();
    ApplyLanguage(language, m_programFolder);
    {
        CLumikartaSystemInfoDlg dialog(CreateMainWindowHost());
        dialog.m_nLanguage = language;
        RunMainWindow(dialog);
    }
    CFAQStore::DestroyInstance();
    return false;
}

std::unique_ptr<CDialogHost> CLumikartaSystemInfoApp::CreateMainWindowHost() {
    return CreateTopLevelDialogHost();
}

void CLumikartaSystemInfoApp::RunMainWindow(CLumikartaSystemInfoDlg& dialog) {
    dialog.DoModal();
}
