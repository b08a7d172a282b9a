#pragma once

#include <cstdint>

// The resources of one user-interface language as plain data, so a language can live in a separate
// library that exports a single function returning its table.
extern "C" {

struct LumikartaStringResource {
    uint32_t id;
    // UTF-8.
    const char* text;
};

// What a dialog template's control becomes.
enum LumikartaControlKind : uint32_t {
    LUMIKARTA_CONTROL_LABEL = 1,
    LUMIKARTA_CONTROL_EDIT,
    LUMIKARTA_CONTROL_LIST_BOX,
    // A combo box whose edit field the user may type into.
    LUMIKARTA_CONTROL_COMBO_BOX,
    // A combo box that only offers its items.
    LUMIKARTA_CONTROL_DROP_DOWN_LIST,
    LUMIKARTA_CONTROL_PUSH_BUTTON,
    LUMIKARTA_CONTROL_GROUP_BOX,
    LUMIKARTA_CONTROL_PROGRESS_BAR,
    // Shows the icon resource named by imageId.
    LUMIKARTA_CONTROL_ICON,
};

// Style flags of a control; they mean what the classic Windows control styles of the same name mean,
// but for the ones said otherwise.
enum LumikartaControlStyle : uint32_t {
    LUMIKARTA_STYLE_READ_ONLY = 0x0001,
    LUMIKARTA_STYLE_AUTO_HSCROLL = 0x0002,
    // Lists and combo boxes insert added items in alphabetical order.
    LUMIKARTA_STYLE_SORTED = 0x0004,
    // A list box whose rows cannot be selected.
    LUMIKARTA_STYLE_NO_SELECTION = 0x0008,
    LUMIKARTA_STYLE_VSCROLL = 0x0010,
    LUMIKARTA_STYLE_DEFAULT_BUTTON = 0x0020,
    // A list box that reports selection changes, a label that reports clicks.
    LUMIKARTA_STYLE_NOTIFY = 0x0040,
    LUMIKARTA_STYLE_MULTI_LINE = 0x0080,
    // In a multi-line edit the Return key starts a new line instead of pressing the default button.
    LUMIKARTA_STYLE_WANT_RETURN = 0x0100,
    // Not a Windows style: a label whose text, wrapped at word ends, may need more lines than it has. Its
    // last line then ends after a word with "…", and the whole text shows as its tooltip.
    LUMIKARTA_STYLE_ELLIPSIS_TOOLTIP = 0x0200,
};

// Style flags of a dialog.
enum LumikartaDialogStyle : uint32_t {
    // Caption bar with the window menu and the close box.
    LUMIKARTA_DIALOG_SYSTEM_MENU = 0x0001,
    // Fixed size; no minimise or maximise box.
    LUMIKARTA_DIALOG_MODAL_FRAME = 0x0002,
    LUMIKARTA_DIALOG_CENTER = 0x0004,
    LUMIKARTA_DIALOG_SET_FOREGROUND = 0x0008,
    // A window of its own on the task bar.
    LUMIKARTA_DIALOG_APP_WINDOW = 0x0010,
};

// Positions and sizes are in dialog units of the dialog's font.
struct LumikartaDialogControl {
    // -1: a control without an id of its own (a group box or a plain label).
    int32_t id;
    uint32_t kind;
    // UTF-8; the caption of a label, button or group box, empty for the others.
    const char* text;
    int16_t x;
    int16_t y;
    int16_t width;
    int16_t height;
    uint32_t style;
    // For LUMIKARTA_CONTROL_ICON: the id of the icon resource; 0 otherwise.
    uint32_t imageId;
    // Initial items of a list or combo box, UTF-8, in order; null when there are none.
    const char* const* items;
    uint32_t itemCount;
};

struct LumikartaDialogTemplate {
    uint32_t id;
    const char* caption;
    // The face and point size the dialog units are measured in.
    const char* fontName;
    uint16_t fontPointSize;
    int16_t width;
    int16_t height;
    uint32_t style;
    // In tab order.
    const LumikartaDialogControl* controls;
    uint32_t controlCount;
};

struct LumikartaImageResource {
    uint32_t id;
    // A PNG file's bytes.
    const unsigned char* png;
    uint32_t size;
};

struct LumikartaResourceTable {
    // kResourceTableVersion of the library's build; a library of another layout is not used.
    uint32_t version;
    const LumikartaStringResource* strings;
    uint32_t stringCount;
    const LumikartaDialogTemplate* dialogs;
    uint32_t dialogCount;
    const LumikartaImageResource* icons;
    uint32_t iconCount;
};

#ifdef _WIN32
#define LUMIKARTA_RESOURCES_EXPORT __declspec(dllexport)
#else
#define LUMIKARTA_RESOURCES_EXPORT __attribute__((visibility("default")))
#endif

// The one function a language library exports.
LUMIKARTA_RESOURCES_EXPORT const LumikartaResourceTable* LumikartaSystemInfoResources(void);
typedef const LumikartaResourceTable* (*LumikartaResourcesFunction)(void);
}

inline constexpr uint32_t kResourceTableVersion = 2;
