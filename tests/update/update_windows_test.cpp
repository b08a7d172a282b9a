#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "common/dialog_builder.h"
#include "common/save_file_dialog.h"
#include "lumikarta-service/reference_service.h"
#include "res/control_ids.h"
#include "support/local_http_server.h"
#include "support/scoped_system_registry.h"
#include "support/temp_dir.h"
#include "ui_support/message_box_recorder.h"
#include "ui_support/url_recorder.h"
#include "update/update_box.h"
#include "update/update_download_dialog.h"

namespace {

using namespace std::chrono_literals;

template <typename Control>
Control* At(const QWidget& window, int id) {
    return FindControl<Control>(window, id);
}

QString Text(const QWidget& window, int id) {
    return At<QLabel>(window, id)->text();
}

// An update list over a served definition; downloads are recorded instead of run.
class RecordingUpdateBox final : public CUpdateBox {
public:
    std::vector<std::string> downloadedUrls;

protected:
    void RunDownloadWindow(CUpdateDownloadDialog1& dialog) override {
        downloadedUrls.push_back(dialog.m_job.m_strUrl);
    }
};

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
        m_previousChooser = ReplaceSaveFileChooser([&](QWidget*, const SaveFileQuestion& question) {
            m_questions.push_back(question);
            return m_chosenPath;
        });
    }
    ~UpdateBoxTest() override { ReplaceSaveFileChooser(m_previousChooser); }

    void Serve(const std::string& updates, int status = 200) {
        m_document = "<Updates><Product><RegKey>Lumikarta\\Karte</RegKey>" + updates + "</Product></Updates>";
        m_status = status;
    }

    // Runs the window as the main window does; returns its result.
    int Run(RecordingUpdateBox& box) {
        box.m_strDefinitionUrl = m_server.Url("/downloads/updates.xml");
        box.Initialize();
        return box.Ended() ? box.result() : -1;
    }

    void Select(RecordingUpdateBox& box, int row) {
        At<QListWidget>(box, update_box::kUpdates)->setCurrentRow(row);
    }

    ScopedSystemRegistry m_machine;
    LocalHttpServer m_server;
    std::string m_document;
    int m_status = 200;
    std::vector<SaveFileQuestion> m_questions;
    std::optional<std::string> m_chosenPath = "/tmp/chosen.exe";
    SaveFileChooser m_previousChooser;
    MessageBoxRecorder m_messages;
};

