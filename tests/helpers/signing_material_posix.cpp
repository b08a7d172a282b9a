#include <fstream>
#include <iterator>

#include "helpers/signing_material.h"
#include "lumikarta-service/update_signing_key.h"

std::optional<SigningMaterial> LoadSigningMaterial() {
    std::ifstream in(LUMIKARTA_FIXTURES_DIR "/signing/updates.xml", std::ios::binary);
    const std::string document((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (document.empty()) {
        return std::nullopt;
    }
    const UpdateSigningKey signer = UpdateSigningKey::Generate();
    const UpdateSigningKey other = UpdateSigningKey::Generate();
    return SigningMaterial{document, signer.SignatureText(document), other.SignatureText(document),
                           signer.PublicKeyPem(), other.PublicKeyPem()};
}
