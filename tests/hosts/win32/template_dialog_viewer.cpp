// Shows one dialog template of one language as a Win32 dialog until it is closed, for pictures of
// the templates (scripts/windows-dialog-pictures.sh).
//   template_dialog_viewer.exe de|en TEMPLATE_ID
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hosts/win32/template_dialog_win32.h"
#include "platform/program_path.h"
#include "res/resource_library.h"
#include "res/resources.h"

namespace {

// The dialog manager shows a modal dialog by itself and turns the close box into IDCANCEL.
INT_PTR CALLBACK ViewerProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 0);
    }
    return message == WM_INITDIALOG;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "de") != 0 && std::strcmp(argv[1], "en") != 0)) {
        std::fputs("usage: template_dialog_viewer de|en TEMPLATE_ID\n", stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "en") == 0) {
        const LumikartaResourceTable* english =
            LoadEnglishResourceLibrary(platform::ProgramFile().parent_path());
        if (english == nullptr) {
            std::fputs("template_dialog_viewer: the English library is not beside the program\n", stderr);
            return 1;
        }
        UseResources(*english);
    }
    const LumikartaDialogTemplate* dialogTemplate =
        LoadDialogTemplate(static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)));
    if (dialogTemplate == nullptr) {
        std::fprintf(stderr, "template_dialog_viewer: no template %s\n", argv[2]);
        return 1;
    }
    return RunTemplateDialog(*dialogTemplate, nullptr, ViewerProcedure, 0) == -1 ? 1 : 0;
}
