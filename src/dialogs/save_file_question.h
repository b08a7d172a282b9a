#pragma once

#include <string>

// What a save-file question asks (all UTF-8): its title, the folder it starts in, the proposed name,
// the extension added to a name without one, and the single file type offered. Existing files are
// never overwritten unasked.
struct SaveFileQuestion {
    std::string title;
    // Empty: wherever the system starts it.
    std::string folder;
    std::string proposedName;
    std::string defaultExtension;
    // The file type's description and its pattern: "Executables", "*.exe".
    std::string fileTypeName;
    std::string filePattern;
};
