#pragma once

#include <string>

// What a save-file question asks (all UTF-8): its title, the proposed name, the extension added to a
// name without one, and the single file type offered. Existing files are never overwritten unasked.
struct SaveFileQuestion {
    std::string title;
    std::string proposedName;
    std::string defaultExtension;
    // "Description (*.ext)".
    std::string fileType;
};
