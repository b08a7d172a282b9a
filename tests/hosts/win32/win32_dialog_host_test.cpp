#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "dialogs/template_dialog.h"
#include "helpers/long_descriptions.h"
#include "helpers/temp_dir.h"
#include "hosts/win32/win32_dialog_host.h"
#include "platform/wide_text_windows.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"

namespace {

// A dialog logic that records what its host tells it.
class RecordingDialog : public CTemplateDialog {
public:
    explicit RecordingDialog(uint32_t templateId) : CTemplateDialog(templateId, CreateTopLevelDialogHost()) {}

    HWND Window() { return static_cast<CWin32DialogHost&>(Host()).Window(); }
    HWND Control(int id) { return GetDlgItem(Window(), id); }

    void OnCommand(int id) override {
        events.push_back("command " + std::to_string(id));
        CTemplateDialog::OnCommand(id);
    }
    void OnMouseHover(int id, bool over) override {
        events.push_back((over ? "over " : "left ") + std::to_string(id));
    }
    void OnNotice(int notice, const std::string& payload) override {
        events.push_back("notice " + std::to_string(notice) + " " + payload);
    }

    std::vector<std::string> events;
};

TEST(Win32DialogHost, ControlsLinkAndClipboardWorkByIdAsTheDialogLogicSeesThem) {
    RecordingDialog main(IDD_LUMIKARTASYSTEMINFO_DIALOG);
    main.Create();
    CDialogHost& host = main.Host();
    ASSERT_NE(main.Window(), nullptr);

    host.LimitText(main_window::kGraphics, 5);
    EXPECT_EQ(SendMessageW(main.Control(main_window::kGraphics), EM_GETLIMITTEXT, 0, 0), 5);

    // The product list sorts by the user's locale, without regard to case.
    for (const char* product : {"beta", "Alpha", "alpha2"}) {
        host.AddItem(main_window::kProducts, product);
    }
    ASSERT_EQ(host.ItemCount(main_window::kProducts), 3);
    EXPECT_EQ(host.ItemText(main_window::kProducts, 0), "Alpha");
    EXPECT_EQ(host.ItemText(main_window::kProducts, 1), "alpha2");
    host.Select(main_window::kLanguage, 1);
    EXPECT_EQ(host.GetText(main_window::kLanguage), "English");

    // The link: hover with the mouse captured, released on leaving and on being disabled; clicks
    // only while enabled.
    HWND link = main.Control(main_window::kFAQ);
    host.SetHandCursor(main_window::kFAQ);
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(GetCapture(), link);
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
    EXPECT_NE(GetCapture(), link);
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    host.Enable(main_window::kFAQ, false);
    EXPECT_NE(GetCapture(), link);
    const WPARAM click = MAKEWPARAM(main_window::kFAQ, STN_CLICKED);
    SendMessageW(main.Window(), WM_COMMAND, click, reinterpret_cast<LPARAM>(link));
    host.Enable(main_window::kFAQ, true);
    SendMessageW(main.Window(), WM_COMMAND, click, reinterpret_cast<LPARAM>(link));
    SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    // The host's own changes above tell the logic nothing.
    EXPECT_EQ(main.events,
              (std::vector<std::string>{"over 1068", "left 1068", "over 1068", "left 1068", "command 1068"}));

    ASSERT_TRUE(host.CopyToClipboard("CPU: Größe €\r\nRAM: 1\r\n"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    EXPECT_EQ(platform::Utf8FromWide(copied ? copied : L""), "CPU: Größe €\r\nRAM: 1\r\n");
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
}

// Hands the waiting messages to the dialog manager as a modeless dialog's loop does.
void Pump(HWND dialog) {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Keys as the keyboard sends them to the control with the focus, one by one: a CR is the Return key,
// which the dialog manager turns into a character of its own.
void Type(HWND dialog, const std::wstring& keys) {
    for (const wchar_t key : keys) {
        if (key == L'\r') {
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
            PostMessageW(GetFocus(), WM_KEYUP, VK_RETURN, 0xC0000001);
        } else {
            PostMessageW(GetFocus(), WM_CHAR, key, 1);
        }
        Pump(dialog);
    }
}

// Return in the text area is a new line, kept as CR LF, and elsewhere presses the default button.
// While blocking work runs the work's notices arrive in order with their payloads; the user's keys
// do not.
TEST(Win32DialogHost, TextAreaTakesReturnAndBlockingWorkRunsElsewhereWhileTheWindowAnswersAndDropsInput) {
    RecordingDialog form(IDD_SENDDIALOG);
    form.Create();
    HWND window = form.Window();
    HWND description = form.Control(send_dialog::kDescription);
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(description), TRUE);
    Type(window, L"Größe\rfehlt");
    EXPECT_EQ(form.Host().GetText(send_dialog::kDescription), "Größe\nfehlt");
    EXPECT_TRUE(form.events.empty()) << "Return in the text area pressed a button";
    form.Host().SetText(send_dialog::kDescription, "Größe €\nzwei");
    EXPECT_EQ(GetWindowTextLengthW(description), 13) << "lines not kept apart by CR LF";
    const DWORD uiThread = GetCurrentThreadId();
    DWORD workThread = uiThread;
    BOOL enabledDuringWork = TRUE;
    LRESULT answered = 0;
    form.Host().RunBlocking([&] {
        workThread = GetCurrentThreadId();
        enabledDuringWork = IsWindowEnabled(window);
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 10000, nullptr);
        PostMessageW(description, WM_CHAR, L'x', 0);
        for (int notice = 1; notice <= 2; ++notice) {
            form.Host().PostNotice(notice, "Nachricht " + std::to_string(notice));
        }
    });
    Pump(window);
    EXPECT_NE(workThread, uiThread);
    EXPECT_FALSE(enabledDuringWork);
    EXPECT_NE(answered, 0) << "the window did not answer while the work ran";
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(form.Host().GetText(send_dialog::kDescription), "Größe €\nzwei")
        << "a key typed during the wait arrived later";
    EXPECT_EQ(form.events, (std::vector<std::string>{"notice 1 Nachricht 1", "notice 2 Nachricht 2"}));

    EXPECT_THROW(form.Host().RunBlocking([] { throw std::runtime_error("lost"); }), std::runtime_error);
    EXPECT_TRUE(IsWindowEnabled(window));

    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(form.Control(send_dialog::kSurname)), TRUE);
    Type(window, L"\r");
    EXPECT_EQ(form.events.back(), "command " + std::to_string(send_dialog::kSend));
}

// A notice for when the window is idle comes after the notices posted before it and after the
// shown window's painting: the main window starts collecting its facts on it.
TEST(Win32DialogHost, IdleNoticeComesAfterPostedNoticesAndThePainting) {
    class PaintWatchingDialog : public RecordingDialog {
    public:
        using RecordingDialog::RecordingDialog;
        void OnNotice(int notice, const std::string& payload) override {
            RecordingDialog::OnNotice(notice, payload);
            if (notice == 2) {
                paintPendingWhenIdle = HIWORD(GetQueueStatus(QS_PAINT)) != 0;
            }
        }
        bool paintPendingWhenIdle = true;
    };
    PaintWatchingDialog main(IDD_LUMIKARTASYSTEMINFO_DIALOG);
    main.Create();
    ShowWindow(main.Window(), SW_SHOW);
    main.Host().PostNoticeWhenIdle(2);
    main.Host().PostNotice(1, "vorher");
    for (int round = 0; round < 200 && main.events.size() < 2; ++round) {
        Pump(main.Window());
        Sleep(5);
    }
    EXPECT_EQ(main.events, (std::vector<std::string>{"notice 1 vorher", "notice 2 "}));
    EXPECT_FALSE(main.paintPendingWhenIdle);
}

// What the label's tooltip says when it shows; empty when the label shows all of its text.
std::string TooltipText(HWND label) {
    HWND dialog = GetParent(label);
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
        if (GetWindow(tip, GW_OWNER) == dialog) {
            wchar_t text[1024] = {};
            TOOLINFOW tool = {};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = dialog;
            tool.uId = reinterpret_cast<UINT_PTR>(label);
            tool.lpszText = text;
            SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
            return platform::Utf8FromWide(text);
        }
    }
    return "(no tooltip)";
}

