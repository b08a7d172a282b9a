#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "helpers/raw_http_server.h"
#include "helpers/sample_support_request.h"
#include "helpers/scoped_env.h"
#include "helpers/scoped_http_timeouts.h"
#include "helpers/temp_dir.h"
#include "support/support_call.h"

namespace {

using Kind = SupportCallOutcome::Kind;

std::string Reply(const std::string& returnChildren) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
           "<tns:sendSupportCallResponse xmlns:tns=\"http://www.lumikarta.de/support\"><return>" +
           returnChildren + "</return></tns:sendSupportCallResponse></soap:Body></soap:Envelope>";
}

RawHttpReply Returns(const std::string& returnChildren) {
    return RawHttpReply::Complete(Reply(returnChildren));
}

// The request arrives as its bytes, before a server library reads them and puts them in order, with
// markup typed by the user escaped; every reply gives exactly one outcome and leaves no file of the
// exchange in the temporary folder. A server that sends without end, too slowly or not what it
// announced is no answer, within the call's time.
TEST(SupportCallTest, OneRequestAndAnOutcomeDecidedByTheReply) {
    const ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 5, .totalSeconds = 1});
    TempDir temp;
    const ScopedEnv tempFolder("TMPDIR", temp.Path().string());
    const std::string envelope =
        SampleSupportCallEnvelope("Der Ausdruck ist &lt;leer&gt; &amp; \"grau\".\nGrüße\n\nBericht");
    const std::string success = Reply("<resultCode>1</resultCode><resultString>ok</resultString>");
    // The success padded with a comment to exactly `size` bytes.
    const auto successOfSize = [&success](std::size_t size) {
        return RawHttpReply::Complete(success + "<!--" + std::string(size - success.size() - 7, 'x') + "-->");
    };
    RawHttpReply fault = Returns("<resultCode>1</resultCode>");
    fault.head.replace(fault.head.find("200 OK"), 6, "500 Internal Server Error");
    struct Case {
        const char* name;
        RawHttpReply reply;
        Kind kind;
        int resultCode;
        std::string resultString;
    };
    const Case cases[] = {
        {"refused, string first, the last code wins",
         Returns("<resultString>gesperrt</resultString><resultCode>1</resultCode><resultCode>3</resultCode>"),
         Kind::Refused, 3, "gesperrt"},
        {"non-numeric code", Returns("<resultCode>ok</resultCode>"), Kind::Refused, 0, ""},
        {"no code", Returns("<resultString>x</resultString>"), Kind::Refused, kMissingResultCode, "x"},
        {"no return", RawHttpReply::Complete("<a><resultCode>1</resultCode></a>"), Kind::Refused,
         kMissingResultCode, ""},
        {"long string cut",
         Returns("<resultCode>5</resultCode><resultString>" + std::string(300, 'a') + "</resultString>"),
         Kind::Refused, 5, std::string(254, 'a')},
        {"success of 1 MiB", successOfSize(1024 * 1024), Kind::Succeeded, 1, "ok"},
        {"1 MiB and a byte", successOfSize(1024 * 1024 + 1), Kind::NoConnection, 0, ""},
        {"fault", fault, Kind::NoConnection, 0, ""},
        {"not XML", RawHttpReply::Complete("<html><body>Wartung"), Kind::NoConnection, 0, ""},
        {"endless", RawHttpReply::EndlessBody(), Kind::NoConnection, 0, ""},
        {"huge length", RawHttpReply::HugeLength(), Kind::NoConnection, 0, ""},
        {"drip", RawHttpReply::Drip(success), Kind::NoConnection, 0, ""},
        {"cut", RawHttpReply::CutBody(success), Kind::NoConnection, 0, ""},
        {"empty", RawHttpReply::EmptyBody(), Kind::NoConnection, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RawHttpServer server(c.reply);
        const ScopedEnv support("LUMIKARTA_SUPPORT_URL", server.Url(""));
        const SupportCallOutcome outcome = PostSupportCall(
            SampleSupportRequest("Der Ausdruck ist <leer> & \"grau\".\nGrüße"), "\n\nBericht");
        EXPECT_EQ(server.Requests(), std::vector{SupportCallRequestBytes(server.Port(), envelope)});
        EXPECT_EQ(outcome.kind, c.kind);
        if (c.kind != Kind::NoConnection) {
            EXPECT_EQ(outcome.resultCode, c.resultCode);
            EXPECT_EQ(outcome.resultString, c.resultString);
        }
        EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
    }
}

TEST(SupportCallTest, RefusalMessageFillsCodeThenString) {
    EXPECT_EQ(FormatRefusal("Fehler %i: %s", 3, "Kunde gesperrt"), "Fehler 3: Kunde gesperrt");
    EXPECT_EQ(FormatRefusal("%s %i 100%", 2, "%i"), "%s 2 100%") << "no conversion the text does not ask for";
}

}  // namespace
