#pragma once

#include <cstdint>
#include <iterator>

#include "res/application_icon.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/resource_table.h"

// The icon is the same picture in every language.
inline const LumikartaImageResource kLanguageIcons[] = {
    {IDR_MAINFRAME, kApplicationIconPng, kApplicationIconPngSize},
};

// One language's table from its strings and dialogs. The caller keeps it for the life of the
// process: the table points into both.
template <uint32_t StringCount>
LumikartaResourceTable MakeLanguageResourceTable(const LumikartaStringResource (&strings)[StringCount],
                                                 DialogTemplateSet dialogs) {
    return {kResourceTableVersion,
            strings,
            StringCount,
            dialogs.dialogs,
            dialogs.count,
            kLanguageIcons,
            static_cast<uint32_t>(std::size(kLanguageIcons))};
}
