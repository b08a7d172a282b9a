#include "xml/xml_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "helpers/temp_dir.h"

namespace {

std::string Describe(const CXMLDocument& doc, const std::vector<CXMLNode>& nodes) {
    std::string joined;
    for (const CXMLNode& node : nodes) {
        joined.append(joined.empty() ? "" : "|").append(doc.GetNodeTextCopy(node).value_or("<none>"));
    }
    return joined;
}

std::string Utf16LeBytes(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Texts keep whole characters, the field GetNodeText fills 254 of them whatever their size. A control
// character typed into a field would make the whole document unreadable for any reader.
TEST(XmlDocumentText, TextsKeepWholeCharactersButNoneXmlForbidsThroughBuildingWritingAndReading) {
    // Built by appending: GCC 12 at -O3 takes "x" + std::string for an overlapping copy (-Wrestrict).
    const auto repeat = [](std::string_view text, int times, std::string repeated = {}) {
        for (int i = 0; i < times; ++i) {
            repeated += text;
        }
        return repeated;
    };
    struct Case {
        std::string text;
        std::string written;
        std::string field;
    };
    const std::vector<Case> cases = {
        {"Grüße: 5 € „zitiert“ – ok, 😀", "Grüße: 5 € „zitiert“ – ok, 😀", "Grüße: 5 € „zitiert“ – ok, 😀"},
        {repeat("€", 300, "x"), repeat("€", 300, "x"), repeat("€", 253, "x")},
        {repeat("😀", 255), repeat("😀", 255), repeat("😀", 254)},
        {"a\x01\tb\x0B\x0C\nc\x1F\x7F", "a\tb\nc\x7F", "a\tb\nc\x7F"},
        // U+FFFD is a character; bytes that are no UTF-8 become one.
        {"x\xEF\xBF\xBEy\xEF\xBF\xBF\xEF\xBF\xBDz", "xy\xEF\xBF\xBDz", "xy\xEF\xBF\xBDz"},
        {"bad \xFF\xC3 bytes", "bad \xEF\xBF\xBD\xEF\xBF\xBD bytes", "bad \xEF\xBF\xBD\xEF\xBF\xBD bytes"},
    };
    for (const Case& c : cases) {
        CXMLDocument built;
        const CXMLNode element = built.AddElement(built.DocumentNode(), "a", c.text);
        EXPECT_TRUE(built.SetAttribute(element, "v", c.text));
        std::string field;
        EXPECT_TRUE(built.GetNodeText(element, field));
        EXPECT_EQ(field, c.field);
        EXPECT_EQ(built.GetNodeTextCopy(element), c.written);

        CXMLDocument reread;
        ASSERT_TRUE(reread.LoadFromBuffer(built.GetXml())) << built.GetXml();
        EXPECT_EQ(reread.GetNodeTextCopy(reread.SelectFirstNode(reread.Root(), "a")), c.written);
    }
}

// Texts, CDATA and references are no elements, but they are part of the text of all descendants.
TEST(XmlDocumentSelect, PatternsFindElementsInDocumentOrder) {
    CXMLDocument doc;
    ASSERT_TRUE(doc.LoadFromBuffer(
        "<p:list xmlns:p=\"urn:p\">t<a>1</a> &amp;&#x20AC; <b><a>n</a></b><![CDATA[<c>]]><a>3</a></p:list>"));
    const CXMLNode root = doc.Root();
    const CXMLNode list = doc.SelectFirstNode(root, "p:list");
    const CXMLNode b = doc.SelectFirstNode(list, "b");
    ASSERT_TRUE(b);
    struct Case {
        CXMLNode start;
        const char* pattern;
        std::string texts;
    };
    const std::vector<Case> cases = {
        {root, "p:list", "t1 &€ n<c>3"},
        {list, "*", "1|n|3"},
        {list, "a", "1|3"},   // only children of the start node
        {b, "//a", "1|n|3"},  // "//" searches the whole document wherever it starts
        {root, "list", ""},   // the prefix is part of the name
        {root, "//A", ""},    // names are case-sensitive
        {CXMLNode(), "//a", ""},
        {CXMLNode(), "*", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(doc, doc.SelectNodes(c.start, c.pattern)), c.texts) << c.pattern;
        EXPECT_EQ(static_cast<bool>(doc.SelectFirstNode(c.start, c.pattern)), !c.texts.empty()) << c.pattern;
    }
    for (const char* pattern :
         {"", "/", "//", "//*", "b/a", "//b/a", "./b", "b[1]", "@x", "..", "* ", "a|b"}) {
        EXPECT_TRUE(doc.SelectNodes(list, pattern).empty()) << pattern;
        EXPECT_FALSE(doc.SelectFirstNode(list, pattern)) << pattern;
    }
    std::string out = "stale";
    EXPECT_FALSE(doc.GetNodeText(CXMLNode(), out));
    EXPECT_EQ(out, "");
    EXPECT_EQ(doc.GetNodeTextCopy(CXMLNode()), std::nullopt);
}

// Texts as the platform's DOM gives them at its default settings (measured with its parser):
// padding is trimmed, white space alone between elements is one blank, CDATA keeps its blanks; the
// encoding is the byte-order mark's or the declaration's.
TEST(XmlDocumentText, TextsReadAsThePlatformGivesThem) {
    struct Case {
        std::string xml;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"<a>  x  </a>", "x"},
        {"<a>\n\t \n</a>", ""},
        {"<a>x   y\n\nz</a>", "x   y\n\nz"},
        {"<a>\r\n x \r\n y \r\n</a>", "x \n y"},
        {"<a> x <b> y </b> z </a>", "x  y  z"},
        {"<a>\n  <b>1</b>\n  <c>2</c>\n</a>", "1 2"},
        {"<a>x<b> </b><c> </c>y</a>", "x y"},
        {"<a>x <b> </b> y</a>", "x   y"},
        {"<a><b/>  <c/></a>", ""},
        {"<a>\xC2\xA0x\xC2\xA0</a>", "\xC2\xA0x\xC2\xA0"},  // no-break spaces are text
        {"<a>  <![CDATA[  c  ]]>  </a>", "  c  "},
        {"<a>  x <![CDATA[ c ]]> y  </a>", "x  c  y"},
        {"<a>  x  <![CDATA[]]></a>", "x  "},
        {"<a><!-- &#1; --><![CDATA[&#0;]]></a>", "&#0;"},  // no references there
        {"\xEF\xBB\xBF<a>Grüße € 😀</a>", "Grüße € 😀"},
        {Utf16LeBytes(u"\uFEFF<a>Grüße € 😀</a>"), "Grüße € 😀"},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x80 \x84z\x93 \xE4</a>", "€ „z“ ä"},
    };
    for (const Case& c : cases) {
        CXMLDocument doc;
        ASSERT_TRUE(doc.LoadFromBuffer(c.xml)) << c.xml;
        const CXMLNode a = doc.SelectFirstNode(doc.Root(), "a");
        std::string field;
        EXPECT_TRUE(doc.GetNodeText(a, field));
        EXPECT_EQ(field, c.text) << c.xml;
        EXPECT_EQ(doc.GetNodeTextCopy(a), c.text) << c.xml;
    }
}

// Why a load failed is told in each parser's own words; only that it tells it is shared.
TEST(XmlDocumentLoad, FailedLoadsTellWhatWentWrong) {
    const TempDir dir;
    std::filesystem::create_directory(dir.Path() / "folder.xml");
    const std::string secret = "SECRET-4711-must-stay-unread";
    const std::string secretPath = dir.WriteFile("secret.txt", secret);
    struct Case {
        const char* name;
        std::optional<std::string> bytes;  // none: nothing is written
        int result;
    };
    const int read = CXMLDocument::kLoadReadFailed;
    const int parse = CXMLDocument::kLoadParseFailed;
    const std::vector<Case> cases = {
        {"missing.xml", std::nullopt, read},
        {"folder.xml", std::nullopt, read},
        {"utf8.xml", "<a>\n<b>ä</c></a>", parse},
        {"empty.xml", "", parse},
        // Documents with a DTD are refused unread, whatever it would pull in.
        {"entity.xml",
         "<!DOCTYPE a [<!ENTITY x SYSTEM \"file://" + secretPath + "\">]><a b=\"&x;\"><b>&x;</b></a>", parse},
        {"external.xml", "<!DOCTYPE a SYSTEM \"file://" + secretPath + "\"><a><b>&x;</b></a>", parse},
        // What the declared or the default encoding cannot read.
        {"unknown.xml", "<?xml version=\"1.0\" encoding=\"x-no-such\"?><a><b/></a>", parse},
        {"not-utf8.xml", "<a><b>\xE4x</b></a>", parse},
        {"ascii.xml", "<?xml version=\"1.0\" encoding=\"us-ascii\"?><a><b>\xE4</b></a>", parse},
        {"utf16-declared.xml", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a><b/></a>", parse},
        {"control.xml", "<a><b>\x01</b></a>", parse},
        {"control-reference.xml", "<a><b>&#1;</b></a>", parse},
        {"undeclared-entity.xml", "<a><b>&e;</b></a>", parse},
        {"reference-in-attribute.xml", "<a><b c=\"&#xFFFE;\"/></a>", parse},
    };
    // One document for all: each load forgets what the one before left.
    CXMLDocument doc;
    for (const Case& c : cases) {
        const std::string path = c.bytes ? dir.WriteFile(c.name, *c.bytes) : dir.FilePath(c.name);
        ASSERT_TRUE(doc.LoadFromBuffer("<a><b/></a>"));
        EXPECT_FALSE(doc.Load(path)) << c.name;
        EXPECT_FALSE(doc.IsLoaded());
        EXPECT_EQ(doc.Path(), path);
        EXPECT_EQ(doc.LoadResult(), c.result) << c.name;
        EXPECT_FALSE(doc.ErrorReason().empty()) << c.name;
        // A root to query, but nothing of a half-parsed document may be taken for an answer.
        EXPECT_TRUE(doc.Root()) << c.name;
        EXPECT_TRUE(doc.SelectNodes(doc.Root(), "//b").empty()) << c.name;
        EXPECT_EQ(doc.GetXml().find(secret), std::string::npos) << c.name;
        EXPECT_EQ(doc.GetNodeTextCopy(doc.Root()).value_or("").find(secret), std::string::npos) << c.name;
    }
    ASSERT_TRUE(doc.LoadFromBuffer("<a>x</a>"));
    EXPECT_EQ(doc.ErrorReason(), "");
    EXPECT_FALSE(doc.Load(""));
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_FALSE(doc.Root());
}

// The support service gets the same bytes from every platform's serialiser, and no markup is
// smuggled in through a name.
TEST(XmlDocumentWrite, WritesTheSameTextOnEveryPlatform) {
    CXMLDocument doc;
    const CXMLNode top = doc.DocumentNode();
    ASSERT_TRUE(doc.AddProcessingInstruction(top, "xml", "version=\"1.0\" encoding=\"utf-8\""));
    const CXMLNode element = doc.AddElement(top, "p:r", "");
    EXPECT_TRUE(doc.SetAttribute(element, "xmlns:p", "urn:replaced"));
    EXPECT_TRUE(doc.SetAttribute(element, "b", "1 & 2 < 3 > 0 \"q\" 'a'\ttab"));
    EXPECT_TRUE(doc.SetAttribute(element, "xmlns:p", "urn:p"));  // keeps its place
    doc.AddElement(element, "t", "a & b < c > d \"e\" 'f'");
    doc.AddElement(element, "empty", "");
    EXPECT_FALSE(doc.AddElement(CXMLNode(), "b", "x"));
    EXPECT_FALSE(doc.SetAttribute(CXMLNode(), "b", "x"));
    for (const char* name : {"", "b c", "b><evil", "1b", "b/"}) {
        EXPECT_FALSE(doc.AddElement(element, name, "x")) << name;
        EXPECT_FALSE(doc.SetAttribute(element, name, "x")) << name;
        EXPECT_FALSE(doc.AddProcessingInstruction(element, name, "x")) << name;
    }
    EXPECT_EQ(doc.GetXml(),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?><p:r xmlns:p=\"urn:p\" "
              "b=\"1 &amp; 2 &lt; 3 > 0 &quot;q&quot; 'a'&#09;tab\"><t>a &amp; b &lt; c &gt; d \"e\" 'f'</t>"
              "<empty></empty></p:r>");
}

}  // namespace
