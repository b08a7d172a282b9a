#include "hosts/win32/win32_dialog_host.h"

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <thread>

#include "dialogs/template_dialog.h"
#include "hosts/win32/table_icon_win32.h"
#include "hosts/win32/template_dialog_win32.h"
#include "hosts/win32/window_dpi_win32.h"
#include "platform/wide_text_windows.h"
#include "res/resources.h"

namespace {

constexpr wchar_t kCaption[] = L"LumikartaSystemInfo";
// The window message that wakes the dialog for its queued notices.
constexpr UINT kNoticeMessage = WM_APP + 1;
// The timers of notices delivered when the window is idle: this plus the notice.
constexpr UINT_PTR kIdleNoticeTimer = 0x4C00;
// Posted on a DPI change, so the host's fonts and icons follow once Windows has scaled the dialog.
constexpr UINT kDpiChangedMessage = WM_APP + 2;

using platform::Utf8FromWide;
using platform::WideFromUtf8;

std::wstring ClassName(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return name;
}

bool IsComboBox(HWND control) {
    return _wcsicmp(ClassName(control).c_str(), WC_COMBOBOXW) == 0;
}

bool IsMultiLineEdit(HWND control) {
    return _wcsicmp(ClassName(control).c_str(), WC_EDITW) == 0 &&
           (GetWindowLongPtrW(control, GWL_STYLE) & ES_MULTILINE) != 0;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A multi-line edit keeps its lines apart with CR LF; the dialogs use line feeds.
std::string WithLineFeeds(std::wstring text) {
    for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at)) {
        text.erase(at, 1);
    }
    return Utf8FromWide(text);
}

std::wstring WithCarriageReturns(const std::string& text) {
    std::wstring wide;
    for (const wchar_t unit : WideFromUtf8(text)) {
        if (unit == L'\n' && (wide.empty() || wide.back() != L'\r')) {
            wide += L'\r';
        }
        wide += unit;
    }
    return wide;
}

// The list messages of a list box and of a combo box, which do the same under other numbers.
struct ListMessages {
    UINT add, insert, remove, reset, count, textLength, text, select, selection;
};
constexpr ListMessages kListBoxMessages = {LB_ADDSTRING,    LB_INSERTSTRING, LB_DELETESTRING,
                                           LB_RESETCONTENT, LB_GETCOUNT,     LB_GETTEXTLEN,
                                           LB_GETTEXT,      LB_SETCURSEL,    LB_GETCURSEL};
constexpr ListMessages kComboBoxMessages = {CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING,
                                            CB_RESETCONTENT, CB_GETCOUNT,     CB_GETLBTEXTLEN,
                                            CB_GETLBTEXT,    CB_SETCURSEL,    CB_GETCURSEL};

const ListMessages& MessagesOf(HWND list) {
    return IsComboBox(list) ? kComboBoxMessages : kListBoxMessages;
}

// Negative answers (LB_ERR, CB_ERRSPACE) become -1.
int ListAnswer(LRESULT answer) {
    return answer < 0 ? -1 : static_cast<int>(answer);
}

UINT BoxStyle(MessageIcon icon, MessageButtons buttons) {
    UINT style = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
        case MessageIcon::Exclamation:
            return style | MB_ICONEXCLAMATION;
        case MessageIcon::Information:
            return style | MB_ICONINFORMATION;
        case MessageIcon::Stop:
            return style | MB_ICONSTOP;
        case MessageIcon::Question:
            return style | MB_ICONQUESTION;
        case MessageIcon::None:
            break;
    }
    return style;
}

// The file dialog's filter: the type's description with its pattern in brackets, then the pattern,
// each ended by a zero, and a zero after the last pair.
std::wstring FileFilter(const SaveFileQuestion& question) {
    const std::wstring pattern = WideFromUtf8(question.filePattern);
    std::wstring filter = WideFromUtf8(question.fileTypeName) + L" (" + pattern + L")";
    filter += L'\0';
    filter += pattern;
    filter += L'\0';
    return filter;
}

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

