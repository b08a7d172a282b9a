#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
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
#include "support/scoped_env.h"
#include "support/send_dialog.h"
#include "support/temp_dir.h"
#include "update/update_box.h"
#include "update/update_download_dialog.h"

// The program's own dialogs on the Win32 host, driven as a user drives them: through the dialog
// manager, the system menu and the boxes they open. What the dialogs decide is tested once against
// the recording host; this is about what the native windows add.
namespace {

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return platform::Utf8FromWide(text);
}

void FillKnownComputer(CSystemInfo& info) {
    info.m_strCPUName = "Testprozessor Größe 3 GHz";
    info.m_strOS = "Windows 7 Professional";
    info.m_ullTotalPhys = 8ull << 30;
    info.m_Products = {{"TopoKarte Deutschland", {}, "3.1.0"}};
    info.m_Printers = {"Bürodrucker"};
}

class KnownComputerMainWindow : public CLumikartaSystemInfoDlg {
public:
    KnownComputerMainWindow() : CLumikartaSystemInfoDlg(CreateTopLevelDialogHost()) {}
    HWND Window() { return static_cast<CWin32DialogHost&>(Host()).Window(); }

protected:
    void CollectSystemInfo() override { FillKnownComputer(m_SysInfo); }
};

// Answers every dialog box that shows over the owner (without one: every message box of the program)
// with the command, and keeps its caption and texts: the boxes run modally on the thread under test.
class BoxAnswerer {
public:
    BoxAnswerer(HWND owner, int command) : m_thread([this, owner, command] { Watch(owner, command); }) {}
    ~BoxAnswerer() { Stop(); }
    // Stops watching and returns what the boxes said, one entry each: caption, then their labels.
    std::vector<std::string> Seen() {
        Stop();
        return m_seen;
    }

private:
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

private:
    void Watch(HWND owner, int command) {
        while (!m_stop) {
            HWND box = nullptr;
            while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
                const bool ours = owner != nullptr ? GetWindow(box, GW_OWNER) == owner
                                                   : StoredText(box) == "LumikartaSystemInfo";
                if (!ours || !IsWindowVisible(box)) {
                    continue;
                }
                if (box != m_lastBox) {
                    m_lastBox = box;
                    m_seen.push_back(Describe(box));
                }
                // Again each round: a box may not take a command posted while it is still being made.
                PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(command), 0);
            }
            Sleep(20);
        }
    }

    // Read without a message to the window's thread, which may be waiting for this one.
    static std::string StoredText(HWND window) {
        wchar_t text[512] = {};
        InternalGetWindowText(window, text, 512);
        return platform::Utf8FromWide(text);
    }

    static std::string Describe(HWND box) {
        std::string text = StoredText(box);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t kind[16] = {};
            GetClassNameW(child, kind, 16);
            if (_wcsicmp(kind, L"Static") == 0 && GetWindowTextLengthW(child) > 0) {
                text += "|" + StoredText(child);
            }
        }
        return text;
    }

    std::atomic<bool> m_stop = false;
    HWND m_lastBox = nullptr;
    std::vector<std::string> m_seen;
    std::thread m_thread;
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

