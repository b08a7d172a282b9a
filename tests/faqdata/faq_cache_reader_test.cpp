#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "faqdata/faq_store.h"
#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"

namespace {

constexpr const char* kCacheFolder = "Lumikarta/Support und Update Tool";
// Everyone may put files in; only their owners may remove them.
constexpr auto kShared = std::filesystem::perms::all | std::filesystem::perms::sticky_bit;

class FaqCacheTest : public ::testing::Test {
protected:
    void SetUp() override { CFAQStore::DestroyInstance(); }
    void TearDown() override { CFAQStore::DestroyInstance(); }

    // Not there before the first load, which makes it.
    std::filesystem::path Base() const { return m_base.Path() / "appdata"; }
    std::filesystem::path CacheFolder() const { return Base() / kCacheFolder; }

    void WriteCache(const std::string& xml) const {
        std::filesystem::create_directories(CacheFolder());
        m_base.WriteFile("appdata/" + std::string(kCacheFolder) + "/data.xml", xml);
    }

    // LoadCache with the shared folder in the test's own place, never the machine's, named with
    // its final separator.
    bool Load() const {
        ScopedEnv appData("LUMIKARTA_COMMON_APPDATA", Base().string() + "/");
        return CFAQStore::Instance()->LoadCache();
    }

    TempDir m_base;
};

std::string Join(const std::vector<int32_t>& numbers) {
    std::string text;
    for (const int32_t n : numbers) {
        text.append(text.empty() ? "" : ",").append(std::to_string(n));
    }
    return text;
}

// The whole store as text: subjects per language, then one line per category and entry.
std::string Describe(const CFAQStore& store) {
    std::string text;
    for (const char* code : {"de", "en"}) {
        text.append(code).append(":");
        for (int i = 0; i < store.GetSubjectCount(code); ++i) {
            text.append(i ? "|" : "").append(store.GetSubject(code, i));
        }
        text += "\n";
    }
    for (const auto& c : store.Categories()) {
        text +=
            "C " + Join({c->uid, c->pid, c->tstamp, c->crdate}) + " " + c->title + "/" + c->shortcut + "\n";
    }
    for (const auto& e : store.Entries()) {
        text += "F " + Join({e->uid, e->pid, e->tstamp, e->crdate}) + " " + e->question + " [" +
                Join(e->category) + "] " + e->answer + "/" + e->related + "/" + e->related_links + "/" +
                e->faq_files + "\n";
    }
    return text;
}

std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<SupportTool>" + body + "</SupportTool>";
}

