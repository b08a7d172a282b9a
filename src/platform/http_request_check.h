#pragma once

#include <string>

#include "platform/http_transport.h"

namespace platform {

// Why a transport refuses `request` before it connects: a method other than GET and POST, or a
// header line with a line break, which would let a value smuggle in further header lines. Empty
// when there is nothing to refuse.
std::string HttpRequestRefusal(const HttpRequest& request);

}  // namespace platform
