#include <gtest/gtest.h>

#include "dialogs/send_dialog.h"
#include "faqdata/faq_store.h"
#include "helpers/recording_dialog_host.h"
#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"
#include "lumikarta-service/reference_service.h"
#include "res/control_ids.h"

namespace {

using namespace send_dialog;

// The form over known facts on a recording host.
class Form {
public:
    Form(const CSystemInfo& facts, int language) : dialog(facts, std::make_unique<RecordingDialogHost>()) {
        dialog.m_nLanguage = language;
        dialog.Create();
    }
    RecordingDialogHost& Ui() { return static_cast<RecordingDialogHost&>(dialog.Host()); }

    // Every mandatory field filled, so a test can empty the one it is about.
    void FillMandatory() {
        Ui().UserSelects(kProblemType, 0);
        Ui().UserTypes(kDescription, "Leer");
        Ui().UserTypes(kFirstName, "Eva");
        Ui().UserTypes(kSurname, "Roth");
        Ui().UserTypes(kEmail, "eva@example.org");
    }

    CSendDialog dialog;
};

// Known facts, and two subjects per language read from a cache file as at start-up.
class SendDialogTest : public testing::Test {
protected:
    SendDialogTest() : m_base("LUMIKARTA_COMMON_APPDATA", m_folder.Path().string()) {
        std::filesystem::create_directories(m_folder.Path() / "Lumikarta" / "Support und Update Tool");
        m_folder.WriteFile("Lumikarta/Support und Update Tool/data.xml",
                           "<?xml version=\"1.0\" encoding=\"utf-8\"?><SupportTool>"
                           "<SubjectsDE><option>Drucken</option><option>Installation</option>"
                           "</SubjectsDE><SubjectsEN><option>Printing</option>"
                           "<option>Setup</option></SubjectsEN></SupportTool>");
        CFAQStore::Instance()->LoadCache();
        m_facts.m_Products = {{"TopoKarte", {}, "3.0.0"}, {"Alpen", {}, "2.1.0"}, {"Harz", {}, "1.0.0"}};
        m_facts.m_Printers = {"laser", "Buero"};
    }
    ~SendDialogTest() override { CFAQStore::DestroyInstance(); }

