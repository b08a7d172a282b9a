#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <thread>

#include "lumikarta-service/reference_service.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "support/local_http_server.h"
#include "support/scoped_system_registry.h"
#include "support/temp_dir.h"
#include "ui_support/recording_dialog_host.h"
#include "update/update_box.h"
#include "update/update_download_dialog.h"

namespace {

using namespace std::chrono_literals;

RecordingDialogHost& Ui(CTemplateDialog& dialog) {
    return static_cast<RecordingDialogHost&>(dialog.Host());
}

class UpdateBoxTest : public testing::Test {
protected:
    UpdateBoxTest()
        : m_machine("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\Karte]\n\"VERSION\"=\"2014\"\n\n") {
        m_server.Routes().Get("/downloads/updates.xml",
                              [&](const httplib::Request&, httplib::Response& response) {
                                  response.status = m_status;
                                  response.set_content(m_document, "application/xml");
                              });
        m_server.Start();
    }

    void Serve(const std::string& updates, int status = 200) {
        m_document = "<Updates><Product><RegKey>Lumikarta\\Karte</RegKey>" + updates + "</Product></Updates>";
        m_status = status;
    }

    // Opens the window as the main window does; download windows are recorded instead of run.
    std::unique_ptr<CUpdateBox> Open() {
        auto box = std::make_unique<CUpdateBox>(std::make_unique<RecordingDialogHost>());
        box->m_strDefinitionUrl = m_server.Url("/downloads/updates.xml");
        Ui(*box).Seen().savePath = "/tmp/chosen.exe";
        Ui(*box).Seen().runChild = [this](CTemplateDialog& child) {
            const DownloadJob& job = dynamic_cast<CUpdateDownloadDialog1&>(child).m_job;
            m_downloads.push_back({job.m_strUrl, job.m_strTargetPath, job.m_strSha256.value_or("")});
            return IDCANCEL;
        };
        box->Create();
        return box;
    }

