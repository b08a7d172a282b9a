#include "hosts/win32/dialog_template_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <span>
#include <string>
#include <utility>

#include "platform/wide_text_windows.h"

namespace {

bool HasStyle(uint32_t styles, uint32_t style) {
    return (styles & style) != 0;
}

DWORD StyleIf(uint32_t styles, uint32_t style, DWORD win32Style) {
    return HasStyle(styles, style) ? win32Style : 0;
}

DWORD EditStyle(uint32_t styles) {
    return WS_BORDER | WS_TABSTOP | ES_LEFT | StyleIf(styles, LUMIKARTA_STYLE_READ_ONLY, ES_READONLY) |
           StyleIf(styles, LUMIKARTA_STYLE_AUTO_HSCROLL, ES_AUTOHSCROLL) |
           StyleIf(styles, LUMIKARTA_STYLE_MULTI_LINE, ES_MULTILINE) |
           StyleIf(styles, LUMIKARTA_STYLE_WANT_RETURN, ES_WANTRETURN) |
           StyleIf(styles, LUMIKARTA_STYLE_VSCROLL, WS_VSCROLL);
}

DWORD ListBoxStyle(uint32_t styles) {
    return WS_BORDER | WS_TABSTOP | StyleIf(styles, LUMIKARTA_STYLE_SORTED, LBS_SORT) |
           StyleIf(styles, LUMIKARTA_STYLE_NO_SELECTION, LBS_NOSEL) |
           StyleIf(styles, LUMIKARTA_STYLE_NOTIFY, LBS_NOTIFY) |
           StyleIf(styles, LUMIKARTA_STYLE_VSCROLL, WS_VSCROLL);
}

DWORD ComboBoxStyle(uint32_t styles, DWORD kind) {
    return kind | WS_TABSTOP | StyleIf(styles, LUMIKARTA_STYLE_SORTED, CBS_SORT) |
           StyleIf(styles, LUMIKARTA_STYLE_AUTO_HSCROLL, CBS_AUTOHSCROLL) |
           StyleIf(styles, LUMIKARTA_STYLE_VSCROLL, WS_VSCROLL);
}

DWORD DialogStyle(uint32_t styles) {
    return DS_SETFONT | WS_POPUP | WS_CAPTION | StyleIf(styles, LUMIKARTA_DIALOG_SYSTEM_MENU, WS_SYSMENU) |
           StyleIf(styles, LUMIKARTA_DIALOG_MODAL_FRAME, DS_MODALFRAME) |
           StyleIf(styles, LUMIKARTA_DIALOG_CENTER, DS_CENTER) |
           StyleIf(styles, LUMIKARTA_DIALOG_SET_FOREGROUND, DS_SETFOREGROUND);
}

struct Win32ControlClass {
    const wchar_t* className;
    DWORD style;
};

Win32ControlClass ControlClassOf(const LumikartaDialogControl& control) {
    const uint32_t styles = control.style;
    switch (control.kind) {
        case LUMIKARTA_CONTROL_LABEL:
            return {WC_STATICW, SS_LEFT | StyleIf(styles, LUMIKARTA_STYLE_NOTIFY, SS_NOTIFY)};
        case LUMIKARTA_CONTROL_EDIT:
            return {WC_EDITW, EditStyle(styles)};
        case LUMIKARTA_CONTROL_LIST_BOX:
            return {WC_LISTBOXW, ListBoxStyle(styles)};
        case LUMIKARTA_CONTROL_COMBO_BOX:
            return {WC_COMBOBOXW, ComboBoxStyle(styles, CBS_DROPDOWN)};
        case LUMIKARTA_CONTROL_DROP_DOWN_LIST:
            return {WC_COMBOBOXW, ComboBoxStyle(styles, CBS_DROPDOWNLIST)};
        case LUMIKARTA_CONTROL_PUSH_BUTTON:
            return {WC_BUTTONW,
                    WS_TABSTOP | StyleIf(styles, LUMIKARTA_STYLE_DEFAULT_BUTTON, BS_DEFPUSHBUTTON)};
        case LUMIKARTA_CONTROL_GROUP_BOX:
            return {WC_BUTTONW, BS_GROUPBOX};
        case LUMIKARTA_CONTROL_PROGRESS_BAR:
            return {PROGRESS_CLASSW, WS_BORDER};
        case LUMIKARTA_CONTROL_ICON:
            return {WC_STATICW, SS_ICON};
    }
    return {WC_STATICW, SS_LEFT};
}

// Appends the words of a DLGTEMPLATEEX in order.
class TemplateWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Short(int16_t value) { Word(static_cast<WORD>(value)); }
    // A zero-terminated UTF-16 text; a missing text is an empty one.
    void Text(const char* utf8) {
        for (const wchar_t unit : platform::WideFromUtf8(utf8 ? utf8 : "")) {
            Word(static_cast<WORD>(unit));
        }
        Word(0);
    }
    // The 0xFFFF marker and the number of a predefined resource (an icon of the module).
    void Ordinal(WORD number) {
        Word(0xFFFF);
        Word(number);
    }
    void AlignToDword() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

void WriteControl(TemplateWriter& writer, const LumikartaDialogControl& control) {
    const Win32ControlClass controlClass = ControlClassOf(control);
    writer.AlignToDword();
    writer.Dword(0);  // help id
    writer.Dword(0);  // extended style
    writer.Dword(WS_CHILD | WS_VISIBLE | controlClass.style);
    writer.Short(control.x);
    writer.Short(control.y);
    writer.Short(control.width);
    writer.Short(control.height);
    writer.Dword(static_cast<DWORD>(control.id));
    for (const wchar_t* unit = controlClass.className; *unit != 0; ++unit) {
        writer.Word(static_cast<WORD>(*unit));
    }
    writer.Word(0);
    // Icons are numbered resources of the module; the dialog sets the table's picture when it opens.
    if (control.kind == LUMIKARTA_CONTROL_ICON && control.imageId <= 0xFFFF) {
        writer.Ordinal(static_cast<WORD>(control.imageId));
    } else {
        writer.Text(control.text);
    }
    writer.Word(0);  // no creation data
}

}  // namespace

std::vector<WORD> DialogTemplateBytes(const LumikartaDialogTemplate& dialogTemplate) {
    // The item count is a WORD, and it must match the items that follow.
    const std::span<const LumikartaDialogControl> controls(
        dialogTemplate.controls, std::min<uint32_t>(dialogTemplate.controlCount, 0xFFFF));
    TemplateWriter writer;
    writer.Word(1);       // version
    writer.Word(0xFFFF);  // the extended form
    writer.Dword(0);      // help id
    writer.Dword(HasStyle(dialogTemplate.style, LUMIKARTA_DIALOG_APP_WINDOW) ? WS_EX_APPWINDOW : 0);
    writer.Dword(DialogStyle(dialogTemplate.style));
    writer.Word(static_cast<WORD>(controls.size()));
    writer.Short(0);  // x and y: the dialog manager places it (DS_CENTER) or the owner does
    writer.Short(0);
    writer.Short(dialogTemplate.width);
    writer.Short(dialogTemplate.height);
    writer.Word(0);  // no menu
    writer.Word(0);  // the dialog class
    writer.Text(dialogTemplate.caption);
    writer.Word(dialogTemplate.fontPointSize);
    writer.Word(FW_NORMAL);
    writer.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
    writer.Text(dialogTemplate.fontName);
    for (const LumikartaDialogControl& control : controls) {
        WriteControl(writer, control);
    }
    return writer.Take();
}