// A description of any length: the label shows what its lines hold, its tooltip then the whole text,
// and the dialog still reads the whole text.
TEST(Win32DialogHost, LongDescriptionShowsWholeInItsTooltipAndStaysWholeForTheDialog) {
    RecordingDialog list(IDD_UPDATEBOX);
    list.Create();
    HWND label = list.Control(update_box::kDescription);
    for (const DescriptionCase& c : DescriptionCases()) {
        SCOPED_TRACE(c.text);
        list.Host().SetText(update_box::kDescription, c.text);
        EXPECT_EQ(list.Host().GetText(update_box::kDescription), c.text);
        EXPECT_EQ(TooltipText(label), c.cut ? c.text : "");
    }
}

// Return in the save question saves the proposed name into the folder the question starts in, not
// into the current folder.
TEST(Win32DialogHost, ReturnInTheSaveQuestionSavesTheProposedNameInItsFolder) {
    RecordingDialog list(IDD_UPDATEBOX);
    list.Create();
    const TempDir downloads;
    std::jthread user([](const std::stop_token& stop) {
        for (; !stop.stop_requested(); Sleep(20)) {
            HWND question = FindWindowW(L"#32770", L"Save file");
            if (question != nullptr && IsWindowVisible(question)) {
                PostMessageW(question, WM_COMMAND, IDOK, 0);
            }
        }
    });
    const std::optional<std::string> chosen = list.Host().AskSaveFile(
        {"Save file", downloads.Path().string(), "TopoKarte-Update-305.sh", "EXE", "Executables", "*.exe"});
    user.request_stop();
    EXPECT_EQ(chosen, downloads.FilePath("TopoKarte-Update-305.sh"));
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW description = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof description,
               &description);
    return description;
}

