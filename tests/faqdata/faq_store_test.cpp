#include "faqdata/faq_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/xml_document.h"

namespace {

// Every test starts from and leaves behind no store at all, since the store outlives a test.
class FaqStoreTest : public ::testing::Test {
protected:
    void SetUp() override { CFAQStore::DestroyInstance(); }
    void TearDown() override { CFAQStore::DestroyInstance(); }

    // Hands the "option" children of <s>...</s> to ParseSubjects with `code`.
    static void Subjects(const std::string& options, std::string_view code) {
        CXMLDocument doc;
        ASSERT_TRUE(doc.LoadFromBuffer("<s>" + options + "</s>"));
        EXPECT_TRUE(CFAQStore::Instance()->ParseSubjects(doc, doc.SelectFirstNode(doc.Root(), "s"), code));
    }
};

TEST_F(FaqStoreTest, OnlyTheExactCodeDeSelectsTheGermanSubjectsWhichAreAppended) {
    Subjects("<option>Drucken</option><option>GPS-Geräte</option><option>Sonstiges</option>", "de");
    Subjects("<option>Printing</option><option>Other</option>", "en");
    // Subjects of another language are dropped, not filed under English.
    Subjects("<option>Impression</option>", "fr");
    const CFAQStore& store = *CFAQStore::Instance();

    struct Case {
        const char* code;
        int index;
        const char* subject;
    };
    const Case cases[] = {
        {"de", 0, "Drucken"},  {"de", 2, "Sonstiges"}, {"de", 3, ""},         {"de", -1, ""},
        {"DE", 0, "Printing"}, {"de ", 0, "Printing"}, {"en", 1, "Other"},    {"en", 2, ""},
        {"fr", 1, "Other"},    {"", 0, "Printing"},    {"en", INT32_MIN, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(store.GetSubject(c.code, c.index), c.subject) << c.code << " " << c.index;
        EXPECT_EQ(store.GetSubjectCount(c.code), std::string_view(c.code) == "de" ? 3 : 2) << c.code;
    }

    // Further subjects are appended; empty and repeated ones keep their places.
    Subjects("<option>A</option><option/><option></option><option>A</option>", "de");
    Subjects("<option>B</option><other>x</other><g><option>nested</option></g>", "de");
    std::vector<std::string> subjects;
    for (int i = 0; i < store.GetSubjectCount("de"); ++i) {
        subjects.push_back(store.GetSubject("de", i));
    }
    EXPECT_EQ(subjects,
              (std::vector<std::string>{"Drucken", "GPS-Geräte", "Sonstiges", "A", "", "", "A", "B"}));
}

}  // namespace