    ScopedSystemRegistry m_machine;
    LocalHttpServer m_server;
    std::string m_document;
    int m_status = 200;
    // URL, target path and checksum of each download window opened.
    std::vector<std::vector<std::string>> m_downloads;
};

TEST_F(UpdateBoxTest, OpensWithTheFirstUpdateSelectedAndItsDetailsShown) {
    Serve(
        "<Update><Name>Karte 2015</Name><Description>Neue Höhen</Description><Version>2015</Version>"
        "<File>http://h/dl/Setup.exe</File><Size>12 MB</Size><Link>http://h/info</Link></Update>"
        "<Update><Name>Karte 2016</Name><Version>2016</Version><File>Setup2016.exe</File></Update>");
    const auto box = Open();
    RecordingDialogHost& ui = Ui(*box);
    using namespace update_box;
    EXPECT_FALSE(box->Ended());
    EXPECT_EQ(ui.Seen().blockingRuns, 1) << "loaded on a helper thread";
    EXPECT_EQ(ui.At(kUpdates).items, (std::vector<std::string>{"Karte 2015", "Karte 2016"}));
    EXPECT_EQ(box->GetSelectedUpdate(), 0);
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

    // The arrow keys move to an update without a link while the mouse rests on "Details".
    ui.UserHovers(kDetailsLink, true);
    ui.UserSelects(kUpdates, 1);
    EXPECT_EQ(fields(), (std::vector<std::string>{"Karte 2016", "", "2016", "Setup2016.exe", "0", ""}));
    EXPECT_FALSE(ui.IsEnabled(kDetailsLink));
    ui.UserClicks(kDetailsLink);
    EXPECT_TRUE(ui.Seen().openedUrls.empty()) << "a disabled link opens nothing";
    EXPECT_TRUE(ui.Seen().messages.empty());
    ui.UserSelects(kUpdates, 0);
    EXPECT_EQ(ui.At(kDetailsLink).colour, (RgbColour{0, 0, 255})) << "no hover left over";
}

TEST_F(UpdateBoxTest, DownloadsTheSelectedRowsOwnFileAfterTheSaveQuestion) {
    Serve(
        "<Update><Name>Karte 2015</Name><Version>2015</Version><File>http://h/a/Setup.exe</File></Update>"
        "<Update><Name>KARTE 2015</Name><Version>2015</Version><File>http://h/b/Other.exe</File>"
        "<SHA256>" +
        std::string(64, 'a') + "</SHA256></Update>");
    const auto box = Open();
    RecordingDialogHost& ui = Ui(*box);
    ui.UserSelects(update_box::kUpdates, 1);
    EXPECT_EQ(ui.GetText(update_box::kFileName), "Other.exe");
    ui.UserClicks(update_box::kDownload);
    ASSERT_EQ(ui.Seen().saveQuestions.size(), 1u);
    const SaveFileQuestion& question = ui.Seen().saveQuestions[0];
    EXPECT_EQ(question.title, "Save file");
    EXPECT_EQ(question.proposedName, "Other.exe");
    EXPECT_EQ(question.defaultExtension, "EXE");
    EXPECT_EQ(question.fileType, "Executables (*.exe)");
    ASSERT_EQ(m_downloads.size(), 1u);
    EXPECT_EQ(m_downloads[0],
              (std::vector<std::string>{"http://h/b/Other.exe", "/tmp/chosen.exe", std::string(64, 'a')}));

    ui.Seen().savePath.reset();
    ui.UserSelects(update_box::kUpdates, 0);
    ui.UserClicks(update_box::kDownload);
    EXPECT_EQ(ui.Seen().saveQuestions.size(), 2u);
    EXPECT_EQ(m_downloads.size(), 1u) << "a cancelled save question starts no download";
    EXPECT_FALSE(box->Ended());
}

TEST_F(UpdateBoxTest, ClosesWithAMessageWhenNothingCanBeOffered) {
    struct Case {
        const char* label;
        std::string updates;
        int status;
        MessageIcon icon;
        const char* text;
    };
    const Case cases[] = {
        {"definition missing", "", 404, MessageIcon::Stop, "Die Update Definition konnte nicht geladen"},
        {"everything up to date", "<Update><Name>K</Name><Version>2014</Version></Update>", 200,
         MessageIcon::Information, "Derzeit sind keine Updates verfügbar."},
    };
    for (const Case& test : cases) {
        Serve(test.updates, test.status);
        CUpdateBox box(std::make_unique<RecordingDialogHost>());
        box.m_strDefinitionUrl = m_server.Url("/downloads/updates.xml");
        box.Create();
        EXPECT_TRUE(box.Ended()) << test.label;
        EXPECT_EQ(box.Result(), IDCANCEL) << test.label;
        const auto& messages = Ui(box).Seen().messages;
        ASSERT_EQ(messages.size(), 1u) << test.label;
        EXPECT_EQ(messages[0].text.rfind(test.text, 0), 0u) << test.label;
        EXPECT_EQ(messages[0].icon, test.icon) << test.label;
    }
}

// The download window against the reference service, on a recording host.
class DownloadWindow {
public:
    DownloadWindow(const std::string& url, const std::filesystem::path& target)
        : dialog(std::make_unique<RecordingDialogHost>()) {
        dialog.m_job.m_strUrl = url;
        dialog.m_job.m_strTargetPath = target.string();
        dialog.Create();
    }
    RecordingDialogHost& Ui() { return ::Ui(dialog); }

    // Hands the worker's notices to the window until it has closed or shown a message.
    void Run() {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!dialog.Ended() && Ui().Seen().messages.empty() &&
               std::chrono::steady_clock::now() < deadline) {
            Ui().DeliverNoticesWithin(100ms);
        }
    }

    CUpdateDownloadDialog1 dialog;
};

class DownloadDialogTest : public testing::Test {
protected:
    DownloadDialogTest()
        : m_service({.port = 0,
                     .https = false,
                     .dataFolder = m_folder.Path() / "state",
                     .siteFolder = {},
                     .downloadsFolder = m_folder.Path() / "downloads",
                     .readTimeout = 5000ms}) {
        std::filesystem::create_directories(m_folder.Path() / "downloads");
        std::ofstream(m_folder.Path() / "downloads" / "setup.exe", std::ios::binary)
            << std::string(1000, 'i');
        m_service.Start();
    }

    std::string Url(const std::string& rest) const { return m_service.BaseUrl() + "/downloads/" + rest; }

    TempDir m_folder;
    ReferenceService m_service;
};

