#pragma once

#include <string_view>

// Whether `name` is a qualified XML name such as "soap:Body". Bytes of non-ASCII characters are all
// accepted: the names compared and written come from the program, and this only has to keep markup
// out.
bool IsXmlName(std::string_view name);
