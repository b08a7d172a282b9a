#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_document.h"

namespace {

std::string WithXmlLineEnds(std::string_view text) {
    std::string normalised;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            normalised += text[i];
        } else if (i + 1 == text.size() || text[i + 1] != '\n') {
            normalised += '\n';
        }
    }
    return normalised;
}

}  // namespace

// Feeds arbitrary bytes to the XML loader and then walks whatever came out, as the program does
// with a reply or a cache file it did not write itself. Seeds: seeds/xml_load (encodings, a DTD, white
// space and CDATA, character references, broken UTF-8).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CXMLDocument doc;
    doc.LoadFromBuffer(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string text;
    const std::vector<CXMLNode> matches = doc.SelectNodes(doc.Root(), "//a");
    // The text of each of many nested matches would make the run quadratic: a few are enough.
    for (std::size_t i = 0; i < matches.size() && i < 16; ++i) {
        const CXMLNode& node = matches[i];
        doc.GetNodeText(node, text);
        for (const CXMLNode& child : doc.SelectNodes(node, "*")) {
            doc.GetNodeName(child, text);
            doc.GetNodeTextCopy(child);
        }
    }
    for (const CXMLNode& node : doc.SelectNodes(doc.Root(), "*")) {
        doc.GetNodeText(node, text);
        doc.GetNodeTextCopy(node);
    }
    const std::string xml = doc.GetXml();
    // What was written must read back, with its line ends as XML reads them: a carriage return in a
    // text comes back as a line feed.
    if (doc.IsLoaded()) {
        CXMLDocument again;
        if (!again.LoadFromBuffer(xml) || again.GetXml() != WithXmlLineEnds(xml)) {
            __builtin_trap();
        }
    }
    return 0;
}
