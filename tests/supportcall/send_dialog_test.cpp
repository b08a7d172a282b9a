#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <fstream>

#include "common/dialog_builder.h"
#include "faqdata/faq_store.h"
#include "lumikarta-service/reference_service.h"
#include "res/control_ids.h"
#include "support/local_http_server.h"
#include "support/scoped_env.h"
#include "support/send_dialog.h"
#include "support/temp_dir.h"
#include "ui_support/message_box_recorder.h"

namespace {

using namespace send_dialog;

// A store with two subjects per language, read from a cache file as at start-up.
class SubjectStore {
public:
    SubjectStore() : m_base("LUMIKARTA_COMMON_APPDATA", m_folder.Path().string()) {
        const std::filesystem::path cache = m_folder.Path() / "Lumikarta" / "Support und Update Tool";
        std::filesystem::create_directories(cache);
        std::ofstream(cache / "data.xml")
            << "<?xml version=\"1.0\" encoding=\"utf-8\"?><SupportTool>"
               "<SubjectsDE><option>Drucken</option><option>Installation</option>"
               "</SubjectsDE><SubjectsEN><option>Printing</option>"
               "<option>Setup</option></SubjectsEN></SupportTool>";
        CFAQStore::Instance()->LoadCache();
    }
    ~SubjectStore() { CFAQStore::DestroyInstance(); }

private:
    TempDir m_folder;
    ScopedEnv m_base;
};

class SendDialogTest : public testing::Test {
protected:
    SendDialogTest() {
        m_facts.m_Products = {{"TopoKarte", {}, "3.0.0"}, {"Alpen", {}, "2.1.0"}, {"Harz", {}, "1.0.0"}};
        m_facts.m_Printers = {"laser", "Buero"};
        m_facts.m_strCPUName = " AMD Ryzen ";
    }

    std::unique_ptr<CSendDialog> Open(int language = 0) {
        auto dialog = std::make_unique<CSendDialog>(m_facts);
        dialog->m_nLanguage = language;
        dialog->Initialize();
        dialog->show();
        return dialog;
    }

    template <typename Control>
    static Control* At(const CSendDialog& dialog, int id) {
        return FindControl<Control>(dialog, id);
    }

    // Every mandatory field filled, so a test can empty the one it is about.
    static void FillMandatory(CSendDialog& dialog) {
        At<QComboBox>(dialog, kProblemType)->setCurrentIndex(0);
        At<QPlainTextEdit>(dialog, kDescription)->setPlainText("Leer");
        At<QLineEdit>(dialog, kFirstName)->setText("Eva");
        At<QLineEdit>(dialog, kSurname)->setText("Roth");
        At<QLineEdit>(dialog, kEmail)->setText("eva@example.org");
    }

