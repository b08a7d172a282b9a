#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTest>

#include "app/lumikarta_system_info_dlg.h"
#include "app/program_starter.h"
#include "common/dialog_builder.h"
#include "platform/registry.h"
#include "res/control_ids.h"
#include "res/german_resources.h"
#include "res/resource_library.h"
#include "res/resources.h"
#include "support/scoped_system_registry.h"
#include "ui_support/message_box_recorder.h"

namespace {

using namespace main_window;

void SampleFacts(CSystemInfo& info) {
    info.m_strCPUName = "  AMD Ryzen 7 5800X 8-Core Processor  ";
    info.m_strOS = "Debian GNU/Linux 12 (bookworm), 64-bit (kernel 6.1.0-18-amd64)";
    info.m_ullTotalPhys = 16ULL << 30;
    info.m_ullTotalPageFile = (16ULL << 30) + (1ULL << 29);
    info.m_Graphics.m_bFromWMI = true;
    info.m_Graphics.m_strDescription = "Radeon RX 6600";
    info.m_Graphics.m_nAdapterRAM = 8ULL << 30;
    info.m_Graphics.m_nHorzRes = 2560;
    info.m_Graphics.m_nVertRes = 1440;
    info.m_Graphics.m_nBitsPerPixel = 32;
    info.m_Graphics.m_strDriverVersion = "6.1.0";
    info.m_Graphics.m_strDriverDate = "20230623000000.000000-000";
    info.m_Products = {{"Wanderkarte Alpen", {}, "2.1.0"}, {"TopoKarte Deutschland", {}, "3.0.0"}};
    info.m_Printers = {"laser", "Buero", "Farbdrucker"};
}

// The main window over a known computer instead of this one.
class FixtureMainWindow : public CLumikartaSystemInfoDlg {
public:
    QStringList Rows(int id) const {
        const auto* list = FindControl<QListWidget>(*this, id);
        QStringList rows;
        for (int i = 0; i < list->count(); ++i) {
            rows << list->item(i)->text();
        }
        return rows;
    }

protected:
    void CollectSystemInfo() override { SampleFacts(m_SysInfo); }
};

// The fields show the facts in their formats and are what "Info kopieren" copies, also after the
// user has emptied them; the lists are sorted and only show.
TEST(MainWindowTest, ShowsTheCollectedFactsAndCopiesTheFiveFields) {
    FixtureMainWindow window;
    window.Initialize();
    EXPECT_EQ(window.Rows(kProducts), QStringList({"TopoKarte Deutschland", "Wanderkarte Alpen"}));
    EXPECT_EQ(window.Rows(kPrinters), QStringList({"Buero", "Farbdrucker", "laser"}));
    EXPECT_EQ(FindControl<QLineEdit>(window, kOS)->cursorPosition(), 0) << "a long line shows its start";
    auto* products = FindControl<QListWidget>(window, kProducts);
    QTest::mouseClick(products->viewport(), Qt::LeftButton, {},
                      products->visualItemRect(products->item(0)).center());
    EXPECT_TRUE(products->selectedItems().isEmpty());

    const auto copied = [&window] {
        QTest::mouseClick(FindControl<QWidget>(window, kCopyInfo), Qt::LeftButton);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        return data ? data->data("text/plain").toStdString() : "(nothing)";
    };
    EXPECT_EQ(copied(),
              "CPU: AMD Ryzen 7 5800X 8-Core Processor\r\n"
              "RAM: Phys. Speicher: 16384.00 MB, Auslagerungsdatei: 16896.00 MB\r\n"
              "Grafic: Radeon RX 6600 (8192.00 MB) (2560 x 1440 32 Bit)\r\n"
              "Driver: 6.1.0 (23.06.2023)\r\n"
              "OS: Debian GNU/Linux 12 (bookworm), 64-bit (kernel 6.1.0-18-amd64)\r\n");
    for (const int id : {kCPU, kRAM, kGraphics, kDriver, kOS}) {
        FindControl<QLineEdit>(window, id)->clear();
    }
    EXPECT_EQ(copied(), "CPU: \r\nRAM: \r\nGrafic: \r\nDriver: \r\nOS: \r\n");
}

// Reads back what the window stored for the next start.
std::string StoredLanguage() {
    std::unique_ptr<platform::RegistryKey> key;
    if (platform::SystemRegistry().OpenKey(platform::RegRoot::CurrentUser,
                                           "SOFTWARE\\Lumikarta\\Support und Update",
                                           platform::RegAccess::Read, key) != platform::RegResult::Success) {
        return "(no key)";
    }
    platform::RegValue value;
    if (key->QueryValue("LANGUAGE", 100, value) != platform::RegResult::Success) {
        return "(no value)";
    }
    return std::string(value.data.begin(), value.data.end());
}

// The choice is stored even when it is the stored one already; the question speaks the language that
// is active now, not the one just chosen.
TEST(MainWindowTest, LanguageChangeStoresTheChoiceAndRestartsOnlyOnYes) {
    const LumikartaResourceTable* english = LoadEnglishResourceLibrary(LUMIKARTA_PROGRAM_DIR);
    ASSERT_NE(english, nullptr);
    const char* german = "Die Sprachänderung erfordert einen Neustart der Software.";
    const struct {
        std::string stored;  // before; empty: no key at all
        int chosen;
        MessageAnswer answer;
        const LumikartaResourceTable* resources;
        const char* question;
    } cases[] = {
        {"", 1, MessageAnswer::Yes, &GermanResources(), german},
        {"0", 1, MessageAnswer::No, &GermanResources(), german},
        {"1", 1, MessageAnswer::Yes, &GermanResources(), german},
        {"1", -1, MessageAnswer::No, &GermanResources(), german},
        {"1", 0, MessageAnswer::No, english, "The program has to be restarted"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored + " -> " + std::to_string(c.chosen));
        UseResources(*c.resources);
        const std::string user =
            c.stored.empty()
                ? ""
                : "[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n\"Language\"=\"" + c.stored +
                      "\"\n";
        ScopedSystemRegistry registry("", user);
        std::vector<std::filesystem::path> started;
        ProgramStarter previous = ReplaceProgramStarter([&](const std::filesystem::path& program) {
            started.push_back(program);
            return true;
        });
        MessageBoxRecorder messages(c.answer);

        FixtureMainWindow window;
        window.Initialize();
        window.setResult(-7);
        auto* combo = FindControl<QComboBox>(window, kLanguage);
        combo->setCurrentIndex(c.chosen);
        emit combo->activated(c.chosen);
        ReplaceProgramStarter(std::move(previous));
        UseResources(GermanResources());

        EXPECT_EQ(StoredLanguage(), std::to_string(c.chosen) + '\0');
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_TRUE(messages.Messages()[0].text.startsWith(QString::fromUtf8(c.question)))
            << messages.Messages()[0].text.toStdString();
        EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::Question);
        EXPECT_EQ(messages.Messages()[0].buttons, MessageButtons::YesNo);
        if (c.answer == MessageAnswer::Yes) {
            ASSERT_EQ(started.size(), 1u);
            EXPECT_EQ(started[0].filename(), "app_tests") << "the program's own executable";
            EXPECT_EQ(window.result(), 0);
            EXPECT_FALSE(window.isVisible());
        } else {
            EXPECT_TRUE(started.empty());
            EXPECT_EQ(window.result(), -7);
            EXPECT_TRUE(window.isVisible());
        }
    }
}

}  // namespace
