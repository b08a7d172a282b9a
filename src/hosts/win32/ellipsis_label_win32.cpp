#include "hosts/win32/ellipsis_label_win32.h"

#include <commctrl.h>

#include <string>

#include "platform/wide_text_windows.h"
#include "text/elided_text.h"

namespace {

// As a label draws its text, but for "&", which stays a character: the text comes from a server.
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

struct EllipsisLabel {
    std::wstring whole;
    std::wstring shown;
    HWND tooltip = nullptr;
};

// The label's font in the context; gives back what it replaced.
HGDIOBJ UseLabelFont(HWND label, HDC context) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    return font != nullptr ? SelectObject(context, font) : nullptr;
}

// The tooltip covers the whole label. Its size is that of the older common controls, which refuse
// a larger one.
TOOLINFOW ToolOf(HWND label, wchar_t* text) {
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(label);
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    tool.lpszText = text;
    return tool;
}

// Again whenever the text, the font or the size changes; the tooltip then says the whole text, or
// nothing (and so does not show) when the label shows all of it.
void Fit(HWND label, EllipsisLabel& state) {
    RECT room = {};
    GetClientRect(label, &room);
    HDC context = GetDC(label);
    const HGDIOBJ previousFont = UseLabelFont(label, context);
    const auto fits = [&](std::string_view candidate) {
        const std::wstring text = platform::WideFromUtf8(candidate);
        RECT needed = {0, 0, room.right, 0};
        DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &needed, kTextFormat | DT_CALCRECT);
        return needed.right <= room.right && needed.bottom <= room.bottom;
    };
    state.shown = platform::WideFromUtf8(ElideAfterWord(platform::Utf8FromWide(state.whole), fits));
    if (previousFont != nullptr) {
        SelectObject(context, previousFont);
    }
    ReleaseDC(label, context);

    std::wstring tip = state.shown == state.whole ? std::wstring() : state.whole;
    const TOOLINFOW tool = ToolOf(label, tip.data());
    SendMessageW(state.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // Wrapped as the label wraps it.
    SendMessageW(state.tooltip, TTM_SETMAXTIPWIDTH, 0, room.right);
    InvalidateRect(label, nullptr, TRUE);
}

// In the colours the dialog gives its labels.
void Paint(HWND label, const EllipsisLabel& state) {
    PAINTSTRUCT paint = {};
    HDC context = BeginPaint(label, &paint);
    RECT room = {};
    GetClientRect(label, &room);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(label), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(context),
                                                             reinterpret_cast<LPARAM>(label)));
    FillRect(context, &room, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
    if (!IsWindowEnabled(label)) {
        SetTextColor(context, GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(context, TRANSPARENT);
    const HGDIOBJ previousFont = UseLabelFont(label, context);
    DrawTextW(context, state.shown.c_str(), static_cast<int>(state.shown.size()), &room, kTextFormat);
    if (previousFont != nullptr) {
        SelectObject(context, previousFont);
    }
    EndPaint(label, &paint);
}

LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data) {
    auto& state = *reinterpret_cast<EllipsisLabel*>(data);
    switch (message) {
        case WM_SETTEXT: {
            // Past the static control, which would draw the whole text at once.
            const LRESULT result = DefWindowProcW(label, message, wParam, lParam);
            state.whole = lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"";
            Fit(label, state);
            return result;
        }
        case WM_SETFONT:
        case WM_SIZE: {
            const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
            Fit(label, state);
            return result;
        }
        case WM_ENABLE:
            // Only painted anew: the static control would draw the whole text.
            InvalidateRect(label, nullptr, TRUE);
            return 0;
        case WM_ERASEBKGND:
            // Painting fills the whole label.
            return 1;
        case WM_PAINT:
            Paint(label, state);
            return 0;
        case WM_NCHITTEST:
            // A static control lets the mouse through to the dialog; the tooltip needs it here.
            return HTCLIENT;
        case WM_NCDESTROY: {
            RemoveWindowSubclass(label, LabelProcedure, 0);
            // The dialog may have taken its owned tooltip with it already.
            if (IsWindow(state.tooltip)) {
                DestroyWindow(state.tooltip);
            }
            delete &state;
            return DefSubclassProc(label, message, wParam, lParam);
        }
        default:
            return DefSubclassProc(label, message, wParam, lParam);
    }
}

}  // namespace

void MakeEllipsisLabel(HWND label) {
    auto* state = new EllipsisLabel;
    state->whole.resize(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1);
    state->whole.resize(static_cast<std::size_t>(
        GetWindowTextW(label, state->whole.data(), static_cast<int>(state->whole.size()))));
    // Shown even while the dialog is not the active window.
    state->tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(label), nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    wchar_t nothing[] = L"";
    const TOOLINFOW tool = ToolOf(label, nothing);
    SendMessageW(state->tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!SetWindowSubclass(label, LabelProcedure, 0, reinterpret_cast<DWORD_PTR>(state))) {
        DestroyWindow(state->tooltip);
        delete state;
        return;
    }
    Fit(label, *state);
}
