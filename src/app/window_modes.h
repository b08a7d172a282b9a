#pragma once

#include <string>

// The two modes that need the windows. A build without them says so and exits with 2, as for an
// option it does not know.

// The main window until the user closes it; the process's exit status.
int RunWindowMode(int argc, char** argv);
// The main window rendered into a PNG file without a display; 1 when the file could not be written.
int RunScreenshotMode(int argc, char** argv, const std::string& imageFile);
