#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "common/template_dialog_win32.h"
#include "platform/program_path.h"
#include "platform/wide_text_windows.h"
#include "res/dialog_templates.h"
#include "res/resource_library.h"

namespace {

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return platform::Utf8FromWide(text);
}

std::string ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return platform::Utf8FromWide(name);
}

DWORD Style(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
}

INT_PTR CALLBACK QuietProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

struct Language {
    const char* name;
    DialogTemplateSet dialogs;
};

std::vector<Language> Languages() {
    std::vector<Language> languages = {{"German", GermanDialogTemplates()}};
    if (const LumikartaResourceTable* english =
            LoadEnglishResourceLibrary(platform::ProgramFile().parent_path())) {
        languages.push_back({"English", {english->dialogs, english->dialogCount}});
    }
    return languages;
}

// What each control kind must become, and the template styles that must reach the window.
struct KindClass {
    uint32_t kind;
    const char* className;
};
constexpr KindClass kClasses[] = {
    {LUMIKARTA_CONTROL_LABEL, "Static"},
    {LUMIKARTA_CONTROL_EDIT, "Edit"},
    {LUMIKARTA_CONTROL_LIST_BOX, "ListBox"},
    {LUMIKARTA_CONTROL_COMBO_BOX, "ComboBox"},
    {LUMIKARTA_CONTROL_DROP_DOWN_LIST, "ComboBox"},
    {LUMIKARTA_CONTROL_PUSH_BUTTON, "Button"},
    {LUMIKARTA_CONTROL_GROUP_BOX, "Button"},
    {LUMIKARTA_CONTROL_PROGRESS_BAR, "msctls_progress32"},
    {LUMIKARTA_CONTROL_ICON, "Static"},
};

struct StyleRule {
    uint32_t kind;
    // Zero: the window style holds the bits whatever the template's flags.
    uint32_t templateStyle;
    DWORD windowStyle;
    // The bits within which windowStyle is compared (a value rather than flags, such as SS_ICON).
    DWORD mask;
};
constexpr StyleRule kStyleRules[] = {
    {LUMIKARTA_CONTROL_LABEL, LUMIKARTA_STYLE_NOTIFY, SS_NOTIFY, SS_NOTIFY},
    {LUMIKARTA_CONTROL_EDIT, LUMIKARTA_STYLE_READ_ONLY, ES_READONLY, ES_READONLY},
    {LUMIKARTA_CONTROL_EDIT, LUMIKARTA_STYLE_AUTO_HSCROLL, ES_AUTOHSCROLL, ES_AUTOHSCROLL},
    {LUMIKARTA_CONTROL_EDIT, LUMIKARTA_STYLE_MULTI_LINE, ES_MULTILINE, ES_MULTILINE},
    {LUMIKARTA_CONTROL_EDIT, LUMIKARTA_STYLE_WANT_RETURN, ES_WANTRETURN, ES_WANTRETURN},
    {LUMIKARTA_CONTROL_EDIT, LUMIKARTA_STYLE_VSCROLL, WS_VSCROLL, WS_VSCROLL},
    {LUMIKARTA_CONTROL_LIST_BOX, LUMIKARTA_STYLE_SORTED, LBS_SORT, LBS_SORT},
    {LUMIKARTA_CONTROL_LIST_BOX, LUMIKARTA_STYLE_NO_SELECTION, LBS_NOSEL, LBS_NOSEL},
    {LUMIKARTA_CONTROL_LIST_BOX, LUMIKARTA_STYLE_NOTIFY, LBS_NOTIFY, LBS_NOTIFY},
    {LUMIKARTA_CONTROL_COMBO_BOX, 0, CBS_DROPDOWN, 3},
    {LUMIKARTA_CONTROL_COMBO_BOX, LUMIKARTA_STYLE_AUTO_HSCROLL, CBS_AUTOHSCROLL, CBS_AUTOHSCROLL},
    {LUMIKARTA_CONTROL_DROP_DOWN_LIST, 0, CBS_DROPDOWNLIST, 3},
    {LUMIKARTA_CONTROL_DROP_DOWN_LIST, LUMIKARTA_STYLE_SORTED, CBS_SORT, CBS_SORT},
    {LUMIKARTA_CONTROL_PUSH_BUTTON, LUMIKARTA_STYLE_DEFAULT_BUTTON, BS_DEFPUSHBUTTON, BS_TYPEMASK},
    {LUMIKARTA_CONTROL_GROUP_BOX, 0, BS_GROUPBOX, BS_TYPEMASK},
    {LUMIKARTA_CONTROL_ICON, 0, SS_ICON, SS_TYPEMASK},
};

// The control's place and size in pixels, each converted from dialog units on its own, as the dialog
// manager converts them: left, top, width, height.
RECT TemplatePixels(HWND dialog, int16_t x, int16_t y, int16_t width, int16_t height) {
    RECT rect = {x, y, width, height};
    MapDialogRect(dialog, &rect);
    return rect;
}

