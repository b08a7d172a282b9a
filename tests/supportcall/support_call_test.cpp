#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/local_http_server.h"
#include "support/scoped_env.h"
#include "support/scoped_http_timeouts.h"
#include "support/soap_request.h"
#include "support/support_call.h"
#include "support/temp_dir.h"
#include "support/test_certificate.h"

namespace {

using namespace std::chrono_literals;

SupportRequest SampleRequest() {
    SupportRequest request;
    request.product = "TopoKarte Deutschland";
    request.productVersion = "3.0.0";
    request.subject = "Drucken";
    request.description = "Der Ausdruck ist <leer> & \"grau\".\nGrüße";
    request.graphic = "Radeon";
    request.cpu = "AMD Ryzen";
    request.salutation = "Frau";
    request.firstName = "Jürgen";
    request.surname = "Weiß";
    request.email = "j.weiss@example.org";
    return request;
}

// Whether a reply file of an exchange is left in the folder.
bool HasReplyFiles(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("LKS")) {
            return true;
        }
    }
    return false;
}

std::string Envelope(const SupportRequest& request, const std::string& report) {
    const SoapRequest soap = CreateSoapRequest(kSupportCallAction);
    AddSupportCallParameters(*soap.document, soap.operation, request, report);
    return soap.document->GetXml();
}

// The whole request body: declaration, the six namespaces in order, every parameter in order and
// present also when empty, no type attributes, umlauts as UTF-8, markup typed by the user escaped.
TEST(SupportCallTest, EnvelopeHoldsEveryParameterInOrder) {
    EXPECT_EQ(
        Envelope(SampleRequest(), "\n\nBericht"),
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\" "
        "xmlns:tns=\"http://www.lumikarta.de/support\" "
        "xmlns:types=\"http://www.lumikarta.de/support/encodedTypes\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
        "<soap:Body soap:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><tns:sendSupportCall>"
        "<sendSupportCallParam><ServiceVersion>1</ServiceVersion><ServiceLanguage>de</ServiceLanguage>"
        "<SupportCall><Product>TopoKarte Deutschland</Product><Productversion>3.0.0</Productversion>"
        "<Subject>Drucken</Subject><Description>Der Ausdruck ist &lt;leer&gt; &amp; "
        "\"grau\".\nGrüße\n\nBericht"
        "</Description>"
        "<Hardware><Graphic>Radeon</Graphic><GraphicDriverVersion></GraphicDriverVersion>"
        "<OperatingSystem></OperatingSystem><Printer></Printer><PDA></PDA><CPU>AMD Ryzen</CPU><RAM></RAM>"
        "<KettlerDevice></KettlerDevice><KettlerDeviceID></KettlerDeviceID></Hardware>"
        "<Customer><Salutation>Frau</Salutation><Firstname>Jürgen</Firstname><Surname>Weiß</Surname>"
        "<Company></Company><Street></Street><ZipCode></ZipCode><City></City><Country></Country>"
        "<EMail>j.weiss@example.org</EMail><Telephone></Telephone></Customer></SupportCall>"
        "</sendSupportCallParam></tns:sendSupportCall></soap:Body></soap:Envelope>");

    for (const int language : {1, 2, -1}) {
        SupportRequest english = SampleRequest();
        english.language = language;
        EXPECT_NE(Envelope(english, "").find("<ServiceLanguage>en</ServiceLanguage>"), std::string::npos);
    }
}

std::string Reply(const std::string& returnChildren) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
           "<tns:sendSupportCallResponse xmlns:tns=\"http://www.lumikarta.de/support\"><return>" +
           returnChildren + "</return></tns:sendSupportCallResponse></soap:Body></soap:Envelope>";
}

// A reply padded with a comment to exactly `size` bytes.
std::string ReplyOfSize(std::size_t size) {
    std::string reply = Reply("<resultCode>1</resultCode>");
    const std::string open = "<!--";
    const std::string close = "-->";
    reply += open + std::string(size - reply.size() - open.size() - close.size(), 'x') + close;
    return reply;
}

