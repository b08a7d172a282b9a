#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

using Sha256Digest = std::array<uint8_t, 32>;

// The SHA-256 of bytes handed over piece by piece as they arrive, so a large file is never read a
// second time. The platform's own cryptography computes it: libcrypto on Linux, CNG on Windows.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, std::size_t size);
    // None when the platform failed at any step: a check that could not be made must not pass.
    std::optional<Sha256Digest> Finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace platform
