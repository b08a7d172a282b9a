#pragma once

#include <optional>
#include <string>

// One available update as the update definition lists it. Every field is optional there; the size
// is shown as written, and "0" when the definition gives none. The window shows all but SHA256.
struct UpdateInfo {
    std::string Name;
    std::string Description;
    std::string Version;
    std::string File;
    std::string Size = "0";
    std::string Link;
    // The installer's SHA-256 as 64 hex digits; none when the definition gives none, which is not
    // the same as an empty or malformed one: those fail the download rather than skip the check.
    std::optional<std::string> SHA256;
};
