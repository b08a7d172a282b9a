#include "platform/http_transport.h"

namespace platform {
namespace {

class BodyCollector final : public HttpReceiver {
public:
    explicit BodyCollector(std::string& body) : m_body(body) {}

    bool OnBody(const char* data, std::size_t size) override {
        m_body.append(data, size);
        return true;
    }

private:
    std::string& m_body;
};

}  // namespace

HttpResult HttpFetch(HttpTransport& transport, const HttpRequest& request, std::string& body) {
    body.clear();
    BodyCollector collector(body);
    return transport.Perform(request, collector);
}

}  // namespace platform