// The folder is prepared and the path set also without a readable file.
TEST_F(FaqCacheTest, ReadsWhatTheFileHoldsWhateverItsOrderAndGaps) {
    struct Case {
        const char* label;
        std::optional<std::string> xml;  // none: no file
        const char* expected;
        bool loaded = true;
    };
    const Case cases[] = {
        {"every section and field, in any order",
         Document(
             "<FAQEntries><FAQ><faq_files>b.pdf</faq_files><uid>21</uid><pid>12</pid><tstamp>7</tstamp>"
             "<crdate>8</crdate><question>Wie?</question><category>3</category><answer>So.\nUnd so.</answer>"
             "<related>22</related><related_links>/a.html</related_links></FAQ></FAQEntries><Categories>"
             "<FAQCategory><shortcut>inst</shortcut><uid>3</uid><pid>12</pid><tstamp>1331571600</tstamp>"
             "<crdate>-5</crdate><title>Installation</title></FAQCategory></Categories><SubjectsEN>"
             "<option>Printing</option></SubjectsEN><SubjectsDE><option>Drucken</option><option>Sonstiges"
             "</option></SubjectsDE>"),
         "de:Drucken|Sonstiges\nen:Printing\nC 3,12,1331571600,-5 Installation/inst\n"
         "F 21,12,7,8 Wie? [3] So.\nUnd so./22//a.html/b.pdf\n"},
        {"first of repeated children and sections; every category and subject; empty records",
         Document("<SubjectsDE><option>first</option><option/><option>first</option></SubjectsDE><SubjectsDE>"
                  "<option>second</option>"
                  "</SubjectsDE><Categories><FAQCategory><title>T1</title><uid>2</uid><title>T2</title>"
                  "<uid>3</uid></FAQCategory><FAQCategory/></Categories><FAQEntries><FAQ><category>4"
                  "</category><category>9</category><question>Q1</question><category>4</category>"
                  "<question>Q2</question></FAQ><FAQ/></FAQEntries>"),
         "de:first||first\nen:\nC 2,0,0,0 T1/\nC 0,0,0,0 /\nF 0,0,0,0 Q1 [4,9,4] ///\nF 0,0,0,0  [] ///\n"},
        {"other elements and deeper ones are not read",
         Document("<Extra><SubjectsDE><option>deep</option></SubjectsDE></Extra><SubjectsDE><g><option>x"
                  "</option></g><option>y</option></SubjectsDE><Categories><Other/><FAQCategory><x><uid>5"
                  "</uid></x><uid>6</uid></FAQCategory></Categories>"),
         "de:y\nen:\nC 6,0,0,0 /\n"},
        {"numbers as the C library reads them, held at the ends of their range",
         Document("<Categories><FAQCategory><uid> 12abc</uid><pid>+5</pid><tstamp>abc</tstamp><crdate>- 5"
                  "</crdate></FAQCategory><FAQCategory><uid>-42</uid><pid>\n\t7 8</pid><tstamp>99999999999"
                  "</tstamp><crdate>-99999999999</crdate></FAQCategory></Categories>"),
         "de:\nen:\nC 12,5,0,0 /\nC -42,7,2147483647,-2147483648 /\n"},
        {"another document element", "<Other><SubjectsDE><option>A</option></SubjectsDE></Other>",
         "de:\nen:\n"},
        {"first run, no file", std::nullopt, "de:\nen:\n", false},
        {"not well-formed", "<SupportTool><SubjectsDE><option>A</option></SupportTool>", "de:\nen:\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CFAQStore::DestroyInstance();
        std::filesystem::remove_all(Base());
        if (c.xml) {
            WriteCache(*c.xml);
        }
        EXPECT_EQ(Load(), c.loaded);
        const CFAQStore& store = *CFAQStore::Instance();
        EXPECT_EQ(Describe(store), c.expected);
        // Only the exact code "de" gives the German subjects; any other the English ones.
        for (const char* code : {"DE", "de ", "fr", ""}) {
            EXPECT_EQ(store.GetSubjectCount(code), store.GetSubjectCount("en")) << code;
            EXPECT_EQ(store.GetSubject(code, 0), store.GetSubject("en", 0)) << code;
        }
        for (const int index : {-1, INT32_MIN, store.GetSubjectCount("de")}) {
            EXPECT_EQ(store.GetSubject("de", index), "") << index;
        }
        EXPECT_EQ(store.CacheFilePath(), (CacheFolder() / "data.xml").string());
        EXPECT_EQ(std::filesystem::status(CacheFolder()).permissions(), kShared);
    }
}

// The folder's default list as text, one entry a line; none where the file system keeps no lists.
std::optional<std::string> DefaultList(const std::filesystem::path& folder) {
    acl_t acl = acl_get_file(folder.c_str(), ACL_TYPE_DEFAULT);
    if (acl == nullptr) {
        return std::nullopt;
    }
    char* text = acl_to_any_text(acl, nullptr, '\n', TEXT_NUMERIC_IDS);
    std::string list = text ? text : "";
    acl_free(text);
    acl_free(acl);
    return list;
}

// Another user may put a link where a level of the shared folder belongs, to have the program open
// the link's target to everyone; such a level is refused and the target left as it was.
TEST_F(FaqCacheTest, TheFolderIsOpenToAllButNeitherLevelIsFollowedWhereItIsALink) {
    using std::filesystem::perms;
    const std::filesystem::path target = m_base.Path() / "private";
    for (const std::filesystem::path& link : {CacheFolder(), Base() / "Lumikarta"}) {
        SCOPED_TRACE(link);
        std::filesystem::remove_all(Base() / "Lumikarta");
        std::filesystem::remove_all(target);
        std::filesystem::create_directories(target);
        std::filesystem::permissions(target, perms::owner_all);
        std::filesystem::create_directories(link.parent_path());
        std::filesystem::create_directory_symlink(target, link);
        EXPECT_FALSE(Load());
        EXPECT_EQ(std::filesystem::status(target).permissions(), perms::owner_all);
        EXPECT_TRUE(std::filesystem::is_empty(target));
        EXPECT_EQ(DefaultList(target).value_or(""), "");
    }

    // The maker's level is readable by all whatever the umask; the shared one is everyone's.
    for (const mode_t mask : {mode_t{0}, mode_t{077}}) {
        std::filesystem::remove_all(Base() / "Lumikarta");
        const mode_t before = umask(mask);
        Load();
        umask(before);
        EXPECT_EQ(std::filesystem::symlink_status(Base() / "Lumikarta").permissions(),
                  perms::owner_all | perms::group_read | perms::group_exec | perms::others_read |
                      perms::others_exec);
        EXPECT_EQ(std::filesystem::symlink_status(CacheFolder()).permissions(), kShared);
    }

    // Files put into the folder inherit full access where the file system has lists.
    if (!DefaultList(CacheFolder())) {
        return;  // the folder's mode is all there is
    }
    EXPECT_EQ(DefaultList(CacheFolder()), "user::rwx\ngroup::rwx\nmask::rwx\nother::rwx");

    // An administrator narrowed it and added an entry of their own, which must survive.
    acl_t narrowed = acl_from_text("u::rwx,u:65534:r-x,g::r-x,m::r-x,o::---");
    ASSERT_EQ(acl_set_file(CacheFolder().c_str(), ACL_TYPE_DEFAULT, narrowed), 0);
    acl_free(narrowed);
    Load();
    EXPECT_EQ(DefaultList(CacheFolder()), "user::rwx\nuser:65534:r-x\ngroup::rwx\nmask::rwx\nother::rwx");
}

// Others can put anything in the shared folder under the file's name; only a regular file of sane
// size is read, and nothing else may block start-up or feed it without end.
TEST_F(FaqCacheTest, ReadsOnlyARegularFileOfSaneSize) {
    const std::string subject = Document("<SubjectsDE><option>A</option></SubjectsDE>");
    // A document of exactly `size` bytes, padded inside a comment.
    const auto padded = [&](std::size_t size) {
        std::string xml = subject;
        return xml.insert(xml.size() - std::string_view("</SupportTool>").size(),
                          "<!--" + std::string(size - xml.size() - 7, ' ') + "-->");
    };
    constexpr std::size_t kLimit = 16 * 1024 * 1024;
    struct Case {
        const char* label;
        std::function<void(const std::filesystem::path& file)> put;
        bool loaded;
    };
    const Case cases[] = {
        {"a link to a regular file",
         [&](const auto& file) {
             m_base.WriteFile("elsewhere.xml", subject);
             std::filesystem::create_symlink(m_base.Path() / "elsewhere.xml", file);
         },
         true},
        {"at the limit", [&](const auto&) { WriteCache(padded(kLimit)); }, true},
        {"past the limit", [&](const auto&) { WriteCache(padded(kLimit + 1)); }, false},
        {"a FIFO", [](const auto& file) { ASSERT_EQ(mkfifo(file.c_str(), 0666), 0); }, false},
        {"a link to a device without end",
         [](const auto& file) { std::filesystem::create_symlink("/dev/zero", file); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CFAQStore::DestroyInstance();
        std::filesystem::remove_all(CacheFolder());
        std::filesystem::create_directories(CacheFolder());
        c.put(CacheFolder() / "data.xml");
        EXPECT_EQ(Load(), c.loaded);
        EXPECT_EQ(Describe(*CFAQStore::Instance()), c.loaded ? "de:A\nen:\n" : "de:\nen:\n");
    }
}

}  // namespace
