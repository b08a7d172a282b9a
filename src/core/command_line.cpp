#include "core/command_line.h"

#include "core/environment_variables.h"

#include <array>
#include <iterator>
#include <string_view>
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

namespace {

// The words as lines of at most 80 characters, each indented as the options' explanations are.
void AppendIndented(std::string& text, std::string_view words) {
    constexpr std::string_view kIndent = "                   ";
    constexpr std::size_t kWidth = 80;
    std::size_t lineLength = 0;
    while (!words.empty()) {
        const std::size_t end = words.find(' ');
        const std::string_view word = words.substr(0, end);
        words = end == std::string_view::npos ? std::string_view() : words.substr(end + 1);
        if (lineLength > 0 && lineLength + 1 + word.size() > kWidth) {
            text += '\n';
            lineLength = 0;
        }
        if (lineLength == 0) {
            text += kIndent;
            lineLength = kIndent.size();
        } else {
            text += ' ';
            ++lineLength;
        }
        text += word;
        lineLength += word.size();
    }
    text += '\n';
}

}  // namespace

std::string UsageText() {
    std::string text =
        "Usage: LumikartaSystemInfo [OPTION]\n"
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
        "Environment:\n";
    for (const EnvironmentVariable& variable : EnvironmentVariables()) {
        text.append("  ").append(variable.name).append("\n");
        AppendIndented(text, variable.meaning);
    }
    return text;
}
