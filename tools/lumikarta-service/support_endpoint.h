#pragma once

#include <cstddef>
#include <string_view>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

class RequestStore;

// The support web service's one operation, sendSupportCall: SOAP 1.1 over HTTP(S) POST. It checks the
// headers the program sends, reads the support request from the envelope, stores a complete request
// and answers with a result code (1 stored, 2 incomplete, 3 not stored) and a text in the request's
// language. A request that is not this operation's SOAP envelope gets a SOAP fault.
class SupportEndpoint {
public:
    static constexpr const char* kPath = "/fileadmin/lumikarta/user_files/supportform/support_3.php";
    // Far above any real request (the system report included); a larger body is refused unread.
    static constexpr std::size_t kMaxBodyBytes = std::size_t{1} << 20;
    static constexpr const char* kServiceNamespace = "http://www.lumikarta.de/support";

    explicit SupportEndpoint(RequestStore& store);

    // Checked before any byte of the body is read, since they say how long the body is: true when it
    // may be read; otherwise the fault is in `response`.
    static bool AdmitFraming(const httplib::Request& request, httplib::Response& response);
    // Answers a POST whose body has been read.
    void Handle(const httplib::Request& request, httplib::Response& response) const;

    // Puts a SOAP 1.1 fault into `response`. `code` is the qualified fault code, e.g. "soap:Client".
    static void Fault(httplib::Response& response, int status, std::string_view code, std::string_view text);

private:
    RequestStore& m_store;
};