TEST_F(UpdateBoxTest, OpensWithTheFirstUpdateSelectedAndItsDetailsShown) {
    Serve(
        "<Update><Name>Karte 2015</Name><Description>Neue Höhen</Description><Version>2015</Version>"
        "<File>http://h/dl/Setup.exe</File><Size>12 MB</Size><Link>http://h/info</Link></Update>"
        "<Update><Name>Karte 2016</Name><Version>2016</Version><File>Setup2016.exe</File></Update>");
    RecordingUpdateBox box;
    EXPECT_EQ(Run(box), -1);
    using namespace update_box;
    EXPECT_EQ(At<QListWidget>(box, kUpdates)->count(), 2);
    EXPECT_EQ(box.GetSelectedUpdate(), 0);
    EXPECT_TRUE(At<QPushButton>(box, kDownload)->isEnabled());
    const std::vector<QString> first = {Text(box, kName),    Text(box, kDescription),
                                        Text(box, kVersion), Text(box, kFileName),
                                        Text(box, kSize),    Text(box, kDetailsLink)};
    EXPECT_EQ(first, (std::vector<QString>{"Karte 2015", "Neue Höhen", "2015", "Setup.exe", "12 MB",
                                           "http://h/info"}));
    EXPECT_TRUE(At<QLabel>(box, kDetailsLink)->isEnabled());

    Select(box, 1);
    EXPECT_EQ(Text(box, kFileName), "Setup2016.exe");
    EXPECT_EQ(Text(box, kSize), "0");
    EXPECT_EQ(Text(box, kDetailsLink), "");
    EXPECT_FALSE(At<QLabel>(box, kDetailsLink)->isEnabled());
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(UpdateBoxTest, DownloadsTheSelectedRowsOwnFileAfterTheSaveQuestion) {
    Serve(
        "<Update><Name>Karte 2015</Name><Version>2015</Version><File>http://h/a/Setup.exe</File></Update>"
        "<Update><Name>KARTE 2015</Name><Version>2015</Version><File>http://h/b/Other.exe</File></Update>");
    RecordingUpdateBox box;
    Run(box);
    Select(box, 1);
    EXPECT_EQ(Text(box, update_box::kFileName), "Other.exe");
    box.OnDownload();
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].title, "Save file");
    EXPECT_EQ(m_questions[0].proposedName, "Other.exe");
    EXPECT_EQ(m_questions[0].defaultExtension, "EXE");
    EXPECT_EQ(m_questions[0].fileType, "Executables (*.exe)");
    EXPECT_EQ(box.downloadedUrls, std::vector<std::string>{"http://h/b/Other.exe"});

    m_chosenPath.reset();
    Select(box, 0);
    box.OnDownload();
    EXPECT_EQ(m_questions.size(), 2u);
    EXPECT_EQ(box.downloadedUrls.size(), 1u) << "a cancelled save question starts no download";
    EXPECT_FALSE(box.Ended());
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
        {"malformed definition", "<Update>", 200, MessageIcon::Stop,
         "Die Update Definition konnte nicht geladen"},
        {"definition missing", "", 404, MessageIcon::Stop, "Die Update Definition konnte nicht geladen"},
        {"everything up to date", "<Update><Name>K</Name><Version>2014</Version></Update>", 200,
         MessageIcon::Information, "Derzeit sind keine Updates verfügbar."},
    };
    for (const Case& test : cases) {
        Serve(test.updates, test.status);
        MessageBoxRecorder messages;
        RecordingUpdateBox box;
        EXPECT_EQ(Run(box), IDCANCEL) << test.label;
        EXPECT_EQ(box.DoModal(), IDCANCEL) << test.label << ": no modal run after the message";
        ASSERT_EQ(messages.Messages().size(), 1u) << test.label;
        EXPECT_TRUE(messages.Messages()[0].text.startsWith(QString::fromUtf8(test.text))) << test.label;
        EXPECT_EQ(messages.Messages()[0].icon, test.icon) << test.label;
    }
}

// The download window against the reference service, driven without being shown.
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

    // Starts the download and waits until the window has closed or shown a message.
    void Download(CUpdateDownloadDialog1& dialog, const std::string& url,
                  const std::filesystem::path& target) {
        dialog.m_job.m_strUrl = url;
        dialog.m_job.m_strTargetPath = target.string();
        dialog.Initialize();
        (void)QTest::qWaitFor([&] { return dialog.Ended() || !m_messages.Messages().empty(); }, 20000);
    }

    TempDir m_folder;
    ReferenceService m_service;
    MessageBoxRecorder m_messages;
    UrlRecorder m_started{"file"};
};

TEST_F(DownloadDialogTest, CompleteDownloadStartsTheInstallerAndCloses) {
    for (const char* query : {"", "?chunked=1"}) {
        const std::filesystem::path target =
            m_folder.Path() / (std::string("setup") + (*query ? "-chunked" : "") + ".exe");
        CUpdateDownloadDialog1 dialog;
        std::vector<int> bar;
        QObject::connect(At<QProgressBar>(dialog, download_dialog::kProgress), &QProgressBar::valueChanged,
                         [&](int value) { bar.push_back(value); });
        Download(dialog, Url(std::string("setup.exe") + query), target);
        EXPECT_TRUE(dialog.Ended()) << query;
        EXPECT_EQ(Text(dialog, download_dialog::kLoaded), "1000 Bytes") << query;
        EXPECT_TRUE(At<QPushButton>(dialog, download_dialog::kInstall)->isEnabled()) << query;
        EXPECT_EQ(std::filesystem::file_size(target), 1000u) << query;
        EXPECT_TRUE(bar.empty()) << query;
        EXPECT_TRUE(m_messages.Messages().empty()) << query;
    }
    ASSERT_EQ(m_started.Opened().size(), 2u);
    EXPECT_EQ(m_started.Opened()[0].toLocalFile().toStdString(), (m_folder.Path() / "setup.exe").string());
}

