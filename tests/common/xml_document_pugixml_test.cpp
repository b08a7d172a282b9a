#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/xml_document.h"
#include "support/temp_dir.h"

// What the Linux parser itself decides: where an error lies, and the encoding names it knows.

namespace {

std::string Utf16LeBytes(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Line and character in it, counted in characters whatever the encoding.
TEST(XmlDocumentPugixml, ParseErrorsTellLineAndCharacter) {
    struct Case {
        std::string bytes;
        int line;
        int position;
    };
    const std::vector<Case> cases = {
        {"<a>\n<b>ä</c></a>", 2, 7},  // at the "c" of "</c>"
        {Utf16LeBytes(u"\uFEFF<a>\n<b>ä</c></a>"), 2, 7},
        {"<a><b>€€</a>", 1, 11},
        {"<a>\n<b>\n", 2, 4},      // the input ends while <b> is open: its last character
        {"<a>\nx\xFF</a>", 2, 2},  // at the byte that is no UTF-8
        {"<?xml version='1.0' encoding='us-ascii'?>\n<a>\xE4</a>", 2, 4},
    };
    for (const Case& c : cases) {
        CXMLDocument doc;
        EXPECT_FALSE(doc.LoadFromBuffer(c.bytes)) << c.bytes;
        EXPECT_EQ(doc.ErrorLine(), c.line) << c.bytes;
        EXPECT_EQ(doc.ErrorLinePos(), c.position) << c.bytes;
    }
}

// Every encoding the system converts is read, also those the other platform's parser lacks.
TEST(XmlDocumentPugixml, EncodingsTheSystemConvertsAreRead) {
    struct Case {
        const char* encoding;
        const char* bytes;
        const char* text;
    };
    const Case cases[] = {
        {"latin1", "\xC4\xD6\xDC", "ÄÖÜ"},
        {"KOI8-R", "\xC1", "а"},
        {"ibm850", "\x84", "ä"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        CXMLDocument doc;
        ASSERT_TRUE(doc.Load(dir.WriteFile("a.xml", std::string("<?xml version='1.0' encoding='") +
                                                        c.encoding + "'?>\n<a>" + c.bytes + "</a>")))
            << c.encoding;
        EXPECT_EQ(doc.GetNodeTextCopy(doc.SelectFirstNode(doc.Root(), "a")), c.text) << c.encoding;
    }
}

}  // namespace