RECT RectInDialog(HWND dialog, HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectControlAsTemplated(HWND dialog, HWND window, const LumikartaDialogControl& control) {
    EXPECT_EQ(GetDlgCtrlID(window), control.id);
    for (const KindClass& kindClass : kClasses) {
        if (kindClass.kind == control.kind) {
            EXPECT_STREQ(ClassName(window).c_str(), kindClass.className);
        }
    }
    const DWORD style = Style(window);
    for (const StyleRule& rule : kStyleRules) {
        if (rule.kind == control.kind) {
            const bool wanted = rule.templateStyle == 0 || (control.style & rule.templateStyle) != 0;
            EXPECT_EQ((style & rule.mask) == rule.windowStyle, wanted) << std::hex << rule.windowStyle;
        }
    }
    const bool tabStop =
        control.kind != LUMIKARTA_CONTROL_LABEL && control.kind != LUMIKARTA_CONTROL_GROUP_BOX &&
        control.kind != LUMIKARTA_CONTROL_ICON && control.kind != LUMIKARTA_CONTROL_PROGRESS_BAR;
    EXPECT_EQ((style & WS_TABSTOP) != 0, tabStop);

    const RECT expected = TemplatePixels(dialog, control.x, control.y, control.width, control.height);
    const RECT actual = RectInDialog(dialog, window);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    // An icon takes the icon's size, a combo box the height of its closed field, and a list box shows
    // whole rows only.
    if (control.kind != LUMIKARTA_CONTROL_ICON) {
        EXPECT_EQ(actual.right - actual.left, expected.right);
    }
    if (control.kind != LUMIKARTA_CONTROL_ICON && control.kind != LUMIKARTA_CONTROL_COMBO_BOX &&
        control.kind != LUMIKARTA_CONTROL_DROP_DOWN_LIST && control.kind != LUMIKARTA_CONTROL_LIST_BOX) {
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
    }

    switch (control.kind) {
        case LUMIKARTA_CONTROL_LABEL:
        case LUMIKARTA_CONTROL_PUSH_BUTTON:
        case LUMIKARTA_CONTROL_GROUP_BOX:
            EXPECT_EQ(WindowText(window), control.text);
            break;
        case LUMIKARTA_CONTROL_COMBO_BOX:
        case LUMIKARTA_CONTROL_DROP_DOWN_LIST:
            // A sorted list puts them in its own order.
            ASSERT_EQ(SendMessageW(window, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(control.itemCount));
            for (uint32_t i = 0; i < control.itemCount; ++i) {
                const std::wstring item = platform::WideFromUtf8(control.items[i]);
                const LRESULT index = SendMessageW(window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(item.c_str()));
                ASSERT_NE(index, CB_ERR) << control.items[i];
                if ((control.style & LUMIKARTA_STYLE_SORTED) == 0) {
                    EXPECT_EQ(index, static_cast<LRESULT>(i));
                }
            }
            break;
        case LUMIKARTA_CONTROL_ICON:
            EXPECT_NE(SendMessageW(window, STM_GETICON, 0, 0), 0);
            break;
        default:
            break;
    }
}

TEST(TemplateDialogWindows, EveryDialogOfBothLanguagesHasItsControlsWhereTheTemplatePutsThem) {
    const std::vector<Language> languages = Languages();
    ASSERT_EQ(languages.size(), 2u) << "the English library is not beside the tests";
    for (const Language& language : languages) {
        for (const LumikartaDialogTemplate& dialogTemplate :
             std::span(language.dialogs.dialogs, language.dialogs.count)) {
            SCOPED_TRACE(std::string(language.name) + " " + dialogTemplate.caption);
            HWND dialog = CreateTemplateDialog(dialogTemplate, nullptr, QuietProcedure, 0);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(WindowText(dialog), dialogTemplate.caption);
            EXPECT_EQ((Style(dialog) & WS_SYSMENU) != 0,
                      (dialogTemplate.style & LUMIKARTA_DIALOG_SYSTEM_MENU) != 0);
            EXPECT_EQ((GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0,
                      (dialogTemplate.style & LUMIKARTA_DIALOG_APP_WINDOW) != 0);
            LOGFONTW font = {};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_EQ(platform::Utf8FromWide(font.lfFaceName), dialogTemplate.fontName);
            RECT client = {};
            GetClientRect(dialog, &client);
            const RECT size = TemplatePixels(dialog, 0, 0, dialogTemplate.width, dialogTemplate.height);
            EXPECT_EQ(client.right, size.right);
            EXPECT_EQ(client.bottom, size.bottom);

            HWND window = GetWindow(dialog, GW_CHILD);
            for (const LumikartaDialogControl& control :
                 std::span(dialogTemplate.controls, dialogTemplate.controlCount)) {
                SCOPED_TRACE(std::to_string(control.id) + " " + control.text);
                ASSERT_NE(window, nullptr) << "control missing";
                ExpectControlAsTemplated(dialog, window, control);
                window = GetWindow(window, GW_HWNDNEXT);
            }
            EXPECT_EQ(window, nullptr) << "more controls than the template has";
            DestroyWindow(dialog);
        }
    }
}

TEST(TemplateDialogWindows, UnknownControlKindBecomesALabel) {
    const LumikartaDialogControl controls[] = {{7, 99, "?", 1, 2, 30, 8, 0, 0, nullptr, 0}};
    const LumikartaDialogTemplate dialogTemplate = {1, "Fremd", "MS Shell Dlg", 8, 50, 20, 0, controls, 1};
    HWND dialog = CreateTemplateDialog(dialogTemplate, nullptr, QuietProcedure, 0);
    ASSERT_NE(dialog, nullptr);
    HWND control = GetDlgItem(dialog, 7);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassName(control), "Static");
    DestroyWindow(dialog);
}

}  // namespace
