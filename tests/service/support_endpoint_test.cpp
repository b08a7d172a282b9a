#include <gtest/gtest.h>

#include <fstream>

#include "service/service_fixture.h"
#include "support/sample_support_request.h"

namespace {

TEST(SupportEndpointTest, MalformedEnvelopeGetsAClientFault) {
    const std::string good = SampleSupportCallEnvelope("Karte lädt nicht");
    const auto replace = [&good](const std::string& from, const std::string& to) {
        std::string changed = good;
        for (std::size_t at = changed.find(from); at != std::string::npos;
             at = changed.find(from, at + to.size())) {
            changed.replace(at, from.size(), to);
        }
        return changed;
    };
    struct Case {
        const char* what;
        std::string body;
    };
    const Case cases[] = {
        {"empty", ""},
        {"not XML", "sendSupportCall please"},
        {"cut short", good.substr(0, good.size() / 2)},
        {"wrong envelope namespace",
         replace("schemas.xmlsoap.org/soap/envelope/", "www.w3.org/2003/05/soap-envelope")},
        {"other operation", replace("tns:sendSupportCall", "tns:sendOther")},
        {"two operations", replace("</soap:Body>", "<tns:sendSupportCall/></soap:Body>")},
        {"markup in a value", replace("Drucken<", "<b>Drucken</b><")},
        {"not UTF-8", replace("Drucken", "Druck\xe4n")},
        {"control character as a reference", replace("Drucken<", "Druck&#1;en<")},
        {"document type",
         replace("<soap:Envelope", "<!DOCTYPE soap:Envelope [<!ENTITY big \"xxxxxxxx\">]><soap:Envelope")},
    };
    RunningService running;
    for (const Case& c : cases) {
        const Reply reply = Send(running, c.body);
        EXPECT_EQ(reply.status, 500) << c.what;
        EXPECT_EQ(reply.faultCode, "soap:Client") << c.what;
        EXPECT_FALSE(reply.resultCode.has_value()) << c.what;
    }
    EXPECT_TRUE(running.StoredFiles().empty());
}

TEST(SupportEndpointTest, OversizedBodyIsRefused) {
    RunningService running;
    const std::string huge(SupportEndpoint::kMaxBodyBytes + 1, ' ');
    const Reply tooLarge = Send(running, SampleSupportCallEnvelope("Text") + huge);
    EXPECT_EQ(tooLarge.status, 413);
    EXPECT_EQ(tooLarge.faultCode, "soap:Client");
    EXPECT_TRUE(running.StoredFiles().empty());
}

// A request that cannot be written must never be reported as stored.
TEST(SupportEndpointTest, RequestThatCannotBeStoredIsNotReportedAsStored) {
    RunningService running;
    std::filesystem::remove_all(running.service.RequestsFolder());
    std::ofstream(running.service.RequestsFolder()) << "in the way";
    const Reply reply = Send(running, SampleSupportCallEnvelope("Text"));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.resultCode, 3);
    EXPECT_EQ(reply.resultString, "Die Anfrage konnte nicht gespeichert werden. Bitte später erneut senden.");
}

}  // namespace
