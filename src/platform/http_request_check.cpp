#include "platform/http_request_check.h"

namespace platform {

std::string HttpRequestRefusal(const HttpRequest& request) {
    if (request.method != "GET" && request.method != "POST") {
        return "Unsupported HTTP method " + request.method;
    }
    for (const std::string& line : request.headers) {
        if (line.find_first_of("\r\n") != std::string::npos) {
            return "HTTP header line contains a line break";
        }
    }
    return {};
}

}  // namespace platform
