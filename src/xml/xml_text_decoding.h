#pragma once

#include <string>
#include <string_view>

// The text of an XML document as UTF-8, decoded from what its byte-order mark or, without one, its
// declaration names (UTF-8 when neither does), so that the parser needs to know only UTF-8.
struct XmlDecodedText {
    // All of it; after a fault, what was decoded before it.
    std::string text;
    // Empty when the document was decoded whole: an encoding the system cannot convert, a byte that
    // is not of the named encoding, or a character XML does not allow.
    std::string error;
};

XmlDecodedText DecodeXmlText(std::string_view bytes);
