#include <gtest/gtest.h>

#include "app/lumikarta_system_info_app.h"
#include "core/language.h"
#include "dialogs/lumikarta_system_info_dlg.h"
#include "helpers/fake_system_root.h"
#include "helpers/scoped_env.h"
#include "helpers/scoped_system_registry.h"
#include "helpers/temp_dir.h"
#include "res/control_ids.h"
#include "res/german_resources.h"
#include "res/resources.h"

namespace {

// The user hive with the language value as the main window stores it.
std::string StoredValue(const std::string& data) {
    return "[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n\"Language\"=\"" + data + "\"\n";
}

// What is stored decides when it reads as a code other than -1; otherwise the first set variable.
TEST(DecideLanguage, StoredCodeFirstThenTheUserInterfaceLanguage) {
    struct Env {
        std::optional<std::string> language = {}, all = {}, messages = {}, lang = {};
    };
    struct Case {
        const char* label;
        std::string user;
        Env env;
        int expected;
    };
    const Case cases[] = {
        {"nothing stored, German user", "", {.messages = "de_AT.UTF-8", .lang = "en_US.UTF-8"}, 0},
        {"no selection stored", StoredValue("-1"), {.lang = "de_CH.UTF-8"}, 0},
        {"letters read as 0", StoredValue("zwei"), {.lang = "en_GB.UTF-8"}, 0},
        {"leading blanks and trailing text", StoredValue("  1 (English)"), {.lang = "de_DE.UTF-8"}, 1},
        {"beyond the int range", StoredValue("99999999999"), {.lang = "de_DE.UTF-8"}, 2147483647},
        {"longer than 100 bytes", StoredValue("1" + std::string(120, ' ')), {.lang = "de_DE.UTF-8"}, 0},
        {"LANGUAGE first", "", {.language = "de:en", .all = "en_US.UTF-8"}, 0},
        {"empty LANGUAGE as not set", "", {.language = "", .all = "de_DE@euro", .lang = "en_US"}, 0},
        {"a language that only starts with de", "", {.lang = "den_DK"}, 1},
        {"no variable at all", "", {}, 1},
    };
    for (const Case& c : cases) {
        ScopedSystemRegistry registry("", c.user);
        ScopedEnv language("LANGUAGE", c.env.language);
        ScopedEnv all("LC_ALL", c.env.all);
        ScopedEnv messages("LC_MESSAGES", c.env.messages);
        ScopedEnv lang("LANG", c.env.lang);
        EXPECT_EQ(DecideLanguage(), c.expected) << c.label;
    }
}

// A start-up that looks at the main window instead of waiting for the user.
class LookingApp : public CLumikartaSystemInfoApp {
public:
    using CLumikartaSystemInfoApp::CLumikartaSystemInfoApp;

    std::string productsLabel;
    int comboIndex = -2;

protected:
    void RunMainWindow(CLumikartaSystemInfoDlg& dialog) override {
        dialog.Create();
        productsLabel = dialog.Host().GetText(main_window::kProductsLabel);
        comboIndex = dialog.Host().Selection(main_window::kLanguage);
        dialog.OnCancel();
    }
};

// A missing library leaves German texts while the combo box still shows the code, and a stored code
// it has no entry for selects none; the library's own texts are the program run's test.
TEST(StartUpTest, DecidedLanguageAndLibraryDecideTextsAndChoice) {
    TempDir withoutLibrary;
    const struct {
        const char* stored;
        bool libraryThere;
        const char* productsLabel;
        int comboIndex;
    } cases[] = {
        {"1", false, "Produkte", 1},
        {"2", true, "Produkte", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + (c.libraryThere ? "" : " without library"));
        FakeSystemRoot emptyMachine;
        TempDir files;
        ScopedEnv noPrintServer("CUPS_SERVER", files.FilePath("no-print-server.sock"));
        ScopedEnv appData("LUMIKARTA_COMMON_APPDATA", files.FilePath("appdata"));
        ScopedSystemRegistry registry("", StoredValue(c.stored));

        LookingApp app(c.libraryThere ? std::filesystem::path(LUMIKARTA_PROGRAM_DIR) : withoutLibrary.Path());
        EXPECT_FALSE(app.InitInstance());
        UseResources(GermanResources());

        EXPECT_EQ(app.productsLabel, c.productsLabel);
        EXPECT_EQ(app.comboIndex, c.comboIndex);
    }
}

}  // namespace
