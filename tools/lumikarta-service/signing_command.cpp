#include "lumikarta-service/signing_command.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "lumikarta-service/update_signing_key.h"
#include "platform/signature_check.h"

namespace {

constexpr const char* kUsage =
    "usage: lumikarta-service generate-key PRIVATE\n"
    "       lumikarta-service public-key PRIVATE\n"
    "       lumikarta-service sign PRIVATE DOCUMENT > DOCUMENT.sig\n"
    "       lumikarta-service verify PUBLIC DOCUMENT [SIGNATURE]\n";

// At most `limit` bytes of a file, so a file that is far too large is not read whole to be refused.
std::optional<std::string> ReadFile(const std::string& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes(limit, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(limit));
    if (in.bad()) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return in.bad() ? std::nullopt : std::optional<std::string>(std::move(bytes));
}

int Failure(std::ostream& err, const std::string& problem) {
    err << "lumikarta-service: " << problem << '\n';
    return 1;
}

std::optional<UpdateSigningKey> ReadKey(const std::string& path, std::ostream& err) {
    std::optional<UpdateSigningKey> key = UpdateSigningKey::Read(path);
    if (!key) {
        Failure(err, "not a P-256 private key: " + path);
    }
    return key;
}

int Verify(std::span<char* const> arguments, std::ostream& out, std::ostream& err) {
    const std::string document = arguments[1];
    const std::string signature = arguments.size() == 3 ? arguments[2] : document + ".sig";
    const std::optional<std::string> publicKey = ReadWholeFile(arguments[0]);
    const std::optional<std::string> documentBytes = ReadWholeFile(document);
    // One byte over the limit, so that an oversized file is refused rather than cut to size.
    const std::optional<std::string> signatureText =
        ReadFile(signature, platform::SignatureCheck::kMaxSignatureTextSize + 1);
    if (!publicKey || !documentBytes || !signatureText) {
        return Failure(err,
                       "cannot read " + std::string(arguments[0]) + ", " + document + " or " + signature);
    }
    const std::string keys[] = {*publicKey};
    if (!platform::SignatureCheck::IsSignedByAny(*documentBytes, *signatureText, keys)) {
        return Failure(err, document + " is not signed by " + arguments[0]);
    }
    out << document << ": signed by " << arguments[0] << '\n';
    return 0;
}

}  // namespace

bool SigningCommand::Names(std::string_view command) {
    return command == "generate-key" || command == "public-key" || command == "sign" || command == "verify";
}

int SigningCommand::Run(std::string_view command, std::span<char* const> arguments, std::ostream& out,
                        std::ostream& err) {
    const std::size_t count = arguments.size();
    const bool fitting =
        command == "verify" ? count == 2 || count == 3 : count == (command == "sign" ? 2u : 1u);
    if (!fitting) {
        err << kUsage;
        return 2;
    }
    if (command == "verify") {
        return Verify(arguments, out, err);
    }
    if (command == "generate-key") {
        const std::error_code error = UpdateSigningKey::Generate().WritePrivateKey(arguments[0]);
        if (error) {
            return Failure(err, "cannot write " + std::string(arguments[0]) + ": " + error.message());
        }
        return 0;
    }
    const std::optional<UpdateSigningKey> key = ReadKey(arguments[0], err);
    if (!key) {
        return 1;
    }
    if (command == "public-key") {
        out << key->PublicKeyPem();
        return 0;
    }
    const std::optional<std::string> document = ReadWholeFile(arguments[1]);
    if (!document) {
        return Failure(err, "cannot read " + std::string(arguments[1]));
    }
    out << key->SignatureText(*document);
    return 0;
}