TEST_F(DownloadDialogTest, CompleteDownloadStartsTheInstallerAndCloses) {
    using namespace download_dialog;
    const std::filesystem::path target = m_folder.Path() / "setup.exe";
    DownloadWindow window(Url("setup.exe"), target);
    RecordingDialogHost& ui = window.Ui();
    EXPECT_EQ(ui.GetText(kFile), Url("setup.exe"));
    EXPECT_FALSE(ui.IsEnabled(kInstall)) << "until the file is complete";
    window.Run();
    EXPECT_TRUE(window.dialog.Ended());
    EXPECT_EQ(window.dialog.Result(), IDCANCEL);
    EXPECT_EQ(ui.GetText(kLoaded), "1000 Bytes");
    EXPECT_TRUE(ui.IsEnabled(kInstall));
    EXPECT_EQ(std::filesystem::file_size(target), 1000u);
    EXPECT_TRUE(ui.At(kProgress).progress.empty());
    EXPECT_TRUE(ui.Seen().messages.empty());
    EXPECT_EQ(ui.Seen().openedFiles, std::vector<std::string>{target.string()});
}

TEST_F(DownloadDialogTest, FailureIsShownByTheWindowWhichStaysOpen) {
    struct Case {
        const char* label;
        std::string url;
        std::string target;
        const char* message;
    };
    const Case cases[] = {
        {"missing file", Url("nothing.exe"), "a.exe", "HTTP 404"},
        {"target folder missing", Url("setup.exe"), "none/c.exe", "Cannot write"},
    };
    for (const Case& test : cases) {
        const std::filesystem::path target = m_folder.Path() / test.target;
        DownloadWindow window(test.url, target);
        window.Run();
        const auto& messages = window.Ui().Seen().messages;
        ASSERT_EQ(messages.size(), 1u) << test.label;
        EXPECT_EQ(messages[0].text.rfind(test.message, 0), 0u) << test.label;
        EXPECT_EQ(messages[0].icon, MessageIcon::None) << test.label;
        EXPECT_FALSE(window.dialog.Ended()) << test.label;
        EXPECT_FALSE(window.Ui().IsEnabled(download_dialog::kInstall)) << test.label;
        EXPECT_FALSE(std::filesystem::exists(target)) << test.label;
        EXPECT_TRUE(window.Ui().Seen().openedFiles.empty()) << test.label;
    }
}

TEST_F(DownloadDialogTest, CancelDuringAStalledTransferRemovesTheFileSilently) {
    const TempDir targetFolder;
    const std::filesystem::path target = targetFolder.Path() / "stalled.exe";
    DownloadWindow window(Url("setup.exe?stall=1"), target);
    // The transfer has begun once bytes arrived; until it completes they go to a file beside the target.
    for (int i = 0; i < 200 && window.dialog.m_job.counters->loadedBytes == 0; ++i) {
        std::this_thread::sleep_for(50ms);
    }
    window.Ui().UserClicks(download_dialog::kCancel);
    window.Ui().DeliverNotices();
    EXPECT_TRUE(window.dialog.Ended());
    EXPECT_TRUE(std::filesystem::is_empty(targetFolder.Path())) << "no partial file is left";
    window.Ui().DeliverNotices();
    EXPECT_TRUE(window.Ui().Seen().messages.empty());
    EXPECT_TRUE(window.Ui().Seen().openedFiles.empty());
}

// A large file, sent slowly enough for several progress notices.
TEST(DownloadDialogProgress, BarRisesWithoutJumpingBack) {
    constexpr std::size_t kBytes = 8 << 20;
    constexpr std::size_t kPiece = 64 << 10;
    LocalHttpServer server;
    server.Routes().Get("/big.exe", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(kBytes, "application/octet-stream",
                                      [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          const std::string piece(std::min(kPiece, kBytes - offset), 'b');
                                          std::this_thread::sleep_for(4ms);
                                          return sink.write(piece.data(), piece.size());
                                      });
    });
    server.Start();
    TempDir folder;
    DownloadWindow window(server.Url("/big.exe"), folder.Path() / "big.exe");
    window.Run();
    ASSERT_TRUE(window.dialog.Ended());
    const std::vector<int>& bar = window.Ui().At(download_dialog::kProgress).progress;
    ASSERT_FALSE(bar.empty());
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_LE(bar.back(), 100);
    EXPECT_EQ(window.Ui().GetText(download_dialog::kSize), "8.00 MB");
    EXPECT_EQ(window.Ui().GetText(download_dialog::kLoaded), "8.00 MB");
    EXPECT_EQ(window.Ui().Seen().openedFiles.size(), 1u);
}

}  // namespace