class SupportCallServerTest : public testing::Test {
protected:
    SupportCallServerTest()
        : m_server(m_certificate),
          m_trust("LUMIKARTA_CA_BUNDLE", m_certificate.CaFile()),
          m_tempFolder("TMPDIR", m_temp.Path().string()) {}

    // Serves `status` and `body` at the endpoint and records the request.
    void Answer(int status, std::string body) {
        m_server.Routes().Post(
            "/fileadmin/lumikarta/user_files/supportform/support_3.php",
            [this, status, body](const httplib::Request& request, httplib::Response& response) {
                m_received = request;
                response.status = status;
                response.set_content(body, "text/xml; charset=utf-8");
            });
        m_server.Start();
    }

    SupportCallOutcome Post(const SupportRequest& request = SampleRequest()) {
        ScopedEnv server("LUMIKARTA_SUPPORT_URL", m_server.Url(""));
        return PostSupportCall(request, "\n\nBericht");
    }

    TestCertificate m_certificate;
    LocalHttpServer m_server;
    ScopedEnv m_trust;
    TempDir m_temp;
    ScopedEnv m_tempFolder;
    httplib::Request m_received;
};

TEST_F(SupportCallServerTest, RequestArrivesWithTheThreeHeadersAndItsBytes) {
    Answer(200, Reply("<resultCode>1</resultCode>"));
    EXPECT_EQ(Post().kind, SupportCallOutcome::Kind::Succeeded);
    EXPECT_EQ(m_received.method, "POST");
    EXPECT_EQ(m_received.get_header_value("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(m_received.get_header_value("SOAPAction"), "\"sendSupportCall\"");
    EXPECT_EQ(m_received.get_header_value("Content-Length"), std::to_string(m_received.body.size()));
    EXPECT_EQ(m_received.get_header_value("User-Agent"), "LumikartaSystemInfo");
    EXPECT_FALSE(m_received.has_header("Expect"));
    EXPECT_EQ(m_received.body, Envelope(SampleRequest(), "\n\nBericht"));
    EXPECT_NE(m_received.body.find("J\xC3\xBCrgen"), std::string::npos) << "ü as two UTF-8 bytes";
    EXPECT_FALSE(HasReplyFiles(m_temp.Path()));
}

struct ReplyCase {
    const char* name;
    int status;
    std::string body;
    SupportCallOutcome::Kind kind;
    int resultCode;
    std::string resultString;
};

class SupportReplyTest : public SupportCallServerTest, public testing::WithParamInterface<ReplyCase> {};

// Every reply gives exactly one outcome and leaves no temporary file behind.
TEST_P(SupportReplyTest, ReplyDecidesTheOutcome) {
    const ReplyCase& c = GetParam();
    Answer(c.status, c.body);
    const SupportCallOutcome outcome = Post();
    EXPECT_EQ(outcome.kind, c.kind);
    if (c.kind != SupportCallOutcome::Kind::NoConnection) {
        EXPECT_EQ(outcome.resultCode, c.resultCode);
        EXPECT_EQ(outcome.resultString, c.resultString);
    }
    EXPECT_FALSE(HasReplyFiles(m_temp.Path()));
}

using Kind = SupportCallOutcome::Kind;

INSTANTIATE_TEST_SUITE_P(
    Replies, SupportReplyTest,
    testing::Values(
        ReplyCase{"success", 200, Reply("<resultCode>1</resultCode><resultString>ok</resultString>"),
                  Kind::Succeeded, 1, "ok"},
        ReplyCase{"refused", 200,
                  Reply("<resultCode>3</resultCode><resultString>Kunde gesperrt</resultString>"),
                  Kind::Refused, 3, "Kunde gesperrt"},
        ReplyCase{"string first", 200, Reply("<resultString>später</resultString><resultCode>2</resultCode>"),
                  Kind::Refused, 2, "später"},
        ReplyCase{"no string", 200, Reply("<resultCode> 1</resultCode>"), Kind::Succeeded, 1, ""},
        ReplyCase{"code with letters", 200, Reply("<resultCode>01abc</resultCode>"), Kind::Succeeded, 1, ""},
        ReplyCase{"non-numeric code", 200, Reply("<resultCode>ok</resultCode>"), Kind::Refused, 0, ""},
        ReplyCase{"last one wins", 200, Reply("<resultCode>1</resultCode><resultCode>4</resultCode>"),
                  Kind::Refused, 4, ""},
        ReplyCase{"no code", 200, Reply("<resultString>x</resultString>"), Kind::Refused, kMissingResultCode,
                  "x"},
        ReplyCase{"no return", 200, "<a><resultCode>1</resultCode></a>", Kind::Refused, kMissingResultCode,
                  ""},
        ReplyCase{
            "long string cut", 200,
            Reply("<resultCode>5</resultCode><resultString>" + std::string(300, 'a') + "</resultString>"),
            Kind::Refused, 5, std::string(254, 'a')},
        ReplyCase{"2048 bytes", 200, ReplyOfSize(2048), Kind::Succeeded, 1, ""},
        ReplyCase{"2049 bytes", 200, ReplyOfSize(2049), Kind::Succeeded, 1, ""},
        ReplyCase{"fault", 500, Reply("<resultCode>1</resultCode>"), Kind::NoConnection, 0, ""},
        ReplyCase{"empty", 200, "", Kind::NoConnection, 0, ""},
        ReplyCase{"not XML", 200, "<html><body>Wartung", Kind::NoConnection, 0, ""}),
    [](const testing::TestParamInfo<ReplyCase>& info) {
        std::string name = info.param.name;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
            '_');
        return name;
    });

