#pragma once

#include <span>
#include <string>

// The public keys (PEM, P-256) whose signature makes an update definition the maker's: the files
// the build was given in LUMIKARTA_UPDATE_KEYS, else the public half of the key pair the build made
// for itself. Written into the build folder when it is configured.
std::span<const std::string> TrustedUpdateKeys();
