#include "xml/xml_node_pattern.h"

#include "xml/xml_name.h"

XmlNodePattern::XmlNodePattern(std::string_view pattern) {
    if (pattern == "*") {
        scope = Scope::kChildren;
    } else if (pattern.starts_with("//") && IsXmlName(pattern.substr(2))) {
        scope = Scope::kDocument;
        name = pattern.substr(2);
    } else if (IsXmlName(pattern)) {
        scope = Scope::kChildren;
        name = pattern;
    }
}
