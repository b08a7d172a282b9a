#pragma once

#include <windows.h>

#include <vector>

#include "res/resource_table.h"

// A dialog template as the in-memory DLGTEMPLATEEX the dialog manager reads: the template's caption,
// font, size and styles, and one item per control in template order (so the tab order and the
// z-order are the template's), with the classic window class and styles of the control's kind.
// Initial list items are not part of the format; the dialog adds them when it opens.
// The words start DWORD-aligned, as the dialog manager requires of the whole template.
// A control kind this build does not know (from a language library of another build) becomes a
// label, which keeps the dialog usable.
std::vector<WORD> DialogTemplateBytes(const LumikartaDialogTemplate& dialogTemplate);
