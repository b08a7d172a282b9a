#pragma once

#include <cstdint>

#include "res/resource_table.h"

// Short names for the control kinds and the style combinations the dialog templates use, so the
// tables of every language stay readable.
namespace template_styles {

constexpr uint32_t kLabel = LUMIKARTA_CONTROL_LABEL;
constexpr uint32_t kEdit = LUMIKARTA_CONTROL_EDIT;
constexpr uint32_t kListBox = LUMIKARTA_CONTROL_LIST_BOX;
constexpr uint32_t kComboBox = LUMIKARTA_CONTROL_COMBO_BOX;
constexpr uint32_t kDropDownList = LUMIKARTA_CONTROL_DROP_DOWN_LIST;
constexpr uint32_t kButton = LUMIKARTA_CONTROL_PUSH_BUTTON;
constexpr uint32_t kGroupBox = LUMIKARTA_CONTROL_GROUP_BOX;
constexpr uint32_t kProgressBar = LUMIKARTA_CONTROL_PROGRESS_BAR;
constexpr uint32_t kIcon = LUMIKARTA_CONTROL_ICON;

constexpr uint32_t kPlain = 0;
// Without auto scrolling an edit refuses typing beyond its visible width, and a read-only one cannot be
// scrolled to the end of a long hardware line.
constexpr uint32_t kEditLine = LUMIKARTA_STYLE_AUTO_HSCROLL;
constexpr uint32_t kReadOnlyLine = LUMIKARTA_STYLE_READ_ONLY | LUMIKARTA_STYLE_AUTO_HSCROLL;
constexpr uint32_t kDefault = LUMIKARTA_STYLE_DEFAULT_BUTTON;
constexpr uint32_t kLink = LUMIKARTA_STYLE_NOTIFY;
// A text of any length from a server in a label of a few lines.
constexpr uint32_t kLongText = LUMIKARTA_STYLE_ELLIPSIS_TOOLTIP;
constexpr uint32_t kInfoList =
    LUMIKARTA_STYLE_SORTED | LUMIKARTA_STYLE_NO_SELECTION | LUMIKARTA_STYLE_VSCROLL;
constexpr uint32_t kSortedDropDown = LUMIKARTA_STYLE_SORTED | LUMIKARTA_STYLE_VSCROLL;
constexpr uint32_t kTextArea =
    LUMIKARTA_STYLE_MULTI_LINE | LUMIKARTA_STYLE_VSCROLL | LUMIKARTA_STYLE_WANT_RETURN;

constexpr uint32_t kDialogBox =
    LUMIKARTA_DIALOG_SYSTEM_MENU | LUMIKARTA_DIALOG_MODAL_FRAME | LUMIKARTA_DIALOG_CENTER;

}  // namespace template_styles
