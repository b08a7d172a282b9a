#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "res/control_ids.h"
#include "res/german_resources.h"
#include "res/resource_ids.h"
#include "res/resource_library.h"

namespace {

// The controls of the English templates that may be wider than their German ones, because the
// English words need the room: (dialog, control).
const std::set<std::pair<uint32_t, int32_t>> kWiderInEnglish = {
    {IDD_LUMIKARTASYSTEMINFO_DIALOG, main_window::kGraphicsLabel},
    {IDD_LUMIKARTASYSTEMINFO_DIALOG, main_window::kOSLabel},
    {IDD_LUMIKARTASYSTEMINFO_DIALOG, main_window::kPrintersLabel},
};

// Everything of a dialog but its texts and the widths that may differ, one line per control, so a
// failure names what differs.
std::vector<std::string> Layout(const LumikartaDialogTemplate& dialog) {
    std::vector<std::string> lines = {"dialog " + std::to_string(dialog.id) + " " + dialog.fontName + " " +
                                      std::to_string(dialog.fontPointSize) + " " +
                                      std::to_string(dialog.width) + "x" + std::to_string(dialog.height) +
                                      " style " + std::to_string(dialog.style)};
    for (const LumikartaDialogControl& c : std::span(dialog.controls, dialog.controlCount)) {
        const bool widened = kWiderInEnglish.contains({dialog.id, c.id});
        lines.push_back("control " + std::to_string(c.id) + " kind " + std::to_string(c.kind) + " at " +
                        std::to_string(c.x) + "," + std::to_string(c.y) + " size " +
                        (widened ? std::string("?") : std::to_string(c.width)) + "x" +
                        std::to_string(c.height) + " style " + std::to_string(c.style) + " icon " +
                        std::to_string(c.imageId) + " items " + std::to_string(c.itemCount));
    }
    return lines;
}

std::vector<uint32_t> StringIds(const LumikartaResourceTable& table) {
    std::vector<uint32_t> ids;
    for (const LumikartaStringResource& entry : std::span(table.strings, table.stringCount)) {
        ids.push_back(entry.id);
    }
    return ids;
}

// The English library must replace every German resource, or a German text or window would be left
// in the English program; and its windows are the German ones with other words, so a change of the
// layout in one language that the other misses fails here.
TEST(ResourceTablesTest, EnglishLibraryHasEveryGermanResourceWithTheSameLayout) {
    const LumikartaResourceTable* english = LoadEnglishResourceLibrary(LUMIKARTA_PROGRAM_DIR);
    ASSERT_NE(english, nullptr);
    const LumikartaResourceTable& german = GermanResources();
    EXPECT_EQ(StringIds(*english), StringIds(german));
    ASSERT_EQ(english->dialogCount, german.dialogCount);
    for (uint32_t i = 0; i < german.dialogCount; ++i) {
        EXPECT_EQ(Layout(english->dialogs[i]), Layout(german.dialogs[i]));
    }
    // The listed controls are the ones wider in English: one as wide in both no longer needs its
    // exception.
    std::set<std::pair<uint32_t, int32_t>> wider;
    for (uint32_t i = 0; i < german.dialogCount; ++i) {
        for (uint32_t j = 0; j < german.dialogs[i].controlCount && j < english->dialogs[i].controlCount;
             ++j) {
            const LumikartaDialogControl& g = german.dialogs[i].controls[j];
            if (english->dialogs[i].controls[j].width > g.width) {
                wider.insert({german.dialogs[i].id, g.id});
            }
        }
    }
    EXPECT_EQ(wider, kWiderInEnglish);
}

}  // namespace