TEST_F(DownloadDialogTest, FailureIsShownByTheWindowWhichStaysOpen) {
    std::string refused;
    {
        LocalHttpServer gone;
        gone.Start();
        refused = gone.Url("/downloads/setup.exe");
    }
    struct Case {
        const char* label;
        std::string url;
        std::string target;
        const char* message;
    };
    const Case cases[] = {
        {"missing file", Url("nothing.exe"), "a.exe", "HTTP 404"},
        {"connection refused", refused, "b.exe", ""},
        {"target folder missing", Url("setup.exe"), "none/c.exe", "Cannot write"},
    };
    for (const Case& test : cases) {
        MessageBoxRecorder messages;
        CUpdateDownloadDialog1 dialog;
        const std::filesystem::path target = m_folder.Path() / test.target;
        dialog.m_job.m_strUrl = test.url;
        dialog.m_job.m_strTargetPath = target.string();
        dialog.Initialize();
        (void)QTest::qWaitFor([&] { return !messages.Messages().empty(); }, 20000);
        ASSERT_EQ(messages.Messages().size(), 1u) << test.label;
        EXPECT_TRUE(messages.Messages()[0].text.startsWith(test.message)) << test.label;
        EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::None) << test.label;
        EXPECT_FALSE(dialog.Ended()) << test.label;
        EXPECT_FALSE(At<QPushButton>(dialog, download_dialog::kInstall)->isEnabled()) << test.label;
        EXPECT_FALSE(std::filesystem::exists(target)) << test.label;
    }
    EXPECT_TRUE(m_started.Opened().empty());
}

TEST_F(DownloadDialogTest, CancelDuringAStalledTransferRemovesTheFileSilently) {
    const std::filesystem::path target = m_folder.Path() / "stalled.exe";
    CUpdateDownloadDialog1 dialog;
    dialog.m_job.m_strUrl = Url("setup.exe?stall=1");
    dialog.m_job.m_strTargetPath = target.string();
    dialog.Initialize();
    (void)QTest::qWaitFor([&] { return std::filesystem::exists(target); }, 20000);
    dialog.reject();
    EXPECT_TRUE(dialog.Ended());
    EXPECT_FALSE(std::filesystem::exists(target));
    QTest::qWait(50);
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_TRUE(m_started.Opened().empty());
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
    MessageBoxRecorder messages;
    UrlRecorder started("file");
    CUpdateDownloadDialog1 dialog;
    std::vector<int> bar;
    QObject::connect(At<QProgressBar>(dialog, download_dialog::kProgress), &QProgressBar::valueChanged,
                     [&](int value) { bar.push_back(value); });
    dialog.m_job.m_strUrl = server.Url("/big.exe");
    dialog.m_job.m_strTargetPath = (folder.Path() / "big.exe").string();
    dialog.Initialize();
    (void)QTest::qWaitFor([&] { return dialog.Ended(); }, 60000);
    ASSERT_TRUE(dialog.Ended());
    ASSERT_FALSE(bar.empty());
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_LE(bar.back(), 100);
    EXPECT_EQ(Text(dialog, download_dialog::kSize), "8.00 MB");
    EXPECT_EQ(Text(dialog, download_dialog::kLoaded), "8.00 MB");
    EXPECT_EQ(started.Opened().size(), 1u);
}

}  // namespace
