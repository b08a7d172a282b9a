#include <cstdio>

#include "app/window_modes.h"

namespace {

int NoWindows() {
    std::fputs(
        "LumikartaSystemInfo: this build has no windows; use --print-info, --print-report or "
        "--list-updates (see --help)\n",
        stderr);
    return 2;
}

}  // namespace

int RunWindowMode(int, char**) {
    return NoWindows();
}

int RunScreenshotMode(int, char**, const std::string&) {
    return NoWindows();
}
