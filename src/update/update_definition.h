#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "update/trusted_update_keys.h"
#include "update/update_info.h"

struct UpdateDefinitionOutcome {
    enum class Status {
        Loaded,     // at least one update is newer than what is installed
        NotLoaded,  // no connection, a server error or a document that is not well-formed XML
        NotSigned,  // read, but its signature is missing, empty, malformed or not of a trusted key
        NoUpdates,  // nothing installed, or everything up to date
    };
    Status status = Status::NotLoaded;
    // Newer updates of installed products: products in document order, their updates in theirs.
    std::vector<UpdateInfo> updates;
};

// Loads the update definition from the URL (or file) and keeps every update whose version number
// is greater than the one installed under HKEY_LOCAL_MACHINE\SOFTWARE\<RegKey> (value "VERSION").
// A product that is not installed offers nothing. Nothing of a definition is used unless one of the
// trusted keys signed it (CXMLDocument::LoadSigned): it names the installers the program starts.
UpdateDefinitionOutcome LoadUpdateDefinition(
    const std::string& definitionUrl, std::span<const std::string> trustedKeysPem = TrustedUpdateKeys(),
    platform::Registry& registry = platform::SystemRegistry());
