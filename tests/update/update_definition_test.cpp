#include <gtest/gtest.h>

#include <optional>

#include "helpers/raw_http_server.h"
#include "helpers/scoped_http_timeouts.h"
#include "helpers/scoped_system_registry.h"
#include "lumikarta-service/update_signing_key.h"
#include "update/update_definition.h"

namespace {

using Status = UpdateDefinitionOutcome::Status;

std::string Installed(const std::string& key, const std::string& values) {
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\" + key + "]\n" + values + "\n";
}

std::string Product(const std::string& regKey, const std::string& updates) {
    return "<Product><RegKey>Lumikarta\\" + regKey + "</RegKey>" + updates + "</Product>";
}

std::string Update(const std::string& name, const std::string& version, const std::string& rest = "") {
    return "<Update><Name>" + name + "</Name><Version>" + version + "</Version>" + rest + "</Update>";
}

// "name|version|size|link[|sha256]" per listed update, or the status when none is listed.
std::string Listed(const UpdateDefinitionOutcome& outcome) {
    if (outcome.status != Status::Loaded) {
        return outcome.status == Status::NotLoaded   ? "not loaded"
               : outcome.status == Status::NotSigned ? "not signed"
                                                     : "no updates";
    }
    std::string text;
    for (const UpdateInfo& update : outcome.updates) {
        text += update.Name + "|" + update.Version + "|" + update.Size + "|" + update.Link +
                (update.SHA256 ? "|" + *update.SHA256 : "") + "\n";
    }
    return text;
}

// The definition is held in memory whole: up to 16 MiB, and only while it comes in time. Each is
// signed (the refused signatures are tried with --list-updates).
TEST(LoadUpdateDefinition, KeepsUpdatesNewerThanTheInstalledVersion) {
    const UpdateSigningKey signer = UpdateSigningKey::Generate();
    const std::string trusted[] = {signer.PublicKeyPem()};
    const ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 5, .totalSeconds = 1});
    const auto padded = [](std::size_t size) { return "<a>" + std::string(size - 7, ' ') + "</a>"; };
    const std::string year2014 = Installed("Karte", "\"VERSION\"=\"2014\"");
    struct Case {
        const char* label;
        std::string machine;
        std::string document;
        const char* expected;
        std::optional<RawHttpReply> reply = std::nullopt;  // none: the document, whole
    };
    const Case cases[] = {
        {"versions read up to the first point", Installed("Karte", "\"VERSION\"=\"3.0\""),
         Product("Karte", Update("K35", "3.5")), "no updates"},
        {"the value name is matched exactly, no VERSION counts as 0",
         Installed("Karte", "\"Version\"=\"2014\""), Product("Karte", Update("K0", "0") + Update("K1", "1")),
         "K1|1|0|\n"},
        {"greater versions of installed products, in document order, an empty SHA256 as written",
         year2014 + Installed("Atlas", "\"VERSION\"=\"1\""),
         "<U>" + Product("Fehlt", Update("F", "99999")) +
             Product("Karte",
                     Update("K16", "2016") + Update("K14", "2014") + Update("K15", "2015", "<SHA256/>")) +
             Product("Atlas", Update("A2", "2")) + "</U>",
         "K16|2016|0|\nK15|2015|0||\nA2|2|0|\n"},
        {"size, link and SHA256 as written, later fields win, other case ignored", year2014,
         Product("Karte",
                 "<Update><name>x</name><Name>Erst</Name><Name>Höhen</Name><Version>2015</Version>"
                 "<Size>12 MB</Size><Link>http://h/info</Link><Link>http://h/mehr</Link><SHA256>ab12</SHA256>"
                 "</Update>"),
         "Höhen|2015|12 MB|http://h/mehr|ab12\n"},
        {"a product without RegKey is looked up under SOFTWARE by the same rules",
         "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"VERSION\"=\"2014\"\n",
         "<Product>" + Update("Ohne14", "2014") + Update("Ohne15", "2015") + "</Product>",
         "Ohne15|2015|0|\n"},
        {"not well-formed", year2014, "<U><Product>", "not loaded"},
        {"16 MiB", "", padded(16 * 1024 * 1024), "no updates"},
        {"16 MiB and a byte", "", padded(16 * 1024 * 1024 + 1), "not loaded"},
        {"too slow", "", "", "not loaded", RawHttpReply::Drip("<a>" + std::string(160, ' ') + "</a>")},
    };
    for (const Case& test : cases) {
        ScopedSystemRegistry registry(test.machine);
        RawHttpServer server(
            {{"/downloads/updates.xml", test.reply.value_or(RawHttpReply::Complete(test.document))},
             {"/downloads/updates.xml.sig", RawHttpReply::Complete(signer.SignatureText(test.document))}});
        // The scheme is told without regard to case.
        const std::string url = "HTTP" + server.Url("/downloads/updates.xml").substr(4);
        EXPECT_EQ(Listed(LoadUpdateDefinition(url, trusted)), test.expected) << test.label;
    }
}

}  // namespace
