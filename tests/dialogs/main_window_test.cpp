#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>

#include "dialogs/lumikarta_system_info_dlg.h"
#include "helpers/recording_dialog_host.h"
#include "helpers/scoped_system_registry.h"
#include "helpers/temp_dir.h"
#include "platform/hive/hive_registry.h"
#include "platform/registry.h"
#include "res/control_ids.h"
#include "res/german_resources.h"
#include "res/resource_library.h"
#include "res/resources.h"

namespace {

using namespace main_window;

// The graphics lines' formats are the info lines' own test.
void CollectKnownComputer(CSystemInfo& info) {
    info.m_strCPUName = "  AMD Ryzen 7 5800X 8-Core Processor  ";
    info.m_strOS = "Debian GNU/Linux 12 (bookworm), 64-bit (kernel 6.1.0-18-amd64)";
    info.m_ullTotalPhys = 16ULL << 30;
    info.m_ullTotalPageFile = (16ULL << 30) + (1ULL << 29);
    info.m_Products = {{"Wanderkarte Alpen", {}, "2.1.0"}, {"TopoKarte Deutschland", {}, "3.0.0"}};
    info.m_Printers = {"laser", "Buero", "Farbdrucker"};
}

// The main window over a known computer instead of this one, on a recording host.
class FixtureMainWindow : public CLumikartaSystemInfoDlg {
public:
    explicit FixtureMainWindow(int language = 0,
                               std::function<void(CSystemInfo&)> collect = CollectKnownComputer)
        : CLumikartaSystemInfoDlg(std::make_unique<RecordingDialogHost>()) {
        m_nLanguage = language;
        m_collectFacts = std::move(collect);
        Create();
    }
    RecordingDialogHost& Ui() { return static_cast<RecordingDialogHost&>(Host()); }
    // The collecting thread's notice, delivered as the window's thread would.
    void ReceiveFacts() { Ui().DeliverNotices(std::chrono::seconds(30)); }
};

// The fields show the facts in their formats and are what "Info kopieren" copies, also after the
// user has emptied them; the FAQ label is a link to the FAQ page.
TEST(MainWindowTest, ShowsTheCollectedFactsCopiesTheFiveFieldsAndLinksTheFaq) {
    FixtureMainWindow window;
    RecordingDialogHost& ui = window.Ui();
    window.ReceiveFacts();
    EXPECT_EQ(ui.At(kProducts).items,
              (std::vector<std::string>{"Wanderkarte Alpen", "TopoKarte Deutschland"}));
    EXPECT_EQ(ui.At(kPrinters).items, (std::vector<std::string>{"laser", "Buero", "Farbdrucker"}));

    ui.UserClicks(kCopyInfo);
    EXPECT_EQ(ui.Seen().clipboard,
              "CPU: AMD Ryzen 7 5800X 8-Core Processor\r\n"
              "RAM: Phys. Speicher: 16384.00 MB, Auslagerungsdatei: 16896.00 MB\r\n"
              "Grafic: \r\nDriver:  ()\r\n"
              "OS: Debian GNU/Linux 12 (bookworm), 64-bit (kernel 6.1.0-18-amd64)\r\n");
    for (const int id : {kCPU, kRAM, kGraphics, kDriver, kOS}) {
        ui.UserTypes(id, "");
    }
    ui.UserClicks(kCopyInfo);
    EXPECT_EQ(ui.Seen().clipboard, "CPU: \r\nRAM: \r\nGrafic: \r\nDriver: \r\nOS: \r\n");

    ui.UserClicks(kFAQ);
    ASSERT_EQ(ui.Seen().openedUrls.size(), 1u);
    EXPECT_NE(ui.Seen().openedUrls[0].find("/service/faq.html"), std::string::npos);
}

// The window is there before its facts: until they arrive the fields are empty and neither the
// buttons nor the handlers behind them hand anything on. A window closed meanwhile waits for the
// collecting thread, which would otherwise write into a record that is gone.
TEST(MainWindowTest, CopyAndSupportWaitForTheFactsCollectedBesideTheWindow) {
    for (const bool closedBeforeTheFacts : {false, true}) {
        SCOPED_TRACE(closedBeforeTheFacts ? "closed before the facts" : "facts arrived");
        std::atomic<bool> released = false;
        FixtureMainWindow window(0, [&released](CSystemInfo& info) {
            released.wait(false);
            CollectKnownComputer(info);
        });
        RecordingDialogHost& ui = window.Ui();
        int supportForms = 0;
        ui.Seen().runChild = [&supportForms](CTemplateDialog&) { return ++supportForms, IDCANCEL; };
        const auto handOn = [&] {
            ui.UserClicks(kCopyInfo);
            ui.UserClicks(kSupport);
            window.OnCopyInfo();
            window.OnSupport();
        };

        handOn();
        EXPECT_FALSE(ui.IsEnabled(kCopyInfo));
        EXPECT_FALSE(ui.IsEnabled(kSupport));
        EXPECT_TRUE(ui.IsEnabled(kUpdates));
        EXPECT_EQ(ui.GetText(kCPU), "");
        EXPECT_FALSE(ui.Seen().clipboard);
        EXPECT_EQ(supportForms, 0);

        released = true;
        released.notify_all();
        if (closedBeforeTheFacts) {
            window.OnCancel();
            continue;
        }
        window.ReceiveFacts();
        EXPECT_TRUE(ui.IsEnabled(kCopyInfo));
        EXPECT_TRUE(ui.IsEnabled(kSupport));
        EXPECT_EQ(ui.GetText(kCPU), "AMD Ryzen 7 5800X 8-Core Processor");
        handOn();
        EXPECT_EQ(ui.Seen().clipboard->rfind("CPU: AMD Ryzen", 0), 0u);
        EXPECT_EQ(supportForms, 2);
    }
}

// The choice is stored whether or not there was one before; the question speaks the language that is
// active now, not the one just chosen. A choice that cannot be stored would come back in the old
// language after a restart: the window says so, offers no restart and shows the language it keeps.
TEST(MainWindowTest, LanguageChangeIsStoredAndRestartsOnlyOnYes) {
    const LumikartaResourceTable* english = LoadEnglishResourceLibrary(LUMIKARTA_PROGRAM_DIR);
    ASSERT_NE(english, nullptr);
    TempDir folder;
    const std::filesystem::path notAFolder = folder.WriteFile("user-folder", "a file, not a folder");
    const struct {
        const char* user;  // the user hive before; none: one that cannot be written
        int chosen;
        MessageAnswer answer;
        const LumikartaResourceTable* resources;
        const char* message;
    } cases[] = {
        {"", 1, MessageAnswer::Yes, &GermanResources(), "Die Sprachänderung erfordert einen Neustart"},
        {"[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n\"Language\"=\"1\"\n", 0,
         MessageAnswer::No, english, "The program has to be restarted"},
        {nullptr, 0, MessageAnswer::Yes, &GermanResources(),
         "Die Spracheinstellung konnte nicht gespeichert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const bool storable = c.user != nullptr;
        std::optional<ScopedSystemRegistry> registry;
        if (storable) {
            registry.emplace("", c.user);
        } else {
            platform::SetSystemRegistry(std::make_unique<platform::HiveRegistry>(
                folder.FilePath("system.reg"), notAFolder / "user.reg"));
        }
        UseResources(*c.resources);
        FixtureMainWindow window(1 - c.chosen);
        RecordingDialogHost& ui = window.Ui();
        ui.Seen().answer = c.answer;
        ui.UserSelects(kLanguage, c.chosen);
        UseResources(GermanResources());

        if (storable) {
            std::unique_ptr<platform::RegistryKey> key;
            ASSERT_EQ(platform::SystemRegistry().OpenKey(platform::RegRoot::CurrentUser,
                                                         "SOFTWARE\\Lumikarta\\Support und Update",
                                                         platform::RegAccess::Read, key),
                      platform::RegResult::Success);
            platform::RegValue stored;
            ASSERT_EQ(key->QueryValue("LANGUAGE", 100, stored), platform::RegResult::Success);
            EXPECT_EQ(std::string(stored.data.begin(), stored.data.end()), std::to_string(c.chosen) + '\0');
        } else {
            platform::SetSystemRegistry(nullptr);
        }
        ASSERT_EQ(ui.Seen().messages.size(), 1u);
        EXPECT_EQ(ui.Seen().messages[0].text.rfind(c.message, 0), 0u) << ui.Seen().messages[0].text;
        EXPECT_EQ(ui.Seen().messages[0].icon, storable ? MessageIcon::Question : MessageIcon::Stop);
        EXPECT_EQ(ui.Seen().messages[0].buttons, storable ? MessageButtons::YesNo : MessageButtons::Ok);
        const bool restarted = storable && c.answer == MessageAnswer::Yes;
        EXPECT_EQ(ui.Seen().restarts, restarted ? 1 : 0);
        EXPECT_EQ(window.Ended(), restarted);
        EXPECT_EQ(window.Result(), 0);
        EXPECT_EQ(ui.Selection(kLanguage), storable ? c.chosen : 1 - c.chosen);
    }
}

}  // namespace
