#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "update/update_info.h"

struct UpdateDefinitionOutcome {
    enum class Status {
        Loaded,     // at least one update is newer than what is installed
        NotLoaded,  // no connection, a server error or a document that is not well-formed XML
        NoUpdates,  // nothing installed, or everything up to date
    };
    Status status = Status::NotLoaded;
    // Newer updates of installed products: products in document order, their updates in theirs.
    std::vector<UpdateInfo> updates;
};

// Loads the update definition from the URL (or file) and keeps every update whose version number
// is greater than the one installed under HKEY_LOCAL_MACHINE\SOFTWARE\<RegKey> (value "VERSION").
// A product that is not installed offers nothing.
UpdateDefinitionOutcome LoadUpdateDefinition(const std::string& definitionUrl,
                                             platform::Registry& registry = platform::SystemRegistry());
