#pragma once

#include <optional>
#include <string>

// A document signed by one key and by another, and both public keys: on Linux made when the tests
// run, under Wine made beforehand by scripts/wine-tests.sh with lumikarta-service on Linux, since
// the Windows build has nothing that signs. No private key is kept.
struct SigningMaterial {
    std::string document;
    std::string signatureText;       // by the signer, as a .sig file holds it
    std::string otherSignatureText;  // the same document by the other key
    std::string signerPublicKey;     // PEM
    std::string otherPublicKey;      // PEM
};

// None under Wine when LUMIKARTA_TEST_SIGNING_DIR names no folder made by scripts/wine-tests.sh.
std::optional<SigningMaterial> LoadSigningMaterial();
