#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <process.h>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "dialogs/lumikarta_system_info_dlg.h"
#include "dialogs/update_box.h"
#include "dialogs/update_download_dialog.h"
#include "helpers/signing_material.h"
#include "helpers/temp_dir.h"
#include "hosts/win32/win32_dialog_host.h"
#include "platform/program_path.h"
#include "platform/wide_text_windows.h"
#include "res/control_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"

// The program's own dialogs on the Win32 host, driven as a user drives them: through the dialog
// manager, the system menu and the boxes they open. What the dialogs decide is tested once against
// the recording host; this is about what the native windows add.
namespace {

// Read without a message to the window's thread, which may be waiting for this one.
std::string StoredText(HWND window) {
    wchar_t text[512] = {};
    InternalGetWindowText(window, text, 512);
    return platform::Utf8FromWide(text);
}

// A box's caption, then the texts of its controls.
std::string Describe(HWND box) {
    std::string text = StoredText(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        text += "|" + StoredText(child);
    }
    return text;
}

// Answers every dialog box that shows over the owner (without one: every message box of the program)
// with the command, and keeps what each said: the boxes run modally on the thread under test.
class BoxAnswerer {
public:
    BoxAnswerer(HWND owner, int command)
        : m_thread([this, owner, command](const std::stop_token& stop) { Watch(stop, owner, command); }) {}
    std::vector<std::string> Seen() {
        m_thread.request_stop();
        m_thread.join();
        return m_seen;
    }

private:
    void Watch(const std::stop_token& stop, HWND owner, int command) {
        for (HWND lastBox = nullptr; !stop.stop_requested(); Sleep(20)) {
            HWND box = nullptr;
            while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
                const bool ours = owner != nullptr ? GetWindow(box, GW_OWNER) == owner
                                                   : StoredText(box) == "LumikartaSystemInfo";
                if (!ours || !IsWindowVisible(box)) {
                    continue;
                }
                if (box != lastBox) {
                    lastBox = box;
                    m_seen.push_back(Describe(box));
                }
                // Again each round: a box may not take a command posted while it is still being made.
                PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(command), 0);
            }
        }
    }

    std::vector<std::string> m_seen;
    std::jthread m_thread;
};

// Runs the dialog's messages as its modal run would, until the condition holds or a while has passed.
template <typename Condition>
bool PumpDialogUntil(HWND dialog, Condition done) {
    for (int round = 0; round < 500; ++round, Sleep(20)) {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            if (!IsDialogMessageW(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        if (done()) {
            return true;
        }
    }
    return false;
}

// The program's main window in a process other than the given one (and than this one).
HWND FindProgramWindow(DWORD notProcess) {
    for (int attempt = 0; attempt < 600; ++attempt, Sleep(50)) {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"#32770", L"Lumikarta - SystemInfo")) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != notProcess && process != GetCurrentProcessId() && IsWindowVisible(window)) {
                return window;
            }
        }
    }
    return nullptr;
}

