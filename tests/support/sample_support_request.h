#pragma once

#include <string>
#include <string_view>

#include "support/support_call.h"

// A request of one known customer about printing; `description` is what a test sends through.
SupportRequest SampleSupportRequest(std::string description);

// The body the program posts for `request` with `systemReport` appended to the description.
std::string SupportCallEnvelope(const SupportRequest& request, const std::string& systemReport);

// The request of the support call to 127.0.0.1:`port` as the program writes it: HTTP/1.1, no accept
// types, the three headers of the call, no cache, the connection kept, then `body`.
// `lengthSeparator` stands between "Content-Length:" and the number.
std::string SupportCallRequestBytes(int port, const std::string& body, std::string_view lengthSeparator = "");
