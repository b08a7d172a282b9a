#include "lumikarta-service/update_signing_key.h"

#include <openssl/pem.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "lumikarta-service/atomic_file.h"

namespace {

void Require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("signing key: ") + what);
    }
}

std::string MemoryText(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(size));
}

bool IsP256(EVP_PKEY* key) {
    std::array<char, 64> group{};
    return EVP_PKEY_is_a(key, "EC") == 1 &&
           EVP_PKEY_get_group_name(key, group.data(), group.size(), nullptr) == 1 &&
           std::string_view(group.data()) == "prime256v1";
}

}  // namespace

UpdateSigningKey UpdateSigningKey::Generate() {
    OpenSslPtr<EVP_PKEY> key(EVP_EC_gen("P-256"));
    Require(key != nullptr, "key generation");
    return UpdateSigningKey(std::move(key));
}

std::optional<UpdateSigningKey> UpdateSigningKey::Read(const std::filesystem::path& file) {
    const OpenSslPtr<BIO> in(BIO_new_file(file.c_str(), "r"));
    OpenSslPtr<EVP_PKEY> key(in ? PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr) : nullptr);
    if (key == nullptr || !IsP256(key.get())) {
        return std::nullopt;
    }
    return UpdateSigningKey(std::move(key));
}

std::error_code UpdateSigningKey::WritePrivateKey(const std::filesystem::path& file) const {
    const OpenSslPtr<BIO> out(BIO_new(BIO_s_mem()));
    Require(out != nullptr &&
                PEM_write_bio_PrivateKey(out.get(), m_key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1,
            "encode private key");
    return AtomicFile::Write(file, MemoryText(out.get()), AtomicFile::Existing::Keep);
}

std::string UpdateSigningKey::PublicKeyPem() const {
    const OpenSslPtr<BIO> out(BIO_new(BIO_s_mem()));
    Require(out != nullptr && PEM_write_bio_PUBKEY(out.get(), m_key.get()) == 1, "encode public key");
    return MemoryText(out.get());
}

std::string UpdateSigningKey::SignatureText(std::string_view document) const {
    const OpenSslPtr<EVP_MD_CTX> context(EVP_MD_CTX_new());
    std::size_t size = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(document.data());
    Require(context != nullptr &&
                EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, m_key.get()) == 1 &&
                EVP_DigestSign(context.get(), nullptr, &size, bytes, document.size()) == 1,
            "signature size");
    std::vector<unsigned char> signature(size);
    Require(EVP_DigestSign(context.get(), signature.data(), &size, bytes, document.size()) == 1, "sign");
    // Four base64 digits for every three bytes begun, and the terminating zero EVP_EncodeBlock writes.
    std::vector<unsigned char> text((size + 2) / 3 * 4 + 1);
    const int length = EVP_EncodeBlock(text.data(), signature.data(), static_cast<int>(size));
    Require(length > 0, "base64");
    return std::string(reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(length)) + '\n';
}
