#include "platform/web_addresses.h"

#include <cstdlib>

namespace {

std::string FromEnvironment(const char* variable, const char* productionAddress) {
    const char* value = std::getenv(variable);
    return value && *value ? value : productionAddress;
}

}  // namespace

std::string SupportServerUrl() {
    std::string url = FromEnvironment("LUMIKARTA_SUPPORT_URL", "https://www.lumikarta.de");
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    return url;
}

std::string FaqPageUrl() {
    return FromEnvironment("LUMIKARTA_FAQ_URL", "http://www.lumikarta.de/service/faq.html");
}

std::string UpdateDefinitionUrl() {
    return FromEnvironment("LUMIKARTA_UPDATE_URL", "http://www.lumikarta.de/downloads/updates.xml");
}