// The real program: the About box from the system menu, and English, once chosen with the keyboard
// and answered with Yes, starts the program anew in English while the German one ends.
TEST(ProgramDialogsWin32, ProgramShowsAboutAndRestartsInTheChosenLanguage) {
    const std::wstring program =
        (platform::ProgramFile().parent_path() / "LumikartaSystemInfo.exe").wstring();
    const auto german = reinterpret_cast<HANDLE>(
        _wspawnl(_P_NOWAIT, program.c_str(), (L"\"" + program + L"\"").c_str(), nullptr));
    ASSERT_NE(german, INVALID_HANDLE_VALUE);
    HWND window = FindProgramWindow(0);
    ASSERT_NE(window, nullptr) << "the program showed no main window";
    BoxAnswerer aboutAnswerer(window, IDOK);
    SendMessageW(window, WM_SYSCOMMAND, CLumikartaSystemInfoDlg::IDM_ABOUTBOX, 0);
    const std::vector<std::string> about = aboutAnswerer.Seen();
    ASSERT_EQ(about.size(), 1u) << "the About box did not open, or more than it";
    EXPECT_NE(about[0].find("1.1.5"), std::string::npos) << about[0];

    // The question box belongs to the other process; the answerer looks at its owner only.
    BoxAnswerer answerer(window, IDYES);
    PostMessageW(GetDlgItem(window, main_window::kLanguage), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(WaitForSingleObject(german, 20000), WAIT_OBJECT_0) << "the German program did not end";
    EXPECT_EQ(answerer.Seen().size(), 1u);
    HWND english = FindProgramWindow(GetProcessId(german));
    CloseHandle(german);
    ASSERT_NE(english, nullptr) << "no program started anew";
    EXPECT_NE(StoredText(GetDlgItem(english, main_window::kCopyInfo)), "Info kopieren");
    DWORD englishId = 0;
    GetWindowThreadProcessId(english, &englishId);
    HANDLE englishProcess = OpenProcess(SYNCHRONIZE, FALSE, englishId);
    PostMessageW(english, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(englishProcess, 10000), WAIT_OBJECT_0) << "the close box did not end it";
    CloseHandle(englishProcess);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Lumikarta\\Support und Update", L"Language");
}

TEST(ProgramDialogsWin32, UpdateListLoadsAndADownloadMovesItsBarUntilCancelled) {
    const char* service = std::getenv("LUMIKARTA_TEST_SLOW_SERVICE_URL");
    if (service == nullptr) {
        GTEST_SKIP() << "LUMIKARTA_TEST_SLOW_SERVICE_URL names no reference service with a slow download";
    }
    // The service signs with the key of scripts/wine-tests.sh, whose public half is trusted here;
    // the build's own keys are not that one.
    const std::optional<SigningMaterial> material = LoadSigningMaterial();
    ASSERT_TRUE(material) << "LUMIKARTA_TEST_SIGNING_DIR names no signing material";
    const std::string trusted[] = {material->signerPublicKey};
    BoxAnswerer errors(nullptr, IDOK);
    CUpdateBox missing(CreateTopLevelDialogHost());
    missing.m_strDefinitionUrl = std::string(service) + "/downloads/missing.xml";
    missing.m_trustedKeys = trusted;
    missing.Create();
    CUpdateBox foreign(CreateTopLevelDialogHost());
    foreign.m_strDefinitionUrl = std::string(service) + "/downloads/updates.xml";
    foreign.Create();
    // The sample machine's products are in the registry (scripts/wine-tests.sh imports them).
    CUpdateBox list(CreateTopLevelDialogHost());
    list.m_strDefinitionUrl = std::string(service) + "/downloads/updates.xml";
    list.m_trustedKeys = trusted;
    list.Create();
    const std::vector<std::string> boxes = errors.Seen();
    ASSERT_EQ(boxes.size(), 2u)
        << "an error box for the loaded list, or none for the missing or the foreign one";
    EXPECT_NE(boxes[0].find(LoadResString(IDS_DEFINITION_NOT_LOADED)), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[1].find(LoadResString(IDS_DEFINITION_NOT_SIGNED)), std::string::npos) << boxes[1];
    EXPECT_GE(list.Host().ItemCount(update_box::kUpdates), 1);

    const TempDir folder;
    CUpdateDownloadDialog1 download(list.Host().CreateChildHost());
    download.m_job.m_strUrl = std::string(service) + "/downloads/TopoKarte-Update-310.sh";
    download.m_job.m_strTargetPath = folder.FilePath("update.sh");
    download.Create();
    HWND window = static_cast<CWin32DialogHost&>(download.Host()).Window();
    const auto position = [&] {
        return SendDlgItemMessageW(window, download_dialog::kProgress, PBM_GETPOS, 0, 0);
    };
    ASSERT_TRUE(PumpDialogUntil(window, [&] { return position() > 0; })) << "the bar did not move";
    const LRESULT first = position();
    EXPECT_TRUE(PumpDialogUntil(window, [&] { return position() > first; })) << "the bar stopped";
    EXPECT_LT(position(), 100) << "the download was done before it could be cancelled";

    SendDlgItemMessageW(window, download_dialog::kCancel, BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpDialogUntil(window, [&] { return download.Ended(); }));
    EXPECT_FALSE(std::filesystem::exists(folder.FilePath("update.sh")));
}

}  // namespace