int IconWidth(HICON icon) {
    ICONINFO info = {};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return 0;
    }
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// When the window moves to a monitor of another DPI, the fonts and icons the host made itself are
// made again in the sizes for it.
TEST(Win32DialogHost, OwnFontsAndIconsFollowTheDialogToAnotherDpi) {
    RecordingDialog main(IDD_LUMIKARTASYSTEMINFO_DIALOG);
    main.Create();
    CDialogHost& host = main.Host();
    HWND window = main.Window();
    host.SetIcon(IDR_MAINFRAME);
    host.SetFontStyle(main_window::kFAQ, FontStyle::Underlined);
    host.SetFontStyle(main_window::kProductsLabel, FontStyle::Bold);
    const LONG height = FontOf(main.Control(main_window::kFAQ)).lfHeight;

    RECT frame = {};
    GetWindowRect(window, &frame);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(2 * USER_DEFAULT_SCREEN_DPI, 2 * USER_DEFAULT_SCREEN_DPI),
                 reinterpret_cast<LPARAM>(&frame));
    Pump(window);

    const LOGFONTW link = FontOf(main.Control(main_window::kFAQ));
    EXPECT_EQ(link.lfHeight, 2 * height);
    EXPECT_TRUE(link.lfUnderline);
    const LOGFONTW label = FontOf(main.Control(main_window::kProductsLabel));
    EXPECT_EQ(label.lfHeight, 2 * height);
    EXPECT_EQ(label.lfWeight, FW_BOLD);
    const auto bigIcon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(IconWidth(bigIcon), 2 * GetSystemMetrics(SM_CXICON));
}

// Starting the installer: a file the shell cannot start is a failure the dialog can tell the user of.
TEST(Win32DialogHost, OpeningAFileTellsWhetherTheShellStartedIt) {
    RecordingDialog main(IDD_LUMIKARTASYSTEMINFO_DIALOG);
    main.Create();
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(main.Host().OpenFile(platform::Utf8FromWide(system) + "\\hostname.exe"), FileOpening::Started);
    EXPECT_EQ(main.Host().OpenFile(platform::Utf8FromWide(system) + "\\no-such-installer.exe"),
              FileOpening::Failed);
}

}  // namespace