TEST(ProgramWindows, MainWindowShowsCopiesAndOpensTheAboutBoxFromTheSystemMenu) {
    KnownComputerMainWindow main;
    main.Create();
    HWND window = main.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(WindowText(GetDlgItem(window, main_window::kCPU)), "Testprozessor Größe 3 GHz");
    EXPECT_EQ(SendDlgItemMessageW(window, main_window::kProducts, LB_GETCOUNT, 0, 0), 1);

    // Each fact's name fits its label on one line in the dialog font, not wrapped and cut.
    for (const int label : {1009, 1012, 1013, 1014, 1019, 1023, 1015}) {
        HWND control = GetDlgItem(window, label);
        const std::wstring name = platform::WideFromUtf8(WindowText(control));
        RECT room = {};
        GetClientRect(control, &room);
        RECT oneLine = room;
        HDC context = GetDC(control);
        SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        DrawTextW(context, name.c_str(), -1, &oneLine, DT_CALCRECT | DT_SINGLELINE);
        DrawTextW(context, name.c_str(), -1, &room, DT_CALCRECT | DT_WORDBREAK);
        ReleaseDC(control, context);
        EXPECT_EQ(room.bottom - room.top, oneLine.bottom - oneLine.top) << WindowText(control);
    }

    SendDlgItemMessageW(window, main_window::kCopyInfo, BM_CLICK, 0, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    const std::string clipboard = copied ? platform::Utf8FromWide(copied) : "";
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
    EXPECT_NE(clipboard.find("Testprozessor Größe 3 GHz\r\n"), std::string::npos) << clipboard;

    wchar_t entry[64] = {};
    GetMenuStringW(GetSystemMenu(window, FALSE), CLumikartaSystemInfoDlg::IDM_ABOUTBOX, entry, 64,
                   MF_BYCOMMAND);
    EXPECT_EQ(platform::Utf8FromWide(entry), LoadResString(IDS_ABOUTBOX));
    BoxAnswerer answerer(window, IDOK);
    SendMessageW(window, WM_SYSCOMMAND, CLumikartaSystemInfoDlg::IDM_ABOUTBOX, 0);
    const std::vector<std::string> boxes = answerer.Seen();
    ASSERT_EQ(boxes.size(), 1u) << "the About box did not open, or more than it";
    EXPECT_NE(boxes[0].find("1.1.5"), std::string::npos) << boxes[0];
}

struct ShownWindowSearch {
    DWORD notProcess;
    HWND found;
};

// The program's main window in a process other than the given one (and than this one).
HWND FindProgramWindow(DWORD notProcess) {
    ShownWindowSearch search = {notProcess, nullptr};
    for (int attempt = 0; attempt < 600 && search.found == nullptr; ++attempt) {
        EnumWindows(
            [](HWND window, LPARAM lParam) -> BOOL {
                auto* search = reinterpret_cast<ShownWindowSearch*>(lParam);
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                wchar_t caption[64] = {};
                InternalGetWindowText(window, caption, 64);
                if (process != search->notProcess && process != GetCurrentProcessId() &&
                    IsWindowVisible(window) && std::wstring(caption) == L"Lumikarta - SystemInfo" &&
                    GetDlgItem(window, main_window::kLanguage)) {
                    search->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        Sleep(50);
    }
    return search.found;
}

void CloseProgramWindow(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process != nullptr) {
        if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(process, 1);
        }
        CloseHandle(process);
    }
}

// The real program: choosing English stores it and, answered with Yes, starts the program anew in
// English while the German one ends.
TEST(ProgramWindows, ChosenLanguageRestartsTheProgramInThatLanguage) {
    const std::wstring program =
        (platform::ProgramFile().parent_path() / "LumikartaSystemInfo.exe").wstring();
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION german = {};
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &german));
    CloseHandle(german.hThread);
    HWND window = FindProgramWindow(0);
    ASSERT_NE(window, nullptr) << "the program showed no main window";

    // The question box belongs to the other process; the answerer looks at its owner only.
    BoxAnswerer answerer(window, IDYES);
    HWND language = GetDlgItem(window, main_window::kLanguage);
    SendMessageW(language, CB_SETCURSEL, 1, 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(main_window::kLanguage, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(language));
    EXPECT_EQ(WaitForSingleObject(german.hProcess, 20000), WAIT_OBJECT_0) << "the German program did not end";
    EXPECT_EQ(answerer.Seen().size(), 1u);
    HWND english = FindProgramWindow(german.dwProcessId);
    CloseHandle(german.hProcess);
    ASSERT_NE(english, nullptr) << "no program started anew";
    EXPECT_EQ(SendDlgItemMessageW(english, main_window::kLanguage, CB_GETCURSEL, 0, 0), 1);
    EXPECT_NE(WindowText(GetDlgItem(english, main_window::kCopyInfo)), "Info kopieren");
    CloseProgramWindow(english);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Lumikarta\\Support und Update", L"Language");
}

TEST(ProgramWindows, SupportFormIsFilledAndSentWithTheKeyboard) {
    const char* service = std::getenv("LUMIKARTA_TEST_SERVICE_URL");
    if (service == nullptr) {
        GTEST_SKIP() << "LUMIKARTA_TEST_SERVICE_URL names no reference service";
    }
    const ScopedEnv supportUrl("LUMIKARTA_SUPPORT_URL", std::string(service));
    CSystemInfo info;
    FillKnownComputer(info);
    CSendDialog form(info, CreateTopLevelDialogHost());
    form.Create();
    HWND window = static_cast<CWin32DialogHost&>(form.Host()).Window();
    ASSERT_NE(window, nullptr);

    // The template's order, from the button that has the focus at the start.
    const int tabOrder[] = {send_dialog::kSend,        IDCANCEL,
                            send_dialog::kProduct,     send_dialog::kProductVersion,
                            send_dialog::kProblemType, send_dialog::kDescription,
                            send_dialog::kSalutation,  send_dialog::kFirstName,
                            send_dialog::kSurname,     send_dialog::kCompany,
                            send_dialog::kStreet,      send_dialog::kPostcode};
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), send_dialog::kSend);
    for (std::size_t step = 1; step < std::size(tabOrder); ++step) {
        PressKey(window, VK_TAB);
        HWND focus = GetFocus();
        // A combo box with an edit field gives the focus to that field.
        const int id = GetDlgCtrlID(GetParent(focus)) == send_dialog::kProduct ? send_dialog::kProduct
                                                                               : GetDlgCtrlID(focus);
        EXPECT_EQ(id, tabOrder[step]) << "step " << step;
    }

    // Return in the description is a new line there; elsewhere it sends.
    SendMessageW(window, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(window, send_dialog::kDescription)), TRUE);
    Type(window, L"Druck");
    PressKey(window, VK_RETURN);
    Type(window, L"fehlt");
    EXPECT_EQ(form.Host().GetText(send_dialog::kDescription), "Druck\nfehlt");
    // The subjects come from the FAQ data, which this test does not load.
    form.Host().AddItem(send_dialog::kProblemType, "Drucken");
    SendMessageW(window, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(window, send_dialog::kProblemType)), TRUE);
    PressKey(window, VK_DOWN);
    for (const auto& [id, text] :
         {std::pair{send_dialog::kFirstName, L"Jürgen"}, std::pair{send_dialog::kSurname, L"Weiß"},
          std::pair{send_dialog::kEmail, L"juergen@example.com"}}) {
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, id)), TRUE);
        Type(window, text);
    }
    BoxAnswerer answerer(window, IDOK);
    PressKey(window, VK_RETURN);
    EXPECT_TRUE(PumpDialogUntil(window, [&] { return form.Ended(); })) << "Return did not send";
    const std::vector<std::string> boxes = answerer.Seen();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(LoadResString(IDS_SEND_SUCCEEDED)), std::string::npos) << boxes[0];
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

