#pragma once

#include <string>
#include <string_view>

#include "support/support_call.h"

// A request of one known customer about printing; `description` is what a test sends through.
SupportRequest SampleSupportRequest(std::string description);

// The body a sample request must be posted as, written out by hand: declaration, the six namespaces
// in order, every parameter in order and present also when empty, no type attributes, texts in
// UTF-8. `descriptionXml` is the description with the report appended, as escaped XML text.
std::string SampleSupportCallEnvelope(std::string_view descriptionXml);

// The request of the support call to 127.0.0.1:`port` as the program writes it: HTTP/1.1, no accept
// types, the three headers of the call, no cache, the connection kept, then `body`.
// `lengthSeparator` stands between "Content-Length:" and the number.
std::string SupportCallRequestBytes(int port, const std::string& body, std::string_view lengthSeparator = "");
