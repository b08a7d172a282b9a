#pragma once

#include <string_view>

// What a pattern of CXMLDocument::SelectNodes asks for: "//name", every element of that qualified
// name in the document; "name", the child elements of that name; "*", all child elements.
struct XmlNodePattern {
    enum class Scope {
        kNothing,   // the pattern is not understood
        kChildren,  // the child elements of the start node
        kDocument,  // the elements of the whole document, in document order
    };

    // Keeps a view into `pattern`.
    explicit XmlNodePattern(std::string_view pattern);

    // Whether an element of this qualified name is wanted; names match case-sensitively, prefix
    // included.
    bool Matches(std::string_view elementName) const { return name.empty() || elementName == name; }

    Scope scope = Scope::kNothing;
    // Empty for any element.
    std::string_view name;
};
