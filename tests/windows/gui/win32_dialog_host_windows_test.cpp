#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/template_dialog.h"
#include "common/win32_dialog_host.h"
#include "platform/wide_text_windows.h"

namespace {

// Template and control ids of the German templates the tests open.
constexpr uint32_t kAboutBox = 100;
constexpr uint32_t kMainWindow = 102;
constexpr uint32_t kDownloadWindow = 131;
constexpr uint32_t kSupportForm = 138;
constexpr int kGraphics = 1016;
constexpr int kProducts = 1049;
constexpr int kLanguage = 1089;
constexpr int kFaq = 1068;
constexpr int kCopyInfo = 1067;
constexpr int kDescription = 1029;
constexpr int kProgress = 1063;
constexpr int kAboutCommand = 16;

// A dialog logic that records what its host tells it.
class RecordingDialog : public CTemplateDialog {
public:
    explicit RecordingDialog(uint32_t templateId) : CTemplateDialog(templateId, CreateTopLevelDialogHost()) {}

    CWin32DialogHost& Win32Host() { return static_cast<CWin32DialogHost&>(Host()); }
    HWND Window() { return Win32Host().Window(); }
    HWND Control(int id) { return GetDlgItem(Window(), id); }

    void OnCommand(int id) override {
        events.push_back("command " + std::to_string(id));
        CTemplateDialog::OnCommand(id);
    }
    void OnSelChange(int id) override { events.push_back("selection " + std::to_string(id)); }
    void OnSysCommand(int id) override { events.push_back("system " + std::to_string(id)); }
    void OnMouseHover(int id, bool over) override {
        events.push_back((over ? "over " : "left ") + std::to_string(id));
    }
    void OnNotice(int notice, const std::string& payload) override {
        events.push_back("notice " + std::to_string(notice) + " " + payload);
        if (onNotice) {
            onNotice(*this);
        }
    }

