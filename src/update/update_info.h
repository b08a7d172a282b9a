#pragma once

#include <string>

// One available update as the update definition lists it. Every field is optional there; the size
// is shown as written, and "0" when the definition gives none.
struct UpdateInfo {
    std::string Name;
    std::string Description;
    std::string Version;
    std::string File;
    std::string Size = "0";
    std::string Link;
};