    SubjectStore m_subjects;
    CSystemInfo m_facts;
};

TEST_F(SendDialogTest, OpensFilledFromTheFactsAndShowsTheChosenProductsVersion) {
    const auto dialog = Open();
    EXPECT_EQ(At<QComboBox>(*dialog, kProduct)->currentText(), "TopoKarte");
    EXPECT_EQ(At<QLineEdit>(*dialog, kProductVersion)->text(), "3.0.0");
    EXPECT_EQ(At<QComboBox>(*dialog, kPrinter)->currentText(), "Buero") << "sorted, first chosen";
    EXPECT_EQ(At<QComboBox>(*dialog, kPrinter)->count(), 2) << "the template's placeholders are gone";
    EXPECT_EQ(At<QComboBox>(*dialog, kSalutation)->currentText(), "Herr");
    EXPECT_EQ(At<QLineEdit>(*dialog, kCPU)->text(), "AMD Ryzen");
    EXPECT_EQ(At<QComboBox>(*dialog, kProblemType)->count(), 2);
    EXPECT_EQ(At<QComboBox>(*dialog, kProblemType)->itemText(0), "Drucken");
    EXPECT_EQ(At<QComboBox>(*dialog, kProblemType)->currentIndex(), -1) << "no subject chosen";
    EXPECT_EQ(At<QLineEdit>(*dialog, kPhone)->maxLength(), 20);
    EXPECT_TRUE(At<QLabel>(*dialog, kEmailLabel)->font().bold());
    EXPECT_FALSE(At<QLabel>(*dialog, kCompanyLabel)->font().bold());
    EXPECT_EQ(dialog->focusWidget(), FindControl<QWidget>(*dialog, kSend));

    EXPECT_EQ(At<QComboBox>(*Open(1), kProblemType)->itemText(0), "Printing");

    // Choosing a product shows its version; typing one does not.
    auto* product = At<QComboBox>(*dialog, kProduct);
    product->setCurrentIndex(2);
    emit product->activated(2);
    EXPECT_EQ(At<QLineEdit>(*dialog, kProductVersion)->text(), "1.0.0");
    product->setEditText("Wanderkarte Harz");
    EXPECT_EQ(At<QLineEdit>(*dialog, kProductVersion)->text(), "1.0.0");
}

// The checks run in order; the first that fails shows its message and nothing is sent.
TEST_F(SendDialogTest, ChecksMandatoryFieldsInOrder) {
    const struct {
        const char* name;
        void (*empty)(CSendDialog&);
        const char* message;
    } cases[] = {
        {"product", [](CSendDialog& d) { At<QComboBox>(d, kProduct)->setEditText(""); },
         "Bitte geben Sie ein Produkt an!"},
        {"version", [](CSendDialog& d) { At<QLineEdit>(d, kProductVersion)->clear(); },
         "Bitte geben Sie eine Produktversion an!"},
        {"subject", [](CSendDialog& d) { At<QComboBox>(d, kProblemType)->setCurrentIndex(-1); },
         "Bitte geben Sie eine Problemart an!"},
        {"description", [](CSendDialog& d) { At<QPlainTextEdit>(d, kDescription)->clear(); },
         "Bitte geben Sie eine Beschreibung ein!"},
        {"first name", [](CSendDialog& d) { At<QLineEdit>(d, kFirstName)->clear(); },
         "Bitte geben Sie ihren Vornamen ein!"},
        {"surname", [](CSendDialog& d) { At<QLineEdit>(d, kSurname)->clear(); },
         "Bitte geben Sie ihren Nachnamen ein!"},
        {"e-mail without dot", [](CSendDialog& d) { At<QLineEdit>(d, kEmail)->setText("eva@example"); },
         "Bitte geben Sie eine korrekte E-Mail Adresse ein!"},
        {"e-mail without at", [](CSendDialog& d) { At<QLineEdit>(d, kEmail)->setText("eva.example.org"); },
         "Bitte geben Sie eine korrekte E-Mail Adresse ein!"},
        {"everything but the product",
         [](CSendDialog& d) {
             At<QComboBox>(d, kProduct)->setEditText("");
             At<QLineEdit>(d, kSurname)->clear();
         },
         "Bitte geben Sie ein Produkt an!"},
    };
    for (const auto& c : cases) {
        const auto dialog = Open();
        FillMandatory(*dialog);
        c.empty(*dialog);
        MessageBoxRecorder messages;
        dialog->OnSend();
        ASSERT_EQ(messages.Messages().size(), 1u) << c.name;
        EXPECT_EQ(messages.Messages()[0].text.toStdString(), c.message) << c.name;
        EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(dialog->isVisible()) << c.name;
    }
}

// Whatever passes the checks goes to the service: here none answers, which is the third message.
TEST_F(SendDialogTest, OddButValidEntriesPassTheChecks) {
    std::string closedUrl;
    {
        LocalHttpServer closed;
        closed.Start();
        closedUrl = closed.Url("");
    }
    ScopedEnv server("LUMIKARTA_SUPPORT_URL", closedUrl);
    for (const char* email : {".@", "@.", "a.b@c", "x@y.z"}) {
        const auto dialog = Open();
        FillMandatory(*dialog);
        At<QLineEdit>(*dialog, kEmail)->setText(email);
        At<QPlainTextEdit>(*dialog, kDescription)->setPlainText(" ");
        MessageBoxRecorder messages;
        dialog->OnSend();
        ASSERT_EQ(messages.Messages().size(), 1u) << email;
        EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::Stop) << email;
        EXPECT_EQ(At<QLineEdit>(*dialog, kEmail)->text(), email) << "entries stay after a failed send";
        EXPECT_TRUE(dialog->isVisible());
    }
}

// From the form to a stored request at the service, and the form closes.
TEST_F(SendDialogTest, AcceptedRequestIsStoredAndClosesTheForm) {
    TempDir serviceData;
    ReferenceServiceOptions options;
    options.dataFolder = serviceData.Path();
    ReferenceService service(options);
    service.Start();
    ScopedEnv server("LUMIKARTA_SUPPORT_URL", service.BaseUrl());
    ScopedEnv trust("LUMIKARTA_CA_BUNDLE", service.CaFile().string());

    const auto dialog = Open(1);
    FillMandatory(*dialog);
    At<QLineEdit>(*dialog, kFirstName)->setText("Jürgen");
    MessageBoxRecorder messages;
    dialog->OnSend();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.Messages()[0].text, "Die Anfrage wurde erfolgreich versendet.");
    EXPECT_EQ(dialog->result(), IDOK);
    EXPECT_FALSE(dialog->isVisible());

    std::vector<std::filesystem::path> stored;
    for (const auto& entry : std::filesystem::directory_iterator(service.RequestsFolder())) {
        stored.push_back(entry.path());
    }
    ASSERT_EQ(stored.size(), 1u);
    std::ifstream file(stored[0]);
    const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("<Firstname>Jürgen</Firstname>"), std::string::npos);
    EXPECT_NE(content.find("<ServiceLanguage>en</ServiceLanguage>"), std::string::npos);
    EXPECT_NE(content.find("<Subject>Printing</Subject>"), std::string::npos);
}

TEST_F(SendDialogTest, ReturnSendsFromALineButBreaksTheLineInTheDescription) {
    const auto dialog = Open();
    MessageBoxRecorder messages;
    auto* description = At<QPlainTextEdit>(*dialog, kDescription);
    description->setFocus();
    QTest::keyClick(description, Qt::Key_Return);
    EXPECT_EQ(description->toPlainText(), "\n");
    EXPECT_TRUE(messages.Messages().empty());

    auto* firstName = At<QLineEdit>(*dialog, kFirstName);
    firstName->setFocus();
    QTest::keyClick(firstName, Qt::Key_Return);
    ASSERT_EQ(messages.Messages().size(), 1u) << "Return runs the checks";
    EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::Exclamation);
}

}  // namespace
