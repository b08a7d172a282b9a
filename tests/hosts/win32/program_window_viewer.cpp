// Opens one of the program's windows beyond the main window on this computer's facts, as the main
// window would, until it is closed: for pictures of the Windows build (scripts/windows-screenshots.sh).
//   program_window_viewer.exe support|updates|download [DOWNLOAD_URL]
// The update list reads LUMIKARTA_UPDATE_URL; the download fetches DOWNLOAD_URL into the temporary
// folder.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/language.h"
#include "dialogs/send_dialog.h"
#include "dialogs/update_box.h"
#include "dialogs/update_download_dialog.h"
#include "faqdata/faq_store.h"
#include "platform/program_path.h"
#include "platform/web_addresses.h"

int main(int argc, char** argv) {
    const std::string window = argc >= 2 ? argv[1] : "";
    if (window != "support" && window != "updates" && !(window == "download" && argc == 3)) {
        std::fputs("usage: program_window_viewer support|updates|download [DOWNLOAD_URL]\n", stderr);
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const int language = DecideLanguage();
    ApplyLanguage(language, platform::ProgramFile().parent_path());
    CFAQStore::Instance()->LoadCache();
    if (window == "support") {
        CSystemInfo info;
        info.CollectAll();
        CSendDialog form(info, CreateTopLevelDialogHost());
        form.m_nLanguage = language;
        form.DoModal();
    } else if (window == "updates") {
        CUpdateBox list(CreateTopLevelDialogHost());
        list.m_strDefinitionUrl = UpdateDefinitionUrl();
        list.DoModal();
    } else {
        CUpdateDownloadDialog1 download(CreateTopLevelDialogHost());
        download.m_job.m_strUrl = argv[2];
        download.m_job.m_strTargetPath =
            (std::filesystem::temp_directory_path() / "update.download").string();
        download.DoModal();
    }
    CFAQStore::DestroyInstance();
    CoUninitialize();
    return 0;
}