    std::unique_ptr<Form> Open(int language = 0) { return std::make_unique<Form>(m_facts, language); }

private:
    TempDir m_folder;
    ScopedEnv m_base;
    CSystemInfo m_facts;
};

TEST_F(SendDialogTest, OpensFilledFromTheFactsAndShowsTheChosenProductsVersion) {
    const auto form = Open();
    RecordingDialogHost& ui = form->Ui();
    EXPECT_EQ(ui.GetText(kProduct), "TopoKarte");
    EXPECT_EQ(ui.GetText(kProductVersion), "3.0.0");
    EXPECT_EQ(ui.At(kPrinter).items, (std::vector<std::string>{"laser", "Buero"}))
        << "the template's placeholders gone";
    EXPECT_EQ(ui.GetText(kPrinter), "laser") << "the first chosen";
    EXPECT_EQ(ui.GetText(kSalutation), "Herr");
    EXPECT_EQ(ui.At(kProblemType).items, (std::vector<std::string>{"Drucken", "Installation"}));
    EXPECT_EQ(ui.Selection(kProblemType), -1) << "no subject chosen";

    ui.UserSelects(kProduct, 2);
    EXPECT_EQ(ui.GetText(kProductVersion), "1.0.0");
}

// The checks run in order; the first that fails shows its message and nothing is sent. Whatever
// passes them goes to the service: here none answers, which is the third message, and the entries
// stay for another try. OK (the Return key outside the description) takes the way of "Senden".
TEST_F(SendDialogTest, MandatoryFieldsAreCheckedInOrderBeforeAnythingIsSent) {
    ScopedEnv server("LUMIKARTA_SUPPORT_URL", "http://127.0.0.1:1");
    const char* invalidEmail = "Bitte geben Sie eine korrekte E-Mail Adresse ein!";
    const char* noConnection =
        "Fehler: Es konnte keine Verbindung zum Lumikarta Support Service hergestellt werden.\nBitte "
        "überprüfen Sie ihre Internetverbindung.";
    const struct {
        const char* name;
        std::vector<std::pair<int, std::string>> typed;
        const char* message;
    } cases[] = {
        {"product", {{kProduct, ""}}, "Bitte geben Sie ein Produkt an!"},
        {"version", {{kProductVersion, ""}}, "Bitte geben Sie eine Produktversion an!"},
        {"description", {{kDescription, ""}}, "Bitte geben Sie eine Beschreibung ein!"},
        {"first name", {{kFirstName, ""}}, "Bitte geben Sie ihren Vornamen ein!"},
        {"surname", {{kSurname, ""}}, "Bitte geben Sie ihren Nachnamen ein!"},
        {"e-mail without dot", {{kEmail, "eva@example"}}, invalidEmail},
        {"e-mail without at", {{kEmail, "eva.example.org"}}, invalidEmail},
        {"all but the product", {{kProduct, ""}, {kSurname, ""}}, "Bitte geben Sie ein Produkt an!"},
        {"subject", {}, "Bitte geben Sie eine Problemart an!"},
        {"odd but valid", {{kEmail, ".@"}, {kDescription, " "}}, noConnection},
    };
    for (const auto& c : cases) {
        const auto form = Open();
        RecordingDialogHost& ui = form->Ui();
        form->FillMandatory();
        for (const auto& [id, text] : c.typed) {
            ui.UserTypes(id, text);
        }
        if (c.typed.empty()) {
            ui.UserSelects(kProblemType, -1);
        }
        form->dialog.OnOK();
        const bool sent = c.message == noConnection;
        ASSERT_EQ(ui.Seen().messages.size(), 1u) << c.name;
        EXPECT_EQ(ui.Seen().messages[0].text, c.message) << c.name;
        EXPECT_EQ(ui.Seen().messages[0].icon, sent ? MessageIcon::Stop : MessageIcon::Exclamation) << c.name;
        EXPECT_EQ(ui.Seen().blockingRuns, sent ? 1 : 0) << c.name;
        EXPECT_FALSE(form->dialog.Ended()) << c.name;
        for (const auto& [id, text] : c.typed) {
            EXPECT_EQ(ui.GetText(id), text) << c.name;
        }
    }
}

// From the form to a stored request at the service, and the form closes; the exchange ran on a
// helper thread while the window was blocked.
TEST_F(SendDialogTest, AcceptedRequestIsStoredAndClosesTheForm) {
    TempDir serviceData;
    ReferenceServiceOptions options;
    options.dataFolder = serviceData.Path();
    ReferenceService service(options);
    service.Start();
    ScopedEnv server("LUMIKARTA_SUPPORT_URL", service.BaseUrl());
    ScopedEnv trust("LUMIKARTA_CA_BUNDLE", service.CaFile().string());

    const auto form = Open(1);
    RecordingDialogHost& ui = form->Ui();
    form->FillMandatory();
    ui.UserTypes(kFirstName, "Jürgen");
    ui.UserClicks(kSend);
    ASSERT_EQ(ui.Seen().messages.size(), 1u);
    EXPECT_EQ(ui.Seen().messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.Seen().messages[0].text, "Die Anfrage wurde erfolgreich versendet.");
    EXPECT_EQ(ui.Seen().blockingRuns, 1);
    EXPECT_TRUE(form->dialog.Ended());
    EXPECT_EQ(form->dialog.Result(), IDOK);

    const std::vector<std::filesystem::directory_entry> stored(
        std::filesystem::directory_iterator(service.RequestsFolder()), {});
    ASSERT_EQ(stored.size(), 1u);
    const std::string content = ReadFileBytes(stored[0].path());
    EXPECT_NE(content.find("<Firstname>Jürgen</Firstname>"), std::string::npos);
    EXPECT_NE(content.find("<ServiceLanguage>en</ServiceLanguage>"), std::string::npos);
    EXPECT_NE(content.find("<Subject>Printing</Subject>"), std::string::npos);
}

}  // namespace
