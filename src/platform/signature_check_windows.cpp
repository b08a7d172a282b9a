#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/ecdsa_p256_signature.h"
#include "platform/p256_public_key.h"
#include "platform/sha256.h"
#include "platform/signature_check.h"

namespace platform {

namespace {

constexpr ULONG kCoordinateSize = 32;

struct AlgorithmProvider {
    BCRYPT_ALG_HANDLE handle = nullptr;
    ~AlgorithmProvider() {
        if (handle != nullptr) {
            BCryptCloseAlgorithmProvider(handle, 0);
        }
    }
};

struct KeyHandle {
    BCRYPT_KEY_HANDLE handle = nullptr;
    ~KeyHandle() {
        if (handle != nullptr) {
            BCryptDestroyKey(handle);
        }
    }
};

// BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y of the point.
std::vector<UCHAR> PublicKeyBlob(const P256PublicKey& key) {
    const BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kCoordinateSize};
    std::vector<UCHAR> blob(sizeof header + 2 * kCoordinateSize);
    std::copy_n(reinterpret_cast<const UCHAR*>(&header), sizeof header, blob.begin());
    const std::span<const uint8_t> coordinates = key.Point().subspan(1);
    std::copy(coordinates.begin(), coordinates.end(), blob.begin() + sizeof header);
    return blob;
}

}  // namespace

bool SignatureCheck::IsSignedBy(std::string_view document, const EcdsaP256Signature& signature,
                                const P256PublicKey& key) {
    Sha256 hash;
    hash.Update(document.data(), document.size());
    std::optional<Sha256Digest> digest = hash.Finish();
    AlgorithmProvider algorithm;
    KeyHandle publicKey;
    std::vector<UCHAR> blob = PublicKeyBlob(key);
    std::array<uint8_t, 64> rawRs = signature.RawRs();
    // Only a plain success counts: any other status, informational ones included, is no signature.
    return digest &&
           BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) == 0 &&
           BCryptImportKeyPair(algorithm.handle, nullptr, BCRYPT_ECCPUBLIC_BLOB, &publicKey.handle,
                               blob.data(), static_cast<ULONG>(blob.size()), 0) == 0 &&
           BCryptVerifySignature(publicKey.handle, nullptr, digest->data(),
                                 static_cast<ULONG>(digest->size()), rawRs.data(),
                                 static_cast<ULONG>(rawRs.size()), 0) == 0;
}

}  // namespace platform
