#pragma once

#include <string>

// The C library's decimal reading (leading white space, a sign, digits; the first other character
// ends it; no digits give 0), with numbers beyond the int range held at its ends instead of
// overflowing.
int LeadingInteger(const std::string& text);
