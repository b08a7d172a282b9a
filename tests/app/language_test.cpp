#include <gtest/gtest.h>

#include "app/language.h"
#include "support/scoped_env.h"
#include "support/scoped_system_registry.h"

namespace {

// The user hive with the language value as the main window stores it.
std::string StoredValue(const std::string& data) {
    return "[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n\"Language\"=\"" + data + "\"\n";
}

// What is stored decides when it reads as a code other than -1; otherwise the first set variable.
TEST(DecideLanguage, StoredCodeFirstThenTheUserInterfaceLanguage) {
    struct Env {
        const char* language = nullptr;
        const char* all = nullptr;
        const char* messages = nullptr;
        const char* lang = nullptr;
    };
    struct Case {
        const char* label;
        std::string user;
        Env env;
        int expected;
    };
    const Case cases[] = {
        {"nothing stored, German user", "", {.messages = "de_AT.UTF-8", .lang = "en_US.UTF-8"}, 0},
        {"nothing stored, other user", "", {.lang = "fr_FR.UTF-8"}, 1},
        {"stored German on an English system", StoredValue("0"), {.lang = "en_US.UTF-8"}, 0},
        {"no selection stored", StoredValue("-1"), {.lang = "de_CH.UTF-8"}, 0},
        {"unknown code is carried along", StoredValue("2"), {.lang = "de_DE.UTF-8"}, 2},
        {"letters read as 0", StoredValue("zwei"), {.lang = "en_GB.UTF-8"}, 0},
        {"leading blanks and trailing text", StoredValue("  1 (English)"), {.lang = "de_DE.UTF-8"}, 1},
        {"beyond the int range", StoredValue("99999999999"), {.lang = "de_DE.UTF-8"}, 2147483647},
        {"longer than 100 bytes", StoredValue("1" + std::string(120, ' ')), {.lang = "de_DE.UTF-8"}, 0},
        {"key without the value",
         "[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n",
         {.lang = "it_IT"},
         1},
        {"LANGUAGE first", "", {.language = "de:en", .all = "en_US.UTF-8"}, 0},
        {"an empty LANGUAGE counts as not set",
         "",
         {.language = "", .all = "de_DE@euro", .lang = "en_US"},
         0},
        {"a language that only starts with de", "", {.lang = "den_DK"}, 1},
        {"LC_ALL before LANG", "", {.all = "C", .lang = "de_DE.UTF-8"}, 1},
        {"no variable at all", "", {}, 1},
    };
    const auto value = [](const char* text) {
        return text ? std::optional<std::string>(text) : std::nullopt;
    };
    for (const Case& c : cases) {
        ScopedSystemRegistry registry("", c.user);
        ScopedEnv language("LANGUAGE", value(c.env.language));
        ScopedEnv all("LC_ALL", value(c.env.all));
        ScopedEnv messages("LC_MESSAGES", value(c.env.messages));
        ScopedEnv lang("LANG", value(c.env.lang));
        EXPECT_EQ(DecideLanguage(), c.expected) << c.label;
    }
}

}  // namespace
