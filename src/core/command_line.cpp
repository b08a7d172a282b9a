#include "core/command_line.h"

#include <array>
#include <iterator>
#include <utility>

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    static constexpr std::array<std::pair<const char*, CommandLine::Mode>, 7> kOptions = {{
        {"--print-info", CommandLine::Mode::PrintInfo},
        {"--print-report", CommandLine::Mode::PrintReport},
        {"--list-updates", CommandLine::Mode::ListUpdates},
        {"--help", CommandLine::Mode::Help},
        {"-h", CommandLine::Mode::Help},
        {"--version", CommandLine::Mode::Version},
        {"-V", CommandLine::Mode::Version},
    }};
    CommandLine command;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        const std::string& argument = *it;
        if (argument == "--screenshot" && command.mode == CommandLine::Mode::Window) {
            if (std::next(it) == arguments.end()) {
                return {CommandLine::Mode::Invalid, argument, {}};
            }
            command.mode = CommandLine::Mode::Screenshot;
            command.imageFile = *++it;
            continue;
        }
        CommandLine::Mode chosen = CommandLine::Mode::Invalid;
        for (const auto& [name, mode] : kOptions) {
            if (argument == name) {
                chosen = mode;
            }
        }
        // One mode per run: a second one is as unclear as an unknown option.
        if (chosen == CommandLine::Mode::Invalid || command.mode != CommandLine::Mode::Window) {
            return {CommandLine::Mode::Invalid, argument, {}};
        }
        command.mode = chosen;
    }
    return command;
}

std::string UsageText() {
    return "Usage: LumikartaSystemInfo [OPTION]\n"
           "Shows the facts of this computer for support requests and looks for updates of the\n"
           "installed Lumikarta products. Without an option the main window opens.\n"
           "\n"
           "  --print-info     print the facts that \"Info kopieren\" copies, the installed products\n"
           "                   and the printers, without opening a window\n"
           "  --print-report   print the product report that support requests carry\n"
           "  --list-updates   print the updates available for the installed products, one line\n"
           "                   each: name, version and download address, separated by tabs\n"
           "  --screenshot FILE\n"
           "                   render the main window into the PNG file FILE, without showing it\n"
           "  -h, --help       show this text\n"
           "  -V, --version    show the program's version\n"
           "\n"
           "Environment: LUMIKARTA_HKLM and LUMIKARTA_HKCU name registry files to read instead of the\n"
           "machine's and the user's; LUMIKARTA_SYSROOT is a folder that stands in for / when\n"
           "reading /proc, /sys and /etc; LUMIKARTA_FAQ_URL and LUMIKARTA_UPDATE_URL are the addresses\n"
           "of the FAQ page and of the update definition.\n";
}