    std::vector<std::string> events;
    std::function<void(RecordingDialog&)> onInit;
    std::function<void(RecordingDialog&)> onNotice;

protected:
    bool OnInitDialog() override {
        if (onInit) {
            onInit(*this);
        }
        return true;
    }
};

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

TEST(Win32DialogHost, ControlsAreReadAndWrittenByIdAsTheDialogLogicSeesThem) {
    RecordingDialog main(kMainWindow);
    main.Create();
    CDialogHost& host = main.Host();
    ASSERT_NE(main.Window(), nullptr);

    host.SetText(kGraphics, "Grafik für Größe €");
    EXPECT_EQ(host.GetText(kGraphics), "Grafik für Größe €");
    host.SetText(4711, "nowhere");
    EXPECT_EQ(host.GetText(4711), "");
    EXPECT_EQ(host.ItemCount(4711), 0);

    // The product list sorts without regard to case; InsertItem places whatever the style.
    for (const char* product : {"beta", "Alpha", "alpha2"}) {
        host.AddItem(kProducts, product);
    }
    EXPECT_EQ(host.InsertItem(kProducts, 0, "zulu"), 0);
    host.RemoveItem(kProducts, 1);
    ASSERT_EQ(host.ItemCount(kProducts), 3);
    EXPECT_EQ(host.ItemText(kProducts, 0), "zulu");
    EXPECT_EQ(host.ItemText(kProducts, 1), "alpha2");
    EXPECT_EQ(host.ItemText(kProducts, 2), "beta");

    EXPECT_EQ(host.Selection(kLanguage), -1);
    host.Select(kLanguage, 1);
    EXPECT_EQ(host.Selection(kLanguage), 1);
    EXPECT_EQ(host.GetText(kLanguage), "English");
    host.Select(kLanguage, -1);
    EXPECT_EQ(host.Selection(kLanguage), -1);

    host.LimitText(kGraphics, 5);
    EXPECT_EQ(SendMessageW(main.Control(kGraphics), EM_GETLIMITTEXT, 0, 0), 5);
    host.SetFontStyle(kCopyInfo, FontStyle::Bold);
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(main.Control(kCopyInfo), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    host.Enable(kCopyInfo, false);
    EXPECT_FALSE(host.IsEnabled(kCopyInfo));
    EXPECT_TRUE(main.events.empty()) << "the host's own calls told the logic of changes";

    RecordingDialog form(kSupportForm);
    form.Create();
    form.Host().SetText(kDescription, "eins\nzwei");
    EXPECT_EQ(form.Host().GetText(kDescription), "eins\nzwei");
    EXPECT_EQ(GetWindowTextLengthW(form.Control(kDescription)), 10) << "lines not kept apart by CR LF";

    RecordingDialog download(kDownloadWindow);
    download.Create();
    download.Host().SetProgressRange(kProgress, 0, 1000);
    download.Host().SetProgressPos(kProgress, 250);
    EXPECT_EQ(SendMessageW(download.Control(kProgress), PBM_GETPOS, 0, 0), 250);
    EXPECT_EQ(SendMessageW(download.Control(kProgress), PBM_GETRANGE, FALSE, 0), 1000);
}

TEST(Win32DialogHost, ClicksChoicesMenuAndLinkReachTheLogicById) {
    RecordingDialog main(kMainWindow);
    main.Create();
    CDialogHost& host = main.Host();
    SendMessageW(main.Control(kCopyInfo), BM_CLICK, 0, 0);
    SendMessageW(main.Window(), WM_COMMAND, MAKEWPARAM(kLanguage, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(main.Control(kLanguage)));

    host.AddSystemMenuItem(kAboutCommand, "&Info...");
    wchar_t entry[32] = {};
    GetMenuStringW(GetSystemMenu(main.Window(), FALSE), kAboutCommand, entry, 32, MF_BYCOMMAND);
    EXPECT_STREQ(entry, L"&Info...");
    SendMessageW(main.Window(), WM_SYSCOMMAND, kAboutCommand, 0);

    // The link: hover with the mouse captured, released on leaving and on being disabled; clicks
    // only while enabled.
    HWND link = main.Control(kFaq);
    host.SetHandCursor(kFaq);
    host.SetTextColour(kFaq, {255, 0, 0});
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(GetCapture(), link);
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
    EXPECT_NE(GetCapture(), link);
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    host.Enable(kFaq, false);
    EXPECT_NE(GetCapture(), link);
    const WPARAM click = MAKEWPARAM(kFaq, STN_CLICKED);
    SendMessageW(main.Window(), WM_COMMAND, click, reinterpret_cast<LPARAM>(link));
    host.Enable(kFaq, true);
    SendMessageW(main.Window(), WM_COMMAND, click, reinterpret_cast<LPARAM>(link));

    SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    HDC context = GetDC(link);
    SendMessageW(main.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                 reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(GetTextColor(context), RGB(255, 0, 0));
    ReleaseDC(link, context);

    const std::vector<std::string> expected = {"command 1067", "selection 1089", "system 16", "over 1068",
                                               "left 1068",    "over 1068",      "left 1068", "command 1068"};
    EXPECT_EQ(main.events, expected);
}

TEST(Win32DialogHost, ModalRunTakesNoticesFromOtherThreadsInOrderAndEndsWithTheCode) {
    RecordingDialog about(kAboutBox);
    about.onInit = [](RecordingDialog& dialog) {
        std::thread([&dialog] {
            for (int notice = 1; notice <= 3; ++notice) {
                dialog.Host().PostNotice(notice, "Nachricht " + std::to_string(notice));
            }
        }).join();
    };
    about.onNotice = [](RecordingDialog& dialog) {
        if (dialog.events.size() == 3) {
            dialog.EndDialog(7);
        }
    };
    EXPECT_EQ(about.DoModal(), 7);
    const std::vector<std::string> expected = {"notice 1 Nachricht 1", "notice 2 Nachricht 2",
                                               "notice 3 Nachricht 3"};
    EXPECT_EQ(about.events, expected);

    // The close box ends it through the cancel handling.
    RecordingDialog closed(kAboutBox);
    closed.onInit = [](RecordingDialog& dialog) { PostMessageW(dialog.Window(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(closed.DoModal(), IDCANCEL);
}

TEST(Win32DialogHost, BlockingWorkRunsElsewhereWhileTheWindowAnswersAndDropsInput) {
    RecordingDialog form(kSupportForm);
    form.Create();
    HWND window = form.Window();
    HWND description = form.Control(kDescription);
    const DWORD uiThread = GetCurrentThreadId();
    DWORD workThread = uiThread;
    BOOL enabledDuringWork = TRUE;
    LRESULT answered = 0;
    form.Host().RunBlocking([&] {
        workThread = GetCurrentThreadId();
        enabledDuringWork = IsWindowEnabled(window);
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 10000, nullptr);
        PostMessageW(description, WM_CHAR, L'x', 0);
    });
    PumpMessages();
    EXPECT_NE(workThread, uiThread);
    EXPECT_FALSE(enabledDuringWork);
    EXPECT_NE(answered, 0) << "the window did not answer while the work ran";
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(form.Host().GetText(kDescription), "") << "a key typed during the wait arrived later";

    EXPECT_THROW(form.Host().RunBlocking([] { throw std::runtime_error("lost"); }), std::runtime_error);
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST(Win32DialogHost, ClipboardAndMessageBoxSpeakUnicodeOverTheDialog) {
    RecordingDialog main(kMainWindow);
    main.Create();
    ASSERT_TRUE(main.Host().CopyToClipboard("CPU: Größe €\r\nRAM: 1\r\n"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto* text = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(platform::Utf8FromWide(text), "CPU: Größe €\r\nRAM: 1\r\n");
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();

    // Answers the box with No once it shows, after checking whose box it is.
    HWND owner = nullptr;
    std::thread answerer([&owner] {
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (HWND box = FindWindowW(L"#32770", L"LumikartaSystemInfo")) {
                owner = GetWindow(box, GW_OWNER);
                PostMessageW(box, WM_COMMAND, IDNO, 0);
                return;
            }
            Sleep(50);
        }
    });
    const MessageAnswer answer =
        main.Host().ShowMessage("Neu starten? <b>&Ja</b>", MessageIcon::Question, MessageButtons::YesNo);
    answerer.join();
    EXPECT_EQ(answer, MessageAnswer::No);
    EXPECT_EQ(owner, main.Window());
}

}  // namespace
