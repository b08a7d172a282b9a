#include "app/lumikarta_system_info_app.h"

#include "app/language.h"
#include "app/lumikarta_system_info_dlg.h"
#include "faqdata/faq_store.h"

namespace {

CLumikartaSystemInfoDlg* g_pMainWnd = nullptr;

}  // namespace

CLumikartaSystemInfoApp::CLumikartaSystemInfoApp(std::filesystem::path programFolder)
    : m_programFolder(std::move(programFolder)) {}

CLumikartaSystemInfoDlg* CLumikartaSystemInfoApp::MainWindow() {
    return g_pMainWnd;
}

bool CLumikartaSystemInfoApp::InitInstance() {
    const int language = DecideLanguage();
    ApplyLanguage(language, m_programFolder);
    CFAQStore::Instance()->LoadCache();
    {
        CLumikartaSystemInfoDlg dialog;
        g_pMainWnd = &dialog;
        dialog.m_nLanguage = language;
        RunMainWindow(dialog);
        g_pMainWnd = nullptr;
        CFAQStore::DestroyInstance();
    }
    return false;
}

void CLumikartaSystemInfoApp::RunMainWindow(CLumikartaSystemInfoDlg& dialog) {
    dialog.DoModal();
}
