#include <gtest/gtest.h>

#include <fstream>

#include "lumikarta-service/support_endpoint.h"
#include "service/service_fixture.h"
#include "support/sample_support_request.h"

namespace {

httplib::Result Send(const RunningService& running, const std::string& body) {
    return running.Client().Post(SupportEndpoint::kPath, {{"SOAPAction", "\"sendSupportCall\""}}, body,
                                 "text/xml; charset=utf-8");
}

TEST(SupportEndpointTest, MalformedOrOversizedEnvelopeGetsAClientFaultAndIsNotStored) {
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
        int status;
    };
    const Case cases[] = {
        {"not XML", "sendSupportCall please", 500},
        {"wrong envelope namespace",
         replace("schemas.xmlsoap.org/soap/envelope/", "www.w3.org/2003/05/soap-envelope"), 500},
        {"other operation", replace("tns:sendSupportCall", "tns:sendOther"), 500},
        {"two operations", replace("</soap:Body>", "<tns:sendSupportCall/></soap:Body>"), 500},
        {"markup in a value", replace("Drucken<", "<b>Drucken</b><"), 500},
        {"not UTF-8", replace("Drucken", "Druck\xe4n"), 500},
        {"control character as a reference", replace("Drucken<", "Druck&#1;en<"), 500},
        {"document type",
         replace("<soap:Envelope", "<!DOCTYPE soap:Envelope [<!ENTITY big \"xxxxxxxx\">]><soap:Envelope"),
         500},
        {"too large", good + std::string(SupportEndpoint::kMaxBodyBytes + 1, ' '), 413},
    };
    RunningService running(true);
    for (const Case& c : cases) {
        const httplib::Result reply = Send(running, c.body);
        ASSERT_TRUE(reply) << c.what;
        EXPECT_EQ(reply->status, c.status) << c.what;
        EXPECT_NE(reply->body.find("<faultcode>soap:Client</faultcode>"), std::string::npos) << reply->body;
        EXPECT_EQ(reply->body.find("resultCode"), std::string::npos) << c.what;
    }
    EXPECT_TRUE(std::filesystem::is_empty(running.service.RequestsFolder()));
}

// A request that cannot be written must never be reported as stored.
TEST(SupportEndpointTest, RequestThatCannotBeStoredIsNotReportedAsStored) {
    RunningService running(true);
    std::filesystem::remove_all(running.service.RequestsFolder());
    std::ofstream(running.service.RequestsFolder()) << "in the way";
    const httplib::Result reply = Send(running, SampleSupportCallEnvelope("Text"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_NE(reply->body.find("<resultCode>3</resultCode>"), std::string::npos) << reply->body;
    EXPECT_NE(reply->body.find("<resultString>Die Anfrage konnte nicht gespeichert werden. Bitte später "
                               "erneut senden.</resultString>"),
              std::string::npos);
}

}  // namespace
