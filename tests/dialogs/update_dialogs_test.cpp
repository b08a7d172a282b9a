#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/update_box.h"
#include "dialogs/update_download_dialog.h"
#include "helpers/recording_dialog_host.h"
#include "helpers/scoped_system_registry.h"
#include "helpers/temp_dir.h"
#include "lumikarta-service/reference_service.h"
#include "lumikarta-service/update_signing_key.h"
#include "platform/downloads_folder.h"
#include "res/control_ids.h"

namespace {

using namespace std::chrono_literals;

RecordingDialogHost& Ui(CTemplateDialog& dialog) {
    return static_cast<RecordingDialogHost&>(dialog.Host());
}

// The download window on a recording host.
class DownloadWindow {
public:
    DownloadWindow(const std::string& url, const std::filesystem::path& target)
        : dialog(std::make_unique<RecordingDialogHost>()) {
        dialog.m_job.m_strUrl = url;
        dialog.m_job.m_strTargetPath = target.string();
        dialog.Create();
    }

    // Hands the worker's notices to the window until it has closed or shown a message.
    void Run() {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!dialog.Ended() && Ui(dialog).Seen().messages.empty() &&
               std::chrono::steady_clock::now() < deadline) {
            Ui(dialog).DeliverNotices(100ms);
        }
    }

    CUpdateDownloadDialog1 dialog;
};

// The reference service serves the update definition, signed by the test's own key, and a 320 KiB
// installer, the installer in five pieces a tenth of a second apart, for several progress notices.
class UpdateDialogsTest : public testing::Test {
protected:
    UpdateDialogsTest()
        : m_machine("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\Karte]\n\"VERSION\"=\"2014\"\n\n"),
          m_trustedKeys{SigningKeyFile(m_folder)},
          m_service({.port = 0,
                     .https = false,
                     .dataFolder = m_folder.Path() / "state",
                     .siteFolder = {},
                     .downloadsFolder = m_folder.Path() / "downloads",
                     .downloadBytesPerSecond = 640 << 10,
                     .readTimeout = 5000ms,
                     .signingKey = m_folder.Path() / "private.pem"}) {
        std::filesystem::create_directories(m_folder.Path() / "downloads");
        m_folder.WriteFile("downloads/setup.exe", std::string(320 << 10, 'i'));
        m_service.Start();
    }

    std::string Url(const std::string& name) const { return m_service.BaseUrl() + "/downloads/" + name; }

    void Serve(const std::string& updates) {
        m_folder.WriteFile("downloads/updates.xml", "<Updates><Product><RegKey>Lumikarta\\Karte</RegKey>" +
                                                        updates + "</Product></Updates>");
    }

    // Opens the list as the main window does; download windows are recorded instead of run.
    std::unique_ptr<CUpdateBox> Open() {
        auto box = std::make_unique<CUpdateBox>(std::make_unique<RecordingDialogHost>());
        box->m_strDefinitionUrl = Url("updates.xml");
        box->m_trustedKeys = m_trustedKeys;
        Ui(*box).Seen().savePath = "/tmp/chosen.exe";
        Ui(*box).Seen().runChild = [this](CTemplateDialog& child) {
            const DownloadJob& job = dynamic_cast<CUpdateDownloadDialog1&>(child).m_job;
            m_downloads.push_back({job.m_strUrl, job.m_strTargetPath, job.expectedSha256.value_or("")});
            return IDCANCEL;
        };
        box->Create();
        return box;
    }

    // A key pair of the test's own: the private half for the service, the public one trusted.
    static std::string SigningKeyFile(const TempDir& folder) {
        const UpdateSigningKey key = UpdateSigningKey::Generate();
        key.WritePrivateKey(folder.Path() / "private.pem");
        return key.PublicKeyPem();
    }

    ScopedSystemRegistry m_machine;
    TempDir m_folder;
    std::vector<std::string> m_trustedKeys;
    ReferenceService m_service;
    // URL, target path and checksum of each download window opened.
    std::vector<std::vector<std::string>> m_downloads;
};

