#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "platform/downloads_folder.h"
#include "platform/system_function_windows.h"
#include "platform/wide_text_windows.h"

namespace platform {

// The known folder the user may have moved anywhere. Before Vista there is none, and the documents
// folder is where downloads went.
std::string DownloadsFolder() {
    using KnownFolderPathFunction = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    if (const auto knownFolderPath =
            SystemFunction<KnownFolderPathFunction>(L"shell32.dll", "SHGetKnownFolderPath")) {
        PWSTR path = nullptr;
        const HRESULT result = knownFolderPath(FOLDERID_Downloads, 0, nullptr, &path);
        const std::string folder = SUCCEEDED(result) ? Utf8FromWide(path) : std::string();
        CoTaskMemFree(path);
        return folder;
    }
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents))) {
        return {};
    }
    return Utf8FromWide(documents);
}

}  // namespace platform
