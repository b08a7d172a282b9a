#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/local_http_server.h"
#include "support/raw_http_server.h"
#include "support/sample_support_request.h"
#include "support/scoped_env.h"
#include "support/support_call.h"
#include "support/temp_dir.h"
#include "support/test_certificate.h"

namespace {

SupportRequest SampleRequest() {
    return SampleSupportRequest("Der Ausdruck ist <leer> & \"grau\".\nGrüße");
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

using Kind = SupportCallOutcome::Kind;

// The endpoint over trusted HTTPS; the temporary folder shows whether a reply file is left behind.
class SupportCallServerTest : public testing::Test {
protected:
    SupportCallServerTest()
        : m_trust("LUMIKARTA_CA_BUNDLE", m_certificate.CaFile()),
          m_tempFolder("TMPDIR", m_temp.Path().string()) {}

    // Posts the sample request to a server that presents `presented` and answers with `status` and
    // `body`; the request it received is kept.
    SupportCallOutcome Exchange(int status, const std::string& body,
                                const TestCertificate* presented = nullptr) {
        m_received = {};
        LocalHttpServer server(presented ? *presented : m_certificate);
        server.Routes().Post("/fileadmin/lumikarta/user_files/supportform/support_3.php",
                             [&](const httplib::Request& request, httplib::Response& response) {
                                 m_received = request;
                                 response.status = status;
                                 response.set_content(body, "text/xml; charset=utf-8");
                             });
        server.Start();
        ScopedEnv url("LUMIKARTA_SUPPORT_URL", server.Url(""));
        return PostSupportCall(SampleRequest(), "\n\nBericht");
    }

    TestCertificate m_certificate;
    ScopedEnv m_trust;
    TempDir m_temp;
    ScopedEnv m_tempFolder;
    httplib::Request m_received;
};

// The bytes as they arrive, before a server library reads them and puts them in order; markup typed
// by the user is escaped.
TEST(SupportCallTest, RequestArrivesAsItsBytes) {
    RawHttpServer server(RawHttpReply::Complete(Reply("<resultCode>1</resultCode>")));
    const ScopedEnv url("LUMIKARTA_SUPPORT_URL", server.Url(""));
    EXPECT_EQ(PostSupportCall(SampleRequest(), "\n\nBericht").kind, Kind::Succeeded);
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], SupportCallRequestBytes(
                               server.Port(), SampleSupportCallEnvelope("Der Ausdruck ist &lt;leer&gt; &amp; "
                                                                        "\"grau\".\nGrüße\n\nBericht")));

    for (const int language : {1, 2, -1}) {
        SupportRequest english = SampleRequest();
        english.language = language;
        EXPECT_NE(SupportCallEnvelope(english, "").find("<ServiceLanguage>en</ServiceLanguage>"),
                  std::string::npos);
    }
}

// Every reply gives exactly one outcome and leaves no temporary file behind.
TEST_F(SupportCallServerTest, ReplyDecidesTheOutcome) {
    struct Case {
        const char* name;
        int status;
        std::string body;
        Kind kind;
        int resultCode;
        std::string resultString;
    };
    const Case cases[] = {
        {"success", 200, Reply("<resultCode>1</resultCode><resultString>ok</resultString>"), Kind::Succeeded,
         1, "ok"},
        {"refused", 200, Reply("<resultCode>3</resultCode><resultString>Kunde gesperrt</resultString>"),
         Kind::Refused, 3, "Kunde gesperrt"},
        {"string first", 200, Reply("<resultString>später</resultString><resultCode>2</resultCode>"),
         Kind::Refused, 2, "später"},
        {"no string", 200, Reply("<resultCode> 1</resultCode>"), Kind::Succeeded, 1, ""},
        {"code with letters", 200, Reply("<resultCode>01abc</resultCode>"), Kind::Succeeded, 1, ""},
        {"non-numeric code", 200, Reply("<resultCode>ok</resultCode>"), Kind::Refused, 0, ""},
        {"last one wins", 200, Reply("<resultCode>1</resultCode><resultCode>4</resultCode>"), Kind::Refused,
         4, ""},
        {"no code", 200, Reply("<resultString>x</resultString>"), Kind::Refused, kMissingResultCode, "x"},
        {"no return", 200, "<a><resultCode>1</resultCode></a>", Kind::Refused, kMissingResultCode, ""},
        {"long string cut", 200,
         Reply("<resultCode>5</resultCode><resultString>" + std::string(300, 'a') + "</resultString>"),
         Kind::Refused, 5, std::string(254, 'a')},
        {"2049 bytes", 200, ReplyOfSize(2049), Kind::Succeeded, 1, ""},
        {"1 MiB", 200, ReplyOfSize(1024 * 1024), Kind::Succeeded, 1, ""},
        {"1 MiB and a byte", 200, ReplyOfSize(1024 * 1024 + 1), Kind::NoConnection, 0, ""},
        {"fault", 500, Reply("<resultCode>1</resultCode>"), Kind::NoConnection, 0, ""},
        {"empty", 200, "", Kind::NoConnection, 0, ""},
        {"not XML", 200, "<html><body>Wartung", Kind::NoConnection, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SupportCallOutcome outcome = Exchange(c.status, c.body);
        EXPECT_EQ(outcome.kind, c.kind);
        if (c.kind != Kind::NoConnection) {
            EXPECT_EQ(outcome.resultCode, c.resultCode);
            EXPECT_EQ(outcome.resultString, c.resultString);
        }
        EXPECT_FALSE(HasReplyFiles(m_temp.Path()));
    }
}

// A closed port and a stalled server take the same way; the transport and the support form try them.
TEST_F(SupportCallServerTest, NothingIsSentToAServerThatCannotProveWhoItIs) {
    const TestCertificate stranger;
    EXPECT_EQ(Exchange(200, Reply("<resultCode>1</resultCode>"), &stranger).kind, Kind::NoConnection);
    EXPECT_TRUE(m_received.method.empty());
}

TEST(SupportCallTest, RefusalMessageFillsCodeThenString) {
    EXPECT_EQ(FormatRefusal("Fehler %i: %s", 3, "Kunde gesperrt"), "Fehler 3: Kunde gesperrt");
    EXPECT_EQ(FormatRefusal("Fehler %i: %s", -1, ""), "Fehler -1: ");
    EXPECT_EQ(FormatRefusal("%s %i 100%", 2, "%i"), "%s 2 100%") << "no conversion the text does not ask for";
}

}  // namespace