// Two updates of one name but for case: each row shows and downloads its own update.
TEST_F(UpdateDialogsTest, ListShowsTheSelectedUpdateAndDownloadsItsFileAfterTheSaveQuestion) {
    Serve(
        "<Update><Name>Karte 2015</Name><Description>Neue Höhen</Description><Version>2015</Version>"
        "<File>http://h/a/Setup.exe</File><Size>12 MB</Size><Link>http://h/info</Link></Update>"
        "<Update><Name>KARTE 2015</Name><Version>2016</Version><File>http://h/b/Other.exe</File>"
        "<SHA256>" +
        std::string(64, 'a') + "</SHA256></Update>");
    const auto box = Open();
    RecordingDialogHost& ui = Ui(*box);
    using namespace update_box;
    EXPECT_EQ(ui.Seen().blockingRuns, 1) << "loaded on a helper thread";
    EXPECT_EQ(ui.At(kUpdates).items, (std::vector<std::string>{"Karte 2015", "KARTE 2015"}));
    EXPECT_TRUE(ui.IsEnabled(kDownload));
    const auto fields = [&ui] {
        std::vector<std::string> texts;
        for (const int id : {kName, kDescription, kVersion, kFileName, kSize, kDetailsLink}) {
            texts.push_back(ui.GetText(id));
        }
        return texts;
    };
    EXPECT_EQ(fields(), (std::vector<std::string>{"Karte 2015", "Neue Höhen", "2015", "Setup.exe", "12 MB",
                                                  "http://h/info"}));
    EXPECT_TRUE(ui.IsEnabled(kDetailsLink));

    // An update without a link disables "Details"; that a disabled link takes no click is the hosts' concern.
    ui.UserSelects(kUpdates, 1);
    EXPECT_EQ(fields(), (std::vector<std::string>{"KARTE 2015", "", "2016", "Other.exe", "0", ""}));
    EXPECT_FALSE(ui.IsEnabled(kDetailsLink));

    ui.UserClicks(kDownload);
    ASSERT_EQ(ui.Seen().saveQuestions.size(), 1u);
    EXPECT_EQ(ui.Seen().saveQuestions[0].proposedName, "Other.exe");
    EXPECT_EQ(ui.Seen().saveQuestions[0].folder, platform::DownloadsFolder()) << "not the current folder";
    ASSERT_EQ(m_downloads.size(), 1u);
    EXPECT_EQ(m_downloads[0],
              (std::vector<std::string>{"http://h/b/Other.exe", "/tmp/chosen.exe", std::string(64, 'a')}));

    ui.Seen().savePath.reset();
    ui.UserClicks(kDownload);
    EXPECT_EQ(ui.Seen().saveQuestions.size(), 2u);
    EXPECT_EQ(m_downloads.size(), 1u) << "a cancelled save question starts no download";
    EXPECT_TRUE(ui.Seen().messages.empty());

    // Without a checksum nothing ties the installer to the signed definition.
    ui.UserSelects(kUpdates, 0);
    ui.UserClicks(kDownload);
    EXPECT_EQ(ui.Seen().saveQuestions.size(), 2u) << "not even asked where to save it";
    EXPECT_EQ(m_downloads.size(), 1u);
    ASSERT_EQ(ui.Seen().messages.size(), 1u);
    EXPECT_EQ(ui.Seen().messages[0].text.rfind("Die Update Definition gibt für diese Datei keine SHA-256", 0),
              0u);
    EXPECT_EQ(ui.Seen().messages[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(box->Ended());
}

// A definition that cannot be loaded closes the list the same way; the Windows window tests show it.
// A signature file beside the definition is what the service serves, here one of another key.
TEST_F(UpdateDialogsTest, ListClosesWithAMessageWhenNothingIsNewerOrTheDefinitionIsNotSigned) {
    const struct {
        const char* version;
        bool foreignSignature;
        const char* message;
        MessageIcon icon;
    } cases[] = {
        {"2014", false, "Derzeit sind keine Updates verfügbar.", MessageIcon::Information},
        {"2015", true, "Die Update Definition ist nicht vom Hersteller signiert und wurde nicht verwendet.",
         MessageIcon::Stop},
    };
    for (const auto& c : cases) {
        Serve("<Update><Name>K</Name><Version>" + std::string(c.version) + "</Version></Update>");
        if (c.foreignSignature) {
            m_folder.WriteFile("downloads/updates.xml.sig",
                               UpdateSigningKey::Generate().SignatureText(
                                   ReadFileBytes(m_folder.Path() / "downloads/updates.xml")));
        }
        const auto box = Open();
        EXPECT_TRUE(box->Ended());
        EXPECT_EQ(box->Result(), IDCANCEL);
        EXPECT_EQ(Ui(*box).At(update_box::kUpdates).items.size(), 0u);
        const auto& messages = Ui(*box).Seen().messages;
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, c.message);
        EXPECT_EQ(messages[0].icon, c.icon);
    }
}

// An installer that did not start is said, with where it was saved, so the user can start it by hand;
// a declined prompt for an administrator's rights is no failure.
TEST_F(UpdateDialogsTest, CompleteDownloadShowsItsRiseStartsTheInstallerAndCloses) {
    using namespace download_dialog;
    const struct {
        FileOpening opening;
        const char* message;
        MessageIcon icon;
    } cases[] = {
        {FileOpening::Started, nullptr, MessageIcon::None},
        {FileOpening::Cancelled, "Die Installation wurde abgebrochen.", MessageIcon::Information},
        {FileOpening::Failed, "Das Installationsprogramm konnte nicht gestartet werden.",
         MessageIcon::Exclamation},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.opening));
        const std::filesystem::path target = m_folder.Path() / "setup.exe";
        DownloadWindow window(Url("setup.exe"), target);
        RecordingDialogHost& ui = Ui(window.dialog);
        ui.Seen().fileOpening = c.opening;
        EXPECT_FALSE(ui.IsEnabled(kInstall)) << "until the file is complete";
        window.Run();
        ui.DeliverNotices(0ms);
        EXPECT_TRUE(window.dialog.Ended());
        EXPECT_EQ(window.dialog.Result(), IDCANCEL);
        const std::vector<int>& bar = ui.At(kProgress).progress;
        ASSERT_FALSE(bar.empty());
        EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
        EXPECT_EQ(bar.back(), 100) << "the bar ends full";
        EXPECT_EQ(ui.GetText(kSize), "320.00 KB");
        EXPECT_EQ(ui.GetText(kLoaded), "320.00 KB");
        EXPECT_TRUE(ui.IsEnabled(kInstall));
        EXPECT_EQ(ui.Seen().openedFiles, std::vector<std::string>{target.string()});
        EXPECT_EQ(std::filesystem::file_size(target), 320u << 10) << "the installer is kept";
        const auto& messages = ui.Seen().messages;
        if (c.message == nullptr) {
            EXPECT_TRUE(messages.empty());
            continue;
        }
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text.rfind(c.message, 0), 0u) << messages[0].text;
        EXPECT_TRUE(messages[0].text.ends_with("\n" + target.string())) << messages[0].text;
        EXPECT_EQ(messages[0].icon, c.icon);
    }
}

// The worker's tests have every reason a download fails; the window says ours in its language and
// the system's as the system gave it.
TEST_F(UpdateDialogsTest, FailedDownloadIsShownByTheWindowWhichStaysOpen) {
    const struct {
        const char* file;
        const char* folder;
        const char* message;
    } cases[] = {
        {"missing.exe", "", "Der Server antwortete mit dem Status 404."},
        {"setup.exe", "none", "Die Datei konnte nicht gespeichert werden:\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        DownloadWindow window(Url(c.file), m_folder.Path() / c.folder / "c.exe");
        window.Run();
        const auto& messages = Ui(window.dialog).Seen().messages;
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text.rfind(c.message, 0), 0u) << messages[0].text;
        EXPECT_EQ(messages[0].icon, MessageIcon::None);
        EXPECT_FALSE(window.dialog.Ended());
        EXPECT_FALSE(Ui(window.dialog).IsEnabled(download_dialog::kInstall));
        EXPECT_TRUE(Ui(window.dialog).Seen().openedFiles.empty());
    }
}

}  // namespace
