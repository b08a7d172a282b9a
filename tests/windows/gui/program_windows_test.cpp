#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <process.h>
#include <cstdlib>
#include <filesystem>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "app/lumikarta_system_info_dlg.h"
#include "common/win32_dialog_host.h"
#include "platform/program_path.h"
#include "platform/wide_text_windows.h"
#include "res/control_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "support/send_dialog.h"
#include "support/temp_dir.h"
#include "update/update_box.h"
#include "update/update_download_dialog.h"

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

// A box's caption, then the texts of its labels.
std::string Describe(HWND box) {
    std::string text = StoredText(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        if (_wcsicmp(kind, L"Static") == 0 && !StoredText(child).empty()) {
            text += "|" + StoredText(child);
        }
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
    for (int round = 0; round < 500; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        if (done()) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

// A key as the keyboard sends it to the control with the focus, through the dialog manager.
void PressKey(HWND dialog, WPARAM key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    PumpDialogUntil(dialog, [] { return true; });
}

void Type(HWND dialog, const std::wstring& text) {
    for (const wchar_t character : text) {
        PostMessageW(GetFocus(), WM_CHAR, character, 1);
    }
    PumpDialogUntil(dialog, [] { return true; });
}

// The program's main window in a process other than the given one (and than this one).
HWND FindProgramWindow(DWORD notProcess) {
    for (int attempt = 0; attempt < 600; ++attempt) {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"#32770", L"Lumikarta - SystemInfo")) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != notProcess && process != GetCurrentProcessId() && IsWindowVisible(window)) {
                return window;
            }
        }
        Sleep(50);
    }
    return nullptr;
}

// The real program: the About box from the system menu, and English, once chosen and answered with
// Yes, starts the program anew in English while the German one ends.
TEST(ProgramWindows, ProgramShowsAboutAndRestartsInTheChosenLanguage) {
    const std::wstring program =
        (platform::ProgramFile().parent_path() / "LumikartaSystemInfo.exe").wstring();
    const auto german = reinterpret_cast<HANDLE>(
        _wspawnl(_P_NOWAIT, program.c_str(), (L"\"" + program + L"\"").c_str(), nullptr));
    ASSERT_NE(german, INVALID_HANDLE_VALUE);
    HWND window = FindProgramWindow(0);
    ASSERT_NE(window, nullptr) << "the program showed no main window";
    {
        BoxAnswerer about(window, IDOK);
        SendMessageW(window, WM_SYSCOMMAND, CLumikartaSystemInfoDlg::IDM_ABOUTBOX, 0);
        const std::vector<std::string> boxes = about.Seen();
        ASSERT_EQ(boxes.size(), 1u) << "the About box did not open, or more than it";
        EXPECT_NE(boxes[0].find("1.1.5"), std::string::npos) << boxes[0];
    }

    // The question box belongs to the other process; the answerer looks at its owner only.
    BoxAnswerer answerer(window, IDYES);
    HWND language = GetDlgItem(window, main_window::kLanguage);
    SendMessageW(language, CB_SETCURSEL, 1, 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(main_window::kLanguage, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(language));
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

TEST(ProgramWindows, SupportFormIsDrivenWithTheKeyboard) {
    CSystemInfo info;
    info.m_Products = {{"TopoKarte Deutschland", {}, "3.1.0"}};
    CSendDialog form(info, CreateTopLevelDialogHost());
    form.Create();
    HWND window = static_cast<CWin32DialogHost&>(form.Host()).Window();
    ASSERT_NE(window, nullptr);

    // The template's order, from the button that has the focus at the start.
    const int tabOrder[] = {send_dialog::kSend,        IDCANCEL,
                            send_dialog::kProduct,     send_dialog::kProductVersion,
                            send_dialog::kProblemType, send_dialog::kDescription};
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), send_dialog::kSend);
    for (std::size_t step = 1; step < std::size(tabOrder); ++step) {
        PressKey(window, VK_TAB);
        HWND focus = GetFocus();
        // A combo box with an edit field gives the focus to that field.
        const int id = GetDlgCtrlID(GetParent(focus)) == send_dialog::kProduct ? send_dialog::kProduct
                                                                               : GetDlgCtrlID(focus);
        EXPECT_EQ(id, tabOrder[step]) << "step " << step;
    }

    // Return in the description is a new line there; elsewhere it sends, which checks the form
    // first: without FAQ data there is no problem type.
    SendMessageW(window, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(window, send_dialog::kDescription)), TRUE);
    Type(window, L"Größe");
    PressKey(window, VK_RETURN);
    Type(window, L"fehlt");
    EXPECT_EQ(form.Host().GetText(send_dialog::kDescription), "Größe\nfehlt");
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, send_dialog::kSurname)),
                 TRUE);
    BoxAnswerer answerer(window, IDOK);
    PressKey(window, VK_RETURN);
    const std::vector<std::string> boxes = answerer.Seen();
    ASSERT_EQ(boxes.size(), 1u) << "Return did not send";
    EXPECT_NE(boxes[0].find(LoadResString(IDS_MISSING_PROBLEM_TYPE)), std::string::npos) << boxes[0];
    EXPECT_FALSE(form.Ended());
}

TEST(ProgramWindows, UpdateListLoadsAndADownloadMovesItsBarUntilCancelled) {
    const char* slowService = std::getenv("LUMIKARTA_TEST_SLOW_SERVICE_URL");
    if (slowService == nullptr) {
        GTEST_SKIP() << "LUMIKARTA_TEST_SLOW_SERVICE_URL names no reference service with a slow download";
    }
    const std::string service = slowService;
    BoxAnswerer errors(nullptr, IDOK);
    CUpdateBox missing(CreateTopLevelDialogHost());
    missing.m_strDefinitionUrl = service + "/downloads/missing.xml";
    missing.Create();
    EXPECT_TRUE(missing.Ended());
    // The sample machine's products are in the registry (scripts/wine-tests.sh imports them).
    CUpdateBox list(CreateTopLevelDialogHost());
    list.m_strDefinitionUrl = service + "/downloads/updates.xml";
    list.Create();
    const std::vector<std::string> boxes = errors.Seen();
    ASSERT_EQ(boxes.size(), 1u) << "an error box for the loaded list, or none for the missing one";
    EXPECT_NE(boxes[0].find(LoadResString(IDS_DEFINITION_NOT_LOADED)), std::string::npos) << boxes[0];
    ASSERT_FALSE(list.Ended());
    EXPECT_GE(list.Host().ItemCount(update_box::kUpdates), 1);

    const TempDir folder;
    CUpdateDownloadDialog1 download(list.Host().CreateChildHost());
    download.m_job.m_strUrl = service + "/downloads/TopoKarte-Update-310.sh";
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
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(std::filesystem::exists(folder.FilePath("update.sh")));
}

}  // namespace
