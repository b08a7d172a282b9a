#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <thread>

#include "service/service_fixture.h"

namespace {

// The stored copy, read back with an ordinary XML parser: every parameter as it was sent, blanks
// included, readable by the service's user only.
void ExpectStoredAsSent(const std::filesystem::path& file, const Params& sent, const std::string& number) {
    pugi::xml_document stored;
    ASSERT_TRUE(stored.load_file(file.c_str(), pugi::parse_default | pugi::parse_ws_pcdata)) << file;
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const pugi::xml_node root = stored.document_element();
    EXPECT_EQ(std::string(root.attribute("number").value()), number);
    EXPECT_TRUE(std::regex_match(number, std::regex("20[0-9]{6}-[0-9]{4}"))) << number;
    EXPECT_TRUE(
        std::regex_match(root.attribute("receivedAt").value(),
                         std::regex("20[0-9]{2}-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-5][0-9]Z")));
    const pugi::xml_node param = root.child("sendSupportCallParam");
    for (const Param& item : sent) {
        EXPECT_EQ(std::string(param.first_element_by_path(item.path.c_str()).text().as_string()), item.value)
            << item.path;
    }
}

TEST(SupportEndpointTest, CompleteRequestIsStoredAndAnsweredWithItsNumber) {
    struct Case {
        std::string language;
        std::string prefix;
        std::string suffix;
    };
    const Case cases[] = {{"de", "Anfrage ", " gespeichert"}, {"en", "Request ", " stored"}};
    RunningService running;
    std::set<std::string> numbers;
    for (const Case& c : cases) {
        const Params sent = CompleteRequest(c.language);
        const Reply reply = Send(running, Envelope(sent));
        ASSERT_EQ(reply.status, 200) << c.language;
        EXPECT_EQ(reply.resultCode, 1) << c.language;
        ASSERT_TRUE(reply.resultString.starts_with(c.prefix) && reply.resultString.ends_with(c.suffix))
            << reply.resultString;
        const std::string number = reply.resultString.substr(
            c.prefix.size(), reply.resultString.size() - c.prefix.size() - c.suffix.size());
        numbers.insert(number);
        ExpectStoredAsSent(running.service.RequestsFolder() / (number + ".xml"), sent, number);
    }
    EXPECT_EQ(numbers.size(), 2u);
    EXPECT_EQ(running.StoredFiles().size(), 2u);
}

TEST(SupportEndpointTest, IncompleteRequestNamesWhatIsMissingAndIsNotStored) {
    struct Case {
        Params params;
        std::string expected;
    };
    const Params german = CompleteRequest("de");
    const Params english = CompleteRequest("en");
    const Case cases[] = {
        {With(german, "SupportCall/Customer/Firstname", ""), "Pflichtfeld nicht ausgefüllt: Firstname"},
        {With(german, "SupportCall/Description", " \n\t "), "Pflichtfeld nicht ausgefüllt: Description"},
        {Without(english, "SupportCall/Customer/EMail"), "Required field not filled in: EMail"},
        {With(With(english, "SupportCall/Product", ""), "SupportCall/Subject", ""),
         "Required fields not filled in: Product, Subject"},
        {Without(german, "SupportCall/Customer/Company"), "Element fehlt: Company"},
        {Without(english, "SupportCall/Hardware"), "Missing element: Hardware"},
        // Any language but "en" is answered in German.
        {With(With(german, "ServiceLanguage", "fr"), "SupportCall/Customer/Surname", ""),
         "Pflichtfeld nicht ausgefüllt: Surname"},
        {With(english, "ServiceVersion", "2"), "ServiceVersion is not supported (expected: 1)"},
    };
    RunningService running;
    for (const Case& c : cases) {
        const Reply reply = Send(running, Envelope(c.params));
        EXPECT_EQ(reply.status, 200) << c.expected;
        EXPECT_EQ(reply.resultCode, 2) << c.expected;
        EXPECT_EQ(reply.resultString, c.expected);
    }
    EXPECT_TRUE(running.StoredFiles().empty());
}

TEST(SupportEndpointTest, WrongHeadersAreRefusedWithAFault) {
    struct Case {
        const char* what;
        std::string contentType;
        httplib::Headers headers;
    };
    const std::string body = Envelope(CompleteRequest());
    const std::string xml = "text/xml; charset=utf-8";
    const Case cases[] = {
        {"no charset", "text/xml", SoapAction()},
        {"charset spelled differently", "text/xml; charset=UTF-8", SoapAction()},
        {"no SOAPAction", xml, {}},
        {"SOAPAction without quotes", xml, {{"SOAPAction", "sendSupportCall"}}},
        {"SOAPAction twice",
         xml,
         {{"SOAPAction", "\"sendSupportCall\""}, {"SOAPAction", "\"sendSupportCall\""}}},
        // The service waits for the rest, then gives up.
        {"body shorter than Content-Length",
         xml,
         {{"SOAPAction", "\"sendSupportCall\""}, {"Content-Length", std::to_string(body.size() + 10)}}},
    };
    RunningService running(true, {}, std::chrono::milliseconds(300));
    for (const Case& c : cases) {
        const Reply reply = Send(running, body, c.headers, c.contentType);
        EXPECT_EQ(reply.status, 400) << c.what;
        EXPECT_EQ(reply.faultCode, "soap:Client") << c.what;
    }
    EXPECT_TRUE(running.StoredFiles().empty());
}

TEST(SupportEndpointTest, MalformedEnvelopeGetsAClientFault) {
    const std::string good = Envelope(CompleteRequest());
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
        {"markup in a value", replace("ProductA<", "<b>ProductA</b><")},
        {"not UTF-8", replace("ProductA", "Product\xe4")},
        {"control character as a reference", replace("ProductA<", "Product&#1;A<")},
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

TEST(SupportEndpointTest, OversizedBodyAndOtherMethodsAreRefused) {
    RunningService running;
    const std::string huge(SupportEndpoint::kMaxBodyBytes + 1, ' ');
    const Reply tooLarge = Send(running, Envelope(CompleteRequest()) + huge);
    EXPECT_EQ(tooLarge.status, 413);
    EXPECT_EQ(tooLarge.faultCode, "soap:Client");

    const httplib::Result get = running.Client()->Get(SupportEndpoint::kPath);
    ASSERT_TRUE(get);
    EXPECT_EQ(get->status, 405);
    EXPECT_EQ(get->get_header_value("Allow"), "POST");
    EXPECT_TRUE(running.StoredFiles().empty());
}

// A request that cannot be written must never be reported as stored.
TEST(SupportEndpointTest, RequestThatCannotBeStoredIsNotReportedAsStored) {
    RunningService running;
    std::filesystem::remove_all(running.service.RequestsFolder());
    std::ofstream(running.service.RequestsFolder()) << "in the way";
    const Reply reply = Send(running, Envelope(CompleteRequest("en")));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.resultCode, 3);
    EXPECT_EQ(reply.resultString, "The request could not be stored. Please send it again later.");
}

TEST(SupportEndpointTest, ConcurrentRequestsEachGetTheirOwnNumberAndFile) {
    constexpr int kThreads = 6;
    constexpr int kEach = 3;
    RunningService running;
    const std::string body = Envelope(CompleteRequest());
    std::vector<std::vector<Reply>> replies(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                replies[t].push_back(Send(running, body));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<std::string> texts;
    for (const auto& perThread : replies) {
        for (const Reply& reply : perThread) {
            EXPECT_EQ(reply.resultCode, 1);
            texts.insert(reply.resultString);
        }
    }
    EXPECT_EQ(texts.size(), std::size_t{kThreads * kEach});
    EXPECT_EQ(running.StoredFiles().size(), std::size_t{kThreads * kEach});
}

}  // namespace
