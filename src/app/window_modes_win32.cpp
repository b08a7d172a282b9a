#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>

#include "app/lumikarta_system_info_app.h"
#include "app/window_modes.h"
#include "platform/program_path.h"

int RunWindowMode(int, char**) {
    // The XML parser and the shell's dialogs are COM objects that expect a single-threaded apartment
    // on the thread that owns the windows.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX),
                                           ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CLumikartaSystemInfoApp(platform::ProgramFile().parent_path()).InitInstance();
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 0;
}

// The pictures of the Windows windows are taken of the real windows (scripts/windows-screenshots.sh);
// rendering without a display is the Qt host's.
int RunScreenshotMode(int, char**, const std::string&) {
    std::fputs("LumikartaSystemInfo: --screenshot is not available in the Windows build\n", stderr);
    return 2;
}
