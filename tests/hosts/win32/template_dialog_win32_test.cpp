#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <span>
#include <string>
#include <utility>

#include "hosts/win32/template_dialog_win32.h"
#include "platform/program_path.h"
#include "platform/wide_text_windows.h"
#include "res/control_ids.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/resource_library.h"

namespace {

std::string WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return platform::Utf8FromWide(text);
}

INT_PTR CALLBACK QuietProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The control's place and size in pixels as the dialog manager converts dialog units.
RECT TemplatePixels(HWND dialog, int16_t x, int16_t y, int16_t width, int16_t height) {
    RECT rect = {x, y, width, height};
    MapDialogRect(dialog, &rect);
    return rect;
}

// Controls whose behaviour rests on the window class and styles they are given, tab stops included,
// and which no other test of the windows drives.
constexpr struct {
    uint32_t dialogId;
    int id;
    const wchar_t* className;
    DWORD styles;
} kPicked[] = {
    {IDD_LUMIKARTASYSTEMINFO_DIALOG, main_window::kLanguage, L"ComboBox",
     CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP},
    {IDD_LUMIKARTASYSTEMINFO_DIALOG, main_window::kSupport, L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP},
    {IDD_SENDDIALOG, send_dialog::kProduct, L"ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP},
    {IDD_SENDDIALOG, send_dialog::kGraphics, L"Edit", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP},
    {IDD_UPDATEBOX, update_box::kUpdates, L"ListBox", LBS_NOTIFY | LBS_SORT | WS_TABSTOP},
};

// A label made one row high must not wrap in the dialog's font, or its text is cut.
void ExpectOnOneLine(HWND label) {
    const std::wstring text = platform::WideFromUtf8(WindowText(label));
    RECT room = {};
    GetClientRect(label, &room);
    RECT oneLine = room;
    HDC context = GetDC(label);
    SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(context, text.c_str(), -1, &oneLine, DT_CALCRECT | DT_SINGLELINE);
    DrawTextW(context, text.c_str(), -1, &room, DT_CALCRECT | DT_WORDBREAK);
    ReleaseDC(label, context);
    EXPECT_EQ(room.bottom - room.top, oneLine.bottom - oneLine.top) << WindowText(label);
}

void ExpectControlAsTemplated(HWND dialog, HWND window, const LumikartaDialogControl& control) {
    EXPECT_EQ(GetDlgCtrlID(window), control.id);
    const RECT expected = TemplatePixels(dialog, control.x, control.y, control.width, control.height);
    RECT actual = {};
    GetWindowRect(window, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(std::pair(actual.left, actual.top), std::pair(expected.left, expected.top));
    // An icon takes the icon's size.
    if (control.kind != LUMIKARTA_CONTROL_ICON) {
        EXPECT_EQ(actual.right - actual.left, expected.right);
    }
    switch (control.kind) {
        case LUMIKARTA_CONTROL_LABEL:
            if (control.height <= 8 && *control.text != '\0') {
                ExpectOnOneLine(window);
            }
            [[fallthrough]];
        case LUMIKARTA_CONTROL_PUSH_BUTTON:
        case LUMIKARTA_CONTROL_GROUP_BOX:
            EXPECT_EQ(WindowText(window), control.text);
            break;
        case LUMIKARTA_CONTROL_ICON:
            EXPECT_NE(SendMessageW(window, STM_GETICON, 0, 0), 0);
            break;
    }
}

TEST(TemplateDialogWin32, EveryDialogOfBothLanguagesHasItsControlsWhereTheTemplatePutsThem) {
    const LumikartaResourceTable* english = LoadEnglishResourceLibrary(platform::ProgramFile().parent_path());
    ASSERT_NE(english, nullptr) << "the English library is not beside the tests";
    for (const DialogTemplateSet& language :
         {GermanDialogTemplates(), DialogTemplateSet{english->dialogs, english->dialogCount}}) {
        for (const LumikartaDialogTemplate& dialogTemplate : std::span(language.dialogs, language.count)) {
            SCOPED_TRACE(dialogTemplate.caption);
            HWND dialog = CreateTemplateDialog(dialogTemplate, nullptr, QuietProcedure, 0);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(WindowText(dialog), dialogTemplate.caption);
            RECT client = {};
            GetClientRect(dialog, &client);
            const RECT size = TemplatePixels(dialog, 0, 0, dialogTemplate.width, dialogTemplate.height);
            EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(size.right, size.bottom));

            HWND window = GetWindow(dialog, GW_CHILD);
            for (const LumikartaDialogControl& control :
                 std::span(dialogTemplate.controls, dialogTemplate.controlCount)) {
                SCOPED_TRACE(std::to_string(control.id) + " " + control.text);
                ASSERT_NE(window, nullptr) << "control missing";
                ExpectControlAsTemplated(dialog, window, control);
                window = GetWindow(window, GW_HWNDNEXT);
            }
            EXPECT_EQ(window, nullptr) << "more controls than the template has";

            for (const auto& picked : kPicked) {
                if (picked.dialogId == dialogTemplate.id) {
                    HWND control = GetDlgItem(dialog, picked.id);
                    wchar_t className[32] = {};
                    GetClassNameW(control, className, 32);
                    EXPECT_STREQ(className, picked.className) << picked.id;
                    const auto styles = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
                    EXPECT_EQ(styles & picked.styles, picked.styles) << picked.id;
                }
            }
            DestroyWindow(dialog);
        }
    }
}

}  // namespace
