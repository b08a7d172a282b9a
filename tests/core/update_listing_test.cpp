#include "core/update_listing.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "helpers/raw_http_server.h"
#include "helpers/scoped_env.h"
#include "helpers/scoped_http_timeouts.h"
#include "helpers/signing_material.h"
#include "helpers/temp_dir.h"
#include "platform/registry.h"

namespace {

const char* const kNotSigned =
    "Die Update Definition ist nicht vom Hersteller signiert und wurde nicht verwendet.\n";

// The signed document lists its one update on every machine: it names no RegKey, so it is for
// whatever has SOFTWARE, which the registry stand-in is given and every Windows has.
class UpdateListingTest : public testing::Test {
protected:
    UpdateListingTest() { platform::SetSystemRegistry(nullptr); }
    ~UpdateListingTest() override { platform::SetSystemRegistry(nullptr); }

    TempDir m_folder;
    ScopedEnv m_machine{"LUMIKARTA_HKLM",
                        m_folder.WriteFile("system.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n")};
};

// Whatever stands where the signature should, nothing of the definition is listed, and the refusal
// is not taken for a missing connection. A signature that never ends is cut at its small limit, one
// that drips is given up at the deadline the definition's transfer began.
TEST_F(UpdateListingTest, ListsOnlyADefinitionSignedByATrustedKey) {
    const std::optional<SigningMaterial> material = LoadSigningMaterial();
    if (!material) {
        GTEST_SKIP()
            << "LUMIKARTA_TEST_SIGNING_DIR names no signed document (scripts/wine-tests.sh makes one)";
    }
    const ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 5, .totalSeconds = 2});
    std::string changed = material->document;
    changed.replace(changed.find("http://127.0.0.1"), 16, "http://127.0.0.2");
    const std::string trusted[] = {material->signerPublicKey};
    struct Row {
        const char* label;
        std::string document;
        std::optional<RawHttpReply> signature;  // none: 404
        int exitStatus;
        std::string output;
        std::string message;
    };
    const Row rows[] = {
        {"good", material->document, RawHttpReply::Complete(material->signatureText), 0,
         "TopoKarte Größe 3.1\t310\thttp://127.0.0.1/downloads/TopoKarte-Update-310.sh\n", ""},
        {"unsigned", material->document, std::nullopt, 3, "", kNotSigned},
        {"changed definition", changed, RawHttpReply::Complete(material->signatureText), 3, "", kNotSigned},
        {"another key", material->document, RawHttpReply::Complete(material->otherSignatureText), 3, "",
         kNotSigned},
        {"garbage", material->document, RawHttpReply::Complete("<html>Not found</html>"), 3, "", kNotSigned},
        {"empty", material->document, RawHttpReply::EmptyBody(), 3, "", kNotSigned},
        {"never ends", material->document, RawHttpReply::EndlessBody(), 3, "", kNotSigned},
        {"drips past the deadline", material->document, RawHttpReply::Drip(material->signatureText), 3, "",
         kNotSigned},
        {"definition not there", "", std::nullopt, 3, "",
         "Die Update Definition konnte nicht geladen werden.\nÜberprüfen Sie ihre Internetverbindung!\n"},
    };
    for (const Row& row : rows) {
        std::map<std::string, RawHttpReply> replies;
        if (!row.document.empty()) {
            replies.emplace("/updates.xml", RawHttpReply::Complete(row.document));
        }
        if (row.signature) {
            replies.emplace("/updates.xml.sig", *row.signature);
        }
        RawHttpServer server(replies);
        const UpdateListing listing = ListAvailableUpdates(server.Url("/updates.xml"), trusted);
        EXPECT_EQ(listing.exitStatus, row.exitStatus) << row.label;
        EXPECT_EQ(listing.output, row.output) << row.label;
        EXPECT_EQ(listing.message, row.message) << row.label;
    }
}

// A definition read from a file is checked against the file beside it.
TEST_F(UpdateListingTest, DefinitionFileIsCheckedAgainstItsSignatureFile) {
    const std::optional<SigningMaterial> material = LoadSigningMaterial();
    if (!material) {
        GTEST_SKIP()
            << "LUMIKARTA_TEST_SIGNING_DIR names no signed document (scripts/wine-tests.sh makes one)";
    }
    const std::string trusted[] = {material->signerPublicKey};
    const std::string definition = m_folder.WriteFile("updates.xml", material->document);
    EXPECT_EQ(ListAvailableUpdates(definition, trusted).message, kNotSigned) << "no signature file";
    m_folder.WriteFile("updates.xml.sig", material->signatureText);
    EXPECT_EQ(ListAvailableUpdates(definition, trusted).exitStatus, 0);
    m_folder.WriteFile("updates.xml.sig", material->otherSignatureText);
    EXPECT_EQ(ListAvailableUpdates(definition, trusted).message, kNotSigned) << "another key";
}

}  // namespace
