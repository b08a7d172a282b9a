#pragma once

#include <string_view>

// The text without the white space (space, tab, line and page breaks) at both of its ends.
std::string_view TrimWhiteSpace(std::string_view text);
