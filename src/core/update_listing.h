#pragma once

#include <span>
#include <string>

// What --list-updates prints and ends with.
struct UpdateListing {
    static constexpr int kExitDefinitionNotLoaded = 3;

    int exitStatus = 0;
    // For stdout: UpdateListText of the updates available; empty unless some are.
    std::string output;
    // For stderr, ended by a line feed, with a terminal's line ends: why nothing is listed.
    std::string message;
};

// Loads the update definition signed by one of the trusted keys and lists what it offers the
// installed products. A definition that could not be loaded or is not signed lists nothing and ends
// with kExitDefinitionNotLoaded; one that offers nothing newer says so and ends with 0.
UpdateListing ListAvailableUpdates(const std::string& definitionUrl,
                                   std::span<const std::string> trustedKeysPem);
