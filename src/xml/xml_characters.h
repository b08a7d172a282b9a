#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The characters XML 1.0 allows in a document: tab, line feed, carriage return and everything from
// U+0020 on except the surrogates, U+FFFE and U+FFFF. No reader takes a document with any other,
// not even written as a character reference.
bool IsXmlCharacter(char32_t character);

// `text` (UTF-8) as it may go into a document: characters XML does not allow are left out, bytes
// that are no UTF-8 become U+FFFD. A control character pasted into a field would otherwise make the
// whole document unreadable for its receiver.
std::string XmlWritableText(std::string_view text);

// Where the first byte lies that starts no UTF-8 sequence or a character XML does not allow;
// npos when there is none.
std::size_t FindNonXmlCharacter(std::string_view text);

// Where the first "&" in an XML text lies that starts no reference a reader can resolve without a
// DTD: anything but the five predefined entities and character references to characters XML allows
// ("&#1;" and "&#0;" are not). npos when there is none. Comments, CDATA sections and processing
// instructions hold no references and are passed over.
std::size_t FindUnreadableReference(std::string_view xml);
