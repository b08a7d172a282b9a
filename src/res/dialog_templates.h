#pragma once

#include <cstdint>

#include "res/resource_table.h"

// The dialog templates of one language, all five, in the order of their ids.
struct DialogTemplateSet {
    const LumikartaDialogTemplate* dialogs;
    uint32_t count;
};

// Built into the program.
DialogTemplateSet GermanDialogTemplates();
// Built into the English language library.
DialogTemplateSet EnglishDialogTemplates();
