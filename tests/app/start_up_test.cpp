#include <gtest/gtest.h>

#include "app/lumikarta_system_info_app.h"
#include "app/lumikarta_system_info_dlg.h"
#include "res/control_ids.h"
#include "res/german_resources.h"
#include "res/resources.h"
#include "support/fake_system_root.h"
#include "support/scoped_env.h"
#include "support/scoped_system_registry.h"
#include "support/temp_dir.h"

namespace {

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

// The stored language decides; the user's interface language only counts when nothing usable is
// stored, and a missing library leaves German texts while the combo box still shows the code.
TEST(StartUpTest, StoredLanguageAndLibraryDecideTextsAndChoice) {
    TempDir withoutLibrary;
    const struct {
        const char* stored;
        const char* locale;
        bool libraryThere;
        const char* productsLabel;
        int comboIndex;
    } cases[] = {
        {"1", "de_DE.UTF-8", false, "Produkte", 1},    {"0", "en_US.UTF-8", true, "Produkte", 0},
        {"1", "de_DE.UTF-8", true, "Products", 1},     {nullptr, "de_AT.UTF-8", true, "Produkte", 0},
        {nullptr, "en_GB.UTF-8", true, "Products", 1}, {"-1", "de_CH.UTF-8", true, "Produkte", 0},
        {"2", "en_US.UTF-8", true, "Produkte", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored ? c.stored : "(none)") + " " + c.locale);
        FakeSystemRoot emptyMachine;
        TempDir files;
        ScopedEnv noPrintServer("CUPS_SERVER", files.FilePath("no-print-server.sock"));
        ScopedEnv appData("LUMIKARTA_COMMON_APPDATA", files.FilePath("appdata"));
        ScopedEnv locale("LANG", c.locale);
        ScopedEnv language("LANGUAGE", std::nullopt);
        ScopedEnv all("LC_ALL", std::nullopt);
        ScopedEnv messages("LC_MESSAGES", std::nullopt);
        ScopedSystemRegistry registry(
            "", c.stored ? std::string("[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n"
                                       "\"LANGUAGE\"=\"") +
                               c.stored + "\"\n"
                         : "");

        LookingApp app(c.libraryThere ? std::filesystem::path(LUMIKARTA_PROGRAM_DIR) : withoutLibrary.Path());
        EXPECT_FALSE(app.InitInstance());
        UseResources(GermanResources());

        EXPECT_EQ(app.productsLabel, c.productsLabel);
        EXPECT_EQ(app.comboIndex, c.comboIndex);
    }
}

}  // namespace
