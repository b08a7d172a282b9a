#include <cstdlib>
#include <filesystem>

#include "helpers/signing_material.h"
#include "helpers/temp_dir.h"

std::optional<SigningMaterial> LoadSigningMaterial() {
    const char* folder = std::getenv("LUMIKARTA_TEST_SIGNING_DIR");
    if (folder == nullptr) {
        return std::nullopt;
    }
    const std::filesystem::path base(folder);
    SigningMaterial material{ReadFileBytes(base / "updates.xml"), ReadFileBytes(base / "updates.xml.sig"),
                             ReadFileBytes(base / "other.sig"), ReadFileBytes(base / "signer.pem"),
                             ReadFileBytes(base / "other.pem")};
    if (material.document.empty() || material.signatureText.empty() || material.otherSignatureText.empty() ||
        material.signerPublicKey.empty() || material.otherPublicKey.empty()) {
        return std::nullopt;
    }
    return material;
}