CWin32DialogHost::CWin32DialogHost(HWND owner) : m_hOwner(owner) {}

CWin32DialogHost::~CWin32DialogHost() {
    if (m_hDialog != nullptr) {
        DestroyWindow(m_hDialog);
    }
    for (const auto& [id, font] : m_styledFonts) {
        DeleteObject(font);
    }
    for (HICON icon : {m_hBigIcon, m_hSmallIcon}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

std::unique_ptr<CDialogHost> CreateTopLevelDialogHost() {
    return std::make_unique<CWin32DialogHost>(nullptr);
}

int CWin32DialogHost::RunModal(CTemplateDialog& dialog) {
    const LumikartaDialogTemplate* dialogTemplate = LoadDialogTemplate(dialog.TemplateId());
    if (dialogTemplate == nullptr) {
        return -1;
    }
    m_pDialog = &dialog;
    m_bModal = true;
    const INT_PTR result =
        RunTemplateDialog(*dialogTemplate, m_hOwner, DialogProcedure, reinterpret_cast<LPARAM>(this));
    return static_cast<int>(result);
}

void CWin32DialogHost::CreateModeless(CTemplateDialog& dialog) {
    if (const LumikartaDialogTemplate* dialogTemplate = LoadDialogTemplate(dialog.TemplateId())) {
        m_pDialog = &dialog;
        m_bModal = false;
        CreateTemplateDialog(*dialogTemplate, m_hOwner, DialogProcedure, reinterpret_cast<LPARAM>(this));
    }
}

void CWin32DialogHost::EndDialog(int result) {
    if (m_hDialog == nullptr) {
        return;
    }
    if (m_bModal) {
        // Only marks the run as ended; the dialog manager leaves it after the current message.
        ::EndDialog(m_hDialog, result);
    } else {
        ShowWindow(m_hDialog, SW_HIDE);
    }
}

std::unique_ptr<CDialogHost> CWin32DialogHost::CreateChildHost() {
    return std::make_unique<CWin32DialogHost>(m_hDialog);
}

void CWin32DialogHost::SetIcon(uint32_t iconId) {
    m_nIconId = iconId;
    ApplyIcon(WindowDpi(m_hDialog));
}

// The title bar's and the task bar's icon in the sizes for the DPI; the ones they replace go after.
void CWin32DialogHost::ApplyIcon(UINT dpi) {
    if (m_nIconId == 0) {
        return;
    }
    const std::pair<WPARAM, HICON*> kinds[] = {{ICON_BIG, &m_hBigIcon}, {ICON_SMALL, &m_hSmallIcon}};
    for (const auto& [kind, kept] : kinds) {
        const int size = SystemMetricForDpi(kind == ICON_BIG ? SM_CXICON : SM_CXSMICON, dpi);
        if (HICON icon = LoadTableIcon(m_nIconId, size)) {
            SendMessageW(m_hDialog, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
            if (*kept != nullptr) {
                DestroyIcon(*kept);
            }
            *kept = icon;
        }
    }
}

void CWin32DialogHost::AddSystemMenuItem(int commandId, const std::string& text) {
    HMENU menu = GetSystemMenu(m_hDialog, FALSE);
    if (menu == nullptr) {
        return;
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(commandId), WideFromUtf8(text).c_str());
    m_systemCommands.insert(commandId);
}

HWND CWin32DialogHost::Control(int id) const {
    return m_hDialog ? GetDlgItem(m_hDialog, id) : nullptr;
}

std::string CWin32DialogHost::GetText(int id) const {
    HWND control = Control(id);
    if (control == nullptr) {
        return {};
    }
    return IsMultiLineEdit(control) ? WithLineFeeds(WindowText(control)) : Utf8FromWide(WindowText(control));
}

void CWin32DialogHost::SetText(int id, const std::string& text) {
    if (HWND control = Control(id)) {
        SetWindowTextW(control, IsMultiLineEdit(control) ? WithCarriageReturns(text).c_str()
                                                         : WideFromUtf8(text).c_str());
    }
}

void CWin32DialogHost::Enable(int id, bool enabled) {
    HWND control = Control(id);
    if (control == nullptr) {
        return;
    }
    // A disabled link gets no mouse messages, so it would never learn that the mouse has left.
    if (!enabled && id == m_nHoveredLink) {
        SetLinkHover(control, false);
    }
    EnableWindow(control, enabled);
}

bool CWin32DialogHost::IsEnabled(int id) const {
    HWND control = Control(id);
    return control != nullptr && IsWindowEnabled(control);
}

void CWin32DialogHost::Show(int id, bool shown) {
    if (HWND control = Control(id)) {
        ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
    }
}

void CWin32DialogHost::SetFocus(int id) {
    if (HWND control = Control(id)) {
        // Through the dialog manager, so the default button and the edit's selection follow the focus.
        SendMessageW(m_hDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void CWin32DialogHost::SetFontStyle(int id, FontStyle style) {
    m_fontStyles[id] = style;
    ApplyFontStyle(id, style);
}

// A bold or underlined copy of the dialog's font at the window's DPI; the copy it replaces goes after.
// The dialog's font is taken once and scaled here, rather than read again after a change: whether
// Windows has made it anew for the new DPI by then is not certain.
void CWin32DialogHost::ApplyFontStyle(int id, FontStyle style) {
    HWND control = Control(id);
    if (control == nullptr) {
        return;
    }
    if (m_nFontDpi == 0) {
        HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(m_hDialog, WM_GETFONT, 0, 0));
        if (dialogFont == nullptr || GetObjectW(dialogFont, sizeof m_dialogFont, &m_dialogFont) == 0) {
            return;
        }
        m_nFontDpi = WindowDpi(m_hDialog);
        m_nDpi = m_nFontDpi;
    }
    LOGFONTW description = m_dialogFont;
    description.lfHeight =
        MulDiv(m_dialogFont.lfHeight, static_cast<int>(m_nDpi), static_cast<int>(m_nFontDpi));
    if (style == FontStyle::Bold) {
        description.lfWeight = FW_BOLD;
    } else {
        description.lfUnderline = TRUE;
    }
    if (HFONT font = CreateFontIndirectW(&description)) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (const auto old = m_styledFonts.find(id); old != m_styledFonts.end()) {
            DeleteObject(old->second);
        }
        m_styledFonts[id] = font;
    }
}

void CWin32DialogHost::FollowDpi(UINT dpi) {
    m_nDpi = dpi;
    for (const auto& [id, style] : m_fontStyles) {
        ApplyFontStyle(id, style);
    }
    ApplyIcon(dpi);
    UpdateTemplateIcons(m_hDialog, dpi);
}

void CWin32DialogHost::LimitText(int id, int maxCharacters) {
    if (HWND control = Control(id)) {
        SendMessageW(control, IsComboBox(control) ? CB_LIMITTEXT : EM_LIMITTEXT,
                     static_cast<WPARAM>(maxCharacters), 0);
    }
}

int CWin32DialogHost::AddItem(int id, const std::string& text) {
    HWND list = Control(id);
    if (list == nullptr) {
        return -1;
    }
    return ListAnswer(
        SendMessageW(list, MessagesOf(list).add, 0, reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str())));
}

int CWin32DialogHost::InsertItem(int id, int index, const std::string& text) {
    HWND list = Control(id);
    if (list == nullptr) {
        return -1;
    }
    return ListAnswer(SendMessageW(list, MessagesOf(list).insert, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str())));
}

void CWin32DialogHost::RemoveItem(int id, int index) {
    if (HWND list = Control(id)) {
        SendMessageW(list, MessagesOf(list).remove, static_cast<WPARAM>(index), 0);
    }
}

void CWin32DialogHost::ClearItems(int id) {
    if (HWND list = Control(id)) {
        SendMessageW(list, MessagesOf(list).reset, 0, 0);
    }
}

int CWin32DialogHost::ItemCount(int id) const {
    HWND list = Control(id);
    return list ? std::max(ListAnswer(SendMessageW(list, MessagesOf(list).count, 0, 0)), 0) : 0;
}

std::string CWin32DialogHost::ItemText(int id, int index) const {
    HWND list = Control(id);
    if (list == nullptr) {
        return {};
    }
    const ListMessages& messages = MessagesOf(list);
    const int length = ListAnswer(SendMessageW(list, messages.textLength, static_cast<WPARAM>(index), 0));
    if (length < 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ListAnswer(
        SendMessageW(list, messages.text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return Utf8FromWide(text);
}

void CWin32DialogHost::Select(int id, int index) {
    if (HWND list = Control(id)) {
        SendMessageW(list, MessagesOf(list).select, static_cast<WPARAM>(index), 0);
    }
}

int CWin32DialogHost::Selection(int id) const {
    HWND list = Control(id);
    return list ? ListAnswer(SendMessageW(list, MessagesOf(list).selection, 0, 0)) : -1;
}

void CWin32DialogHost::SetProgressRange(int id, int low, int high) {
    if (HWND progress = Control(id)) {
        SendMessageW(progress, PBM_SETRANGE32, static_cast<WPARAM>(low), high);
    }
}

void CWin32DialogHost::SetProgressPos(int id, int position) {
    if (HWND progress = Control(id)) {
        SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
}

void CWin32DialogHost::SetHandCursor(int id) {
    HWND link = Control(id);
    if (link == nullptr || m_links.count(id) != 0) {
        return;
    }
    // A label reports clicks only with SS_NOTIFY.
    SetWindowLongPtrW(link, GWL_STYLE, GetWindowLongPtrW(link, GWL_STYLE) | SS_NOTIFY);
    SetWindowSubclass(link, LinkProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    m_links.insert(id);
}

void CWin32DialogHost::SetTextColour(int id, RgbColour colour) {
    if (HWND control = Control(id)) {
        m_textColours[id] = RGB(colour.red, colour.green, colour.blue);
        InvalidateRect(control, nullptr, TRUE);
    }
}

MessageAnswer CWin32DialogHost::ShowMessage(const std::string& text, MessageIcon icon,
                                            MessageButtons buttons) {
    const int answer = MessageBoxW(m_hDialog ? m_hDialog : m_hOwner, WideFromUtf8(text).c_str(), kCaption,
                                   BoxStyle(icon, buttons));
    if (buttons == MessageButtons::YesNo) {
        return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

std::optional<std::string> CWin32DialogHost::AskSaveFile(const SaveFileQuestion& question) {
    std::wstring path = WideFromUtf8(question.proposedName);
    // Room for a long path; the dialog writes the chosen one here.
    path.resize(std::max<std::size_t>(path.size(), 32768));
    const std::wstring title = WideFromUtf8(question.title);
    const std::wstring filter = FileFilter(question);
    const std::wstring extension = WideFromUtf8(question.defaultExtension);
    const std::wstring folder = WideFromUtf8(question.folder);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_hDialog;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetSaveFileNameW(&dialog)) {
        return std::nullopt;
    }
    return Utf8FromWide(path.c_str());
}

bool CWin32DialogHost::CopyToClipboard(const std::string& text) {
    const std::wstring wide = WideFromUtf8(text);
    if (!OpenClipboard(m_hDialog)) {
        return false;
    }
    bool copied = false;
    EmptyClipboard();
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
        if (void* bytes = GlobalLock(block)) {
            std::memcpy(bytes, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(block);
            copied = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        }
        // The clipboard owns the block once it took it.
        if (!copied) {
            GlobalFree(block);
        }
    }
    CloseClipboard();
    return copied;
}

void CWin32DialogHost::OpenUrl(const std::string& url) {
    ShellExecuteW(m_hDialog, L"open", WideFromUtf8(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

FileOpening CWin32DialogHost::OpenFile(const std::string& path) {
    const std::wstring file = WideFromUtf8(path);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    // Synchronous, so the result is known here; the dialog tells the user of a failure itself. The
    // prompt for an administrator's rights still comes: it is no error message.
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.hwnd = m_hDialog;
    execute.lpVerb = L"open";
    execute.lpFile = file.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&execute)) {
        return FileOpening::Started;
    }
    return GetLastError() == ERROR_CANCELLED ? FileOpening::Cancelled : FileOpening::Failed;
}

bool CWin32DialogHost::RestartProgram() {
    std::wstring program(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (length == 0 || length >= program.size()) {
        return false;
    }
    program.resize(length);
    // The command line starts with the program, quoted for the spaces of "Program Files".
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void CWin32DialogHost::PostNotice(int notice, std::string payload) {
    const std::lock_guard<std::mutex> lock(m_noticeLock);
    if (m_hDialog == nullptr) {
        return;
    }
    m_notices.emplace_back(notice, std::move(payload));
    // One wake-up for a batch; the queue keeps the order and the payloads.
    if (m_notices.size() == 1) {
        PostMessageW(m_hDialog, kNoticeMessage, 0, 0);
    }
}

// A window is given its timer messages last, after its painting.
void CWin32DialogHost::PostNoticeWhenIdle(int notice) {
    SetTimer(m_hDialog, kIdleNoticeTimer + static_cast<UINT_PTR>(notice), USER_TIMER_MINIMUM, nullptr);
}

void CWin32DialogHost::DeliverNotices() {
    std::vector<std::pair<int, std::string>> notices;
    {
        const std::lock_guard<std::mutex> lock(m_noticeLock);
        notices.swap(m_notices);
    }
    for (const auto& [notice, payload] : notices) {
        if (m_pDialog->Ended()) {
            break;
        }
        m_pDialog->OnNotice(notice, payload);
    }
}

void CWin32DialogHost::RunBlocking(const std::function<void()>& work) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (done == nullptr) {
        work();
        return;
    }
    HWND focus = GetFocus();
    m_bBlocking = true;
    EnableWindow(m_hDialog, FALSE);
    HCURSOR previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    std::exception_ptr failure;
    std::thread helper([&] {
        // The core's COM users (the XML parser) expect an apartment, as on the user-interface thread.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
        SetEvent(done);
    });
    // Painting, timers and notices go on; the user's clicks and keys are dropped.
    const auto pump = [] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            if (!IsInput(message.message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    };
    while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        pump();
    }
    // The wait reports the finished work before messages that came with it: input queued during the
    // wait must not reach the window once it takes input again.
    pump();
    helper.join();
    CloseHandle(done);
    EnableWindow(m_hDialog, TRUE);
    m_bBlocking = false;
    SetCursor(previousCursor);
    if (focus != nullptr && IsWindow(focus)) {
        ::SetFocus(focus);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

INT_PTR CALLBACK CWin32DialogHost::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* host = reinterpret_cast<CWin32DialogHost*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        {
            const std::lock_guard<std::mutex> lock(host->m_noticeLock);
            host->m_hDialog = window;
        }
        // TRUE: the dialog manager gives the first control the focus.
        return host->m_pDialog->InitDialog() ? TRUE : FALSE;
    }
    auto* host = reinterpret_cast<CWin32DialogHost*>(GetWindowLongPtrW(window, DWLP_USER));
    if (host == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        host->Forget();
        return FALSE;
    }
    return host->OnMessage(message, wParam, lParam);
}

// The window is gone: nothing reaches it any more, and pending notices are dropped.
void CWin32DialogHost::Forget() {
    const std::lock_guard<std::mutex> lock(m_noticeLock);
    m_hDialog = nullptr;
    m_notices.clear();
    m_links.clear();
    m_nHoveredLink = 0;
}

INT_PTR CWin32DialogHost::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommandMessage(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            if (m_systemCommands.count(static_cast<int>(wParam & 0xFFF0)) != 0) {
                m_pDialog->OnSysCommand(static_cast<int>(wParam & 0xFFF0));
                return TRUE;
            }
            return FALSE;
        case WM_CTLCOLORSTATIC: {
            const auto colour = m_textColours.find(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            if (colour == m_textColours.end()) {
                return FALSE;
            }
            HDC context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context, colour->second);
            SetBkMode(context, TRANSPARENT);
            // The face colour rather than no brush: the label is erased before the text in its new
            // colour is drawn.
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_SETCURSOR:
            if (m_bBlocking) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                SetWindowLongPtrW(m_hDialog, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case kNoticeMessage:
            DeliverNotices();
            return TRUE;
        case WM_TIMER:
            if (wParam < kIdleNoticeTimer) {
                return FALSE;
            }
            KillTimer(m_hDialog, wParam);
            if (!m_pDialog->Ended()) {
                m_pDialog->OnNotice(static_cast<int>(wParam - kIdleNoticeTimer), {});
            }
            return TRUE;
        case WM_DPICHANGED:
            // Windows scales the dialog and its controls after this procedure returns.
            PostMessageW(m_hDialog, kDpiChangedMessage, LOWORD(wParam), 0);
            return FALSE;
        case kDpiChangedMessage:
            FollowDpi(static_cast<UINT>(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

void CWin32DialogHost::OnCommandMessage(int id, int code) {
    if (m_links.count(id) != 0) {
        if (code == STN_CLICKED && IsEnabled(id)) {
            m_pDialog->OnCommand(id);
        }
        return;
    }
    switch (code) {
        case BN_CLICKED:
            m_pDialog->OnCommand(id);
            break;
        case CBN_SELCHANGE:
            static_assert(CBN_SELCHANGE == LBN_SELCHANGE);
            m_pDialog->OnSelChange(id);
            break;
        default:
            break;
    }
}

void CWin32DialogHost::SetLinkHover(HWND link, bool over) {
    const int id = GetDlgCtrlID(link);
    if ((m_nHoveredLink == id) == over) {
        return;
    }
    m_nHoveredLink = over ? id : 0;
    // The capture keeps the mouse's moves coming to the link after it has left it.
    if (over) {
        SetCapture(link);
    } else if (GetCapture() == link) {
        ReleaseCapture();
    }
    m_pDialog->OnMouseHover(id, over);
    RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CALLBACK CWin32DialogHost::LinkProcedure(HWND link, UINT message, WPARAM wParam, LPARAM lParam,
                                                 UINT_PTR, DWORD_PTR host) {
    return reinterpret_cast<CWin32DialogHost*>(host)->OnLinkMessage(link, message, wParam, lParam);
}

LRESULT CWin32DialogHost::OnLinkMessage(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, m_bBlocking ? IDC_WAIT : IDC_HAND));
            return TRUE;
        case WM_MOUSEMOVE: {
            const LRESULT result = DefSubclassProc(link, message, wParam, lParam);
            RECT client = {};
            GetClientRect(link, &client);
            const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            SetLinkHover(link, PtInRect(&client, point) != FALSE);
            return result;
        }
        case WM_CAPTURECHANGED:
            // Another window took the mouse (a message box, the dialog going): the hover is over.
            if (reinterpret_cast<HWND>(lParam) != link && m_nHoveredLink == GetDlgCtrlID(link)) {
                m_nHoveredLink = 0;
                m_pDialog->OnMouseHover(GetDlgCtrlID(link), false);
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(link, LinkProcedure, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(link, message, wParam, lParam);
}
