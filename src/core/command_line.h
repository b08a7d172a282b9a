#pragma once

#include <string>
#include <vector>

// What the program was asked to do by its arguments.
struct CommandLine {
    enum class Mode { Window, PrintInfo, PrintReport, ListUpdates, Screenshot, Help, Version, Invalid };
    Mode mode = Mode::Window;
    // The argument that could not be understood, for Invalid.
    std::string rejected;
    // The PNG file to write, for Screenshot.
    std::string imageFile;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
// The text of --help.
std::string UsageText();
