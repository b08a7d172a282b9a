#include <windows.h>

#include <bcrypt.h>

#include <algorithm>

#include "platform/sha256.h"

namespace platform {

struct Sha256::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool failed = false;

    ~State() {
        if (hash != nullptr) {
            BCryptDestroyHash(hash);
        }
        if (algorithm != nullptr) {
            BCryptCloseAlgorithmProvider(algorithm, 0);
        }
    }
};

Sha256::Sha256() : m_state(std::make_unique<State>()) {
    // The hash object's memory is left to CNG (no buffer of our own), as Windows 7 and later allow.
    m_state->failed =
        !BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&m_state->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptCreateHash(m_state->algorithm, &m_state->hash, nullptr, 0, nullptr, 0, 0));
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const UCHAR*>(data);
    // BCryptHashData takes at most 4 GiB - 1 bytes per call.
    while (!m_state->failed && size != 0) {
        const ULONG piece = static_cast<ULONG>(std::min<std::size_t>(size, 0x40000000));
        m_state->failed = !BCRYPT_SUCCESS(BCryptHashData(m_state->hash, const_cast<UCHAR*>(bytes), piece, 0));
        bytes += piece;
        size -= piece;
    }
}

std::optional<Sha256Digest> Sha256::Finish() {
    Sha256Digest digest{};
    const bool finished =
        !m_state->failed &&
        BCRYPT_SUCCESS(BCryptFinishHash(m_state->hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    // A finished hash object takes no more data.
    m_state->failed = true;
    if (!finished) {
        return std::nullopt;
    }
    return digest;
}

}  // namespace platform
