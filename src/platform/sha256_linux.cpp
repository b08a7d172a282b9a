#include <openssl/evp.h>

#include "platform/sha256.h"

namespace platform {

struct Sha256::State {
    struct ContextDeleter {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, ContextDeleter> context{EVP_MD_CTX_new()};
    bool failed = false;
};

Sha256::Sha256() : m_state(std::make_unique<State>()) {
    m_state->failed =
        !m_state->context || EVP_DigestInit_ex(m_state->context.get(), EVP_sha256(), nullptr) != 1;
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
    if (!m_state->failed && size != 0) {
        m_state->failed = EVP_DigestUpdate(m_state->context.get(), data, size) != 1;
    }
}

std::optional<Sha256Digest> Sha256::Finish() {
    Sha256Digest digest{};
    unsigned int length = 0;
    if (m_state->failed || EVP_DigestFinal_ex(m_state->context.get(), digest.data(), &length) != 1 ||
        length != digest.size()) {
        m_state->failed = true;
        return std::nullopt;
    }
    // A second Finish would read a finished context.
    m_state->failed = true;
    return digest;
}

}  // namespace platform