TEST(ProgramWindows, UpdateListLoadsAndADownloadMovesItsBarUntilCancelled) {
    const std::string service = Environment("LUMIKARTA_TEST_SLOW_SERVICE_URL");
    if (service.empty()) {
        GTEST_SKIP() << "LUMIKARTA_TEST_SLOW_SERVICE_URL names no reference service with a slow download";
    }
    {
        BoxAnswerer errors(nullptr, IDOK);
        CUpdateBox missing(CreateTopLevelDialogHost());
        missing.m_strDefinitionUrl = service + "/downloads/missing.xml";
        missing.Create();
        EXPECT_TRUE(missing.Ended());
        const std::vector<std::string> boxes = errors.Seen();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(LoadResString(IDS_DEFINITION_NOT_LOADED)), std::string::npos) << boxes[0];
    }
    // The sample machine's products are in the registry (scripts/wine-tests.sh imports them).
    BoxAnswerer errors(nullptr, IDOK);
    CUpdateBox list(CreateTopLevelDialogHost());
    list.m_strDefinitionUrl = service + "/downloads/updates.xml";
    list.Create();
    EXPECT_EQ(errors.Seen(), std::vector<std::string>{});
    HWND listWindow = static_cast<CWin32DialogHost&>(list.Host()).Window();
    ASSERT_FALSE(list.Ended());
    EXPECT_GE(SendDlgItemMessageW(listWindow, update_box::kUpdates, LB_GETCOUNT, 0, 0), 1);

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