TEST(SupportCallFailureTest, NoServerStalledServerAndUnknownAuthorityAreNoConnection) {
    TempDir temp;
    ScopedEnv tempFolder("TMPDIR", temp.Path().string());
    ScopedHttpTimeouts quick({2, 1});

    // Nothing listens at the port of a stopped server.
    std::string closedUrl;
    {
        LocalHttpServer closed;
        closed.Start();
        closedUrl = closed.Url("");
    }
    {
        ScopedEnv server("LUMIKARTA_SUPPORT_URL", closedUrl);
        EXPECT_EQ(PostSupportCall(SampleRequest(), "").kind, Kind::NoConnection);
    }

    TestCertificate certificate;
    LocalHttpServer stalled(certificate);
    stalled.Routes().Post(".*", [&](const httplib::Request&, httplib::Response&) { stalled.Stall(10s); });
    stalled.Start();
    {
        ScopedEnv trust("LUMIKARTA_CA_BUNDLE", certificate.CaFile());
        ScopedEnv server("LUMIKARTA_SUPPORT_URL", stalled.Url(""));
        EXPECT_EQ(PostSupportCall(SampleRequest(), "").kind, Kind::NoConnection);
    }

    bool reached = false;
    LocalHttpServer untrusted(certificate);
    untrusted.Routes().Post(".*", [&](const httplib::Request&, httplib::Response&) { reached = true; });
    untrusted.Start();
    {
        ScopedEnv server("LUMIKARTA_SUPPORT_URL", untrusted.Url(""));
        EXPECT_EQ(PostSupportCall(SampleRequest(), "").kind, Kind::NoConnection);
    }
    EXPECT_FALSE(reached) << "nothing is sent to a server that cannot prove who it is";
    EXPECT_FALSE(HasReplyFiles(temp.Path()));
}

TEST(SupportCallTest, RefusalMessageFillsCodeThenString) {
    EXPECT_EQ(FormatRefusal("Fehler %i: %s", 3, "Kunde gesperrt"), "Fehler 3: Kunde gesperrt");
    EXPECT_EQ(FormatRefusal("Fehler %i: %s", -1, ""), "Fehler -1: ");
    EXPECT_EQ(FormatRefusal("%s %i 100%", 2, "%i"), "%s 2 100%") << "no conversion the text does not ask for";
}

}  // namespace
