#include <gtest/gtest.h>

#include "app/language.h"
#include "res/german_resources.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "support/scoped_env.h"
#include "support/scoped_system_registry.h"
#include "support/temp_dir.h"

namespace {

// The user hive with the language value as the main window stores it.
std::string StoredValue(const std::string& data) {
    return "[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n\"Language\"=\"" + data + "\"\n";
}

TEST(DecideLanguage, StoredCodeFirstThenTheUserInterfaceLanguage) {
    struct Case {
        const char* label;
        std::string user;
        const char* locale;
        int expected;
    };
    const Case cases[] = {
        {"nothing stored, German user", "", "de_AT.UTF-8", 0},
        {"nothing stored, other user", "", "fr_FR.UTF-8", 1},
        {"stored German on an English system", StoredValue("0"), "en_US.UTF-8", 0},
        {"stored English on a German system", StoredValue("1"), "de_DE.UTF-8", 1},
        {"no selection stored", StoredValue("-1"), "de_CH.UTF-8", 0},
        {"unknown code is carried along", StoredValue("2"), "de_DE.UTF-8", 2},
        {"letters read as 0", StoredValue("zwei"), "en_GB.UTF-8", 0},
        {"leading blanks and trailing text", StoredValue("  1 (English)"), "de_DE.UTF-8", 1},
        {"beyond the int range", StoredValue("99999999999"), "de_DE.UTF-8", 2147483647},
        {"longer than 100 bytes", StoredValue("1" + std::string(120, ' ')), "de_DE.UTF-8", 0},
        {"key without the value", "[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n", "it_IT",
         1},
    };
    for (const Case& c : cases) {
        ScopedSystemRegistry registry("", c.user);
        ScopedEnv language("LANGUAGE", std::nullopt);
        ScopedEnv all("LC_ALL", std::nullopt);
        ScopedEnv messages("LC_MESSAGES", c.locale);
        ScopedEnv lang("LANG", "en_US.UTF-8");
        EXPECT_EQ(DecideLanguage(), c.expected) << c.label;
    }
}

TEST(UserInterfaceLanguage, FirstSetVariableDecides) {
    struct Case {
        const char* language;
        const char* all;
        const char* lang;
        int expected;
    };
    const Case cases[] = {
        {"de:en", "en_US.UTF-8", nullptr, 0}, {"", "de_DE@euro", "en_US", 0},
        {nullptr, nullptr, "de", 0},          {nullptr, nullptr, "den_DK", 1},
        {nullptr, "C", "de_DE.UTF-8", 1},     {nullptr, nullptr, nullptr, 1},
    };
    ScopedSystemRegistry registry("");
    ScopedEnv messages("LC_MESSAGES", std::nullopt);
    for (const Case& c : cases) {
        ScopedEnv language("LANGUAGE", c.language ? std::optional<std::string>(c.language) : std::nullopt);
        ScopedEnv all("LC_ALL", c.all ? std::optional<std::string>(c.all) : std::nullopt);
        ScopedEnv lang("LANG", c.lang ? std::optional<std::string>(c.lang) : std::nullopt);
        EXPECT_EQ(DecideLanguage(), c.expected)
            << (c.language ? c.language : "") << "|" << (c.all ? c.all : "");
    }
}

TEST(ApplyLanguage, EnglishComesFromTheLibraryBesideTheProgram) {
    struct Case {
        int code;
        bool libraryPresent;
        const char* memoryLine;
    };
    const Case cases[] = {
        {1, true, "Physical memory: %.2lf MB, page file: %.2lf MB"},
        {1, false, "Phys. Speicher: %.2lf MB, Auslagerungsdatei: %.2lf MB"},
        {0, true, "Phys. Speicher: %.2lf MB, Auslagerungsdatei: %.2lf MB"},
        {2, true, "Phys. Speicher: %.2lf MB, Auslagerungsdatei: %.2lf MB"},
    };
    TempDir emptyFolder;
    for (const Case& c : cases) {
        ApplyLanguage(c.code, c.libraryPresent ? LUMIKARTA_PROGRAM_DIR : emptyFolder.Path());
        EXPECT_EQ(LoadResString(IDS_MEMORY_LINE), c.memoryLine) << c.code << " " << c.libraryPresent;
        UseResources(GermanResources());
    }
}

}  // namespace
