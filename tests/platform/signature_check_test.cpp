#include "platform/signature_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "helpers/signing_material.h"
#include "platform/base64_text.h"

namespace {

using Edit = std::function<void(std::string&)>;

struct Vector {
    const char* name;
    Edit editDocument;
    // The signature text, given the good one and the other key's.
    std::function<std::string(const SigningMaterial&)> signatureText;
    bool trustOtherKeyOnly;
    bool signedByTrustedKey;
};

std::string Good(const SigningMaterial& material) {
    return material.signatureText;
}

void Unchanged(std::string&) {}

// The signer's DER signature, changed, as base64 again.
std::function<std::string(const SigningMaterial&)> WithDer(std::function<void(std::vector<uint8_t>&)> edit) {
    return [edit](const SigningMaterial& material) {
        std::vector<uint8_t> der = platform::DecodeBase64Text(material.signatureText).value();
        edit(der);
        static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string text;
        for (std::size_t i = 0; i < der.size(); i += 3) {
            const std::size_t left = der.size() - i;
            const uint32_t group =
                (der[i] << 16) | (left > 1 ? der[i + 1] << 8 : 0) | (left > 2 ? der[i + 2] : 0);
            for (std::size_t digit = 0; digit < 4; ++digit) {
                text += digit <= left ? kDigits[(group >> (18 - 6 * digit)) & 63] : '=';
            }
        }
        return text;
    };
}

// The position of the first byte of the document that `belongs` to a class; the document must have one.
std::size_t FirstOf(const std::string& document, const std::function<bool(unsigned char)>& belongs) {
    for (std::size_t i = 0; i < document.size(); ++i) {
        if (belongs(static_cast<unsigned char>(document[i]))) {
            return i;
        }
    }
    ADD_FAILURE() << "the signed document lacks a byte of a class the vectors change";
    return 0;
}

void FlipLowBit(std::string& document, std::size_t position) {
    document[position] ^= 1;
}

const Vector kVectors[] = {
    {"good", Unchanged, Good, false, true},
    {"good, wrapped and surrounded by white space", Unchanged,
     [](const SigningMaterial& material) {
         std::string text = material.signatureText;
         text.insert(text.size() / 2, "\r\n");
         return " \n\t" + text + "\n\n";
     },
     false, true},
    {"first byte changed", [](std::string& d) { FlipLowBit(d, 0); }, Good, false, false},
    {"a letter changed",
     [](std::string& d) { FlipLowBit(d, FirstOf(d, [](unsigned char c) { return c == 'T'; })); }, Good, false,
     false},
    {"a digit changed",
     [](std::string& d) { FlipLowBit(d, FirstOf(d, [](unsigned char c) { return c == '3'; })); }, Good, false,
     false},
    {"a byte of a UTF-8 character changed",
     [](std::string& d) { FlipLowBit(d, FirstOf(d, [](unsigned char c) { return c >= 0x80; })); }, Good,
     false, false},
    {"a tab made a space",
     [](std::string& d) { d[FirstOf(d, [](unsigned char c) { return c == '\t'; })] = ' '; }, Good, false,
     false},
    {"CR LF made LF",
     [](std::string& d) { d.erase(FirstOf(d, [](unsigned char c) { return c == '\r'; }), 1); }, Good, false,
     false},
    {"last byte removed", [](std::string& d) { d.pop_back(); }, Good, false, false},
    {"a byte appended", [](std::string& d) { d.push_back('\n'); }, Good, false, false},
    {"document empty", [](std::string& d) { d.clear(); }, Good, false, false},
    {"signed by the other key", Unchanged, [](const SigningMaterial& m) { return m.otherSignatureText; },
     false, false},
    {"the other key trusted only", Unchanged, Good, true, false},
    {"the other key trusted only, and its signature", Unchanged,
     [](const SigningMaterial& m) { return m.otherSignatureText; }, true, true},
    {"signature truncated", Unchanged, WithDer([](std::vector<uint8_t>& der) { der.pop_back(); }), false,
     false},
    {"signature with trailing garbage", Unchanged,
     WithDer([](std::vector<uint8_t>& der) { der.push_back(0); }), false, false},
    {"signature text truncated", Unchanged,
     [](const SigningMaterial& m) { return m.signatureText.substr(0, m.signatureText.size() / 2); }, false,
     false},
    {"signature text with trailing garbage", Unchanged,
     [](const SigningMaterial& m) { return m.signatureText + "AAAA"; }, false, false},
    {"not base64", Unchanged, [](const SigningMaterial&) { return std::string("<html>Not found</html>"); },
     false, false},
    {"signature empty", Unchanged, [](const SigningMaterial&) { return std::string(); }, false, false},
    {"signature white space only", Unchanged, [](const SigningMaterial&) { return std::string(" \r\n"); },
     false, false},
    {"good, but past the size limit", Unchanged,
     [](const SigningMaterial& m) {
         return m.signatureText + std::string(platform::SignatureCheck::kMaxSignatureTextSize, '\n');
     },
     false, false},
};

TEST(SignatureCheck, VectorTable) {
    const std::optional<SigningMaterial> material = LoadSigningMaterial();
    if (!material) {
        GTEST_SKIP()
            << "LUMIKARTA_TEST_SIGNING_DIR names no signed document (scripts/wine-tests.sh makes one)";
    }
    for (const Vector& vector : kVectors) {
        std::string document = material->document;
        vector.editDocument(document);
        const std::vector<std::string> trusted =
            vector.trustOtherKeyOnly ? std::vector{material->otherPublicKey}
                                     : std::vector{std::string("not a key"), material->signerPublicKey};
        EXPECT_EQ(platform::SignatureCheck::IsSignedByAny(document, vector.signatureText(*material), trusted),
                  vector.signedByTrustedKey)
            << vector.name;
    }
}

TEST(SignatureCheck, KeysThatAreNotP256PublicKeysSignNothing) {
    const std::optional<SigningMaterial> material = LoadSigningMaterial();
    if (!material) {
        GTEST_SKIP()
            << "LUMIKARTA_TEST_SIGNING_DIR names no signed document (scripts/wine-tests.sh makes one)";
    }
    const std::string& pem = material->signerPublicKey;
    const std::size_t bodyStart = pem.find('\n') + 1;
    const std::string damaged[] = {
        "", pem.substr(0, pem.size() / 2),
        pem.substr(0, bodyStart) + "A" + pem.substr(bodyStart + 1),  // its DER form's first byte changed
        pem + pem,                                                   // two keys in one
    };
    for (const std::string& key : damaged) {
        const std::string keys[] = {key};
        EXPECT_FALSE(
            platform::SignatureCheck::IsSignedByAny(material->document, material->signatureText, keys))
            << key;
    }
}

}  // namespace
