#include <cstdio>
#include <string>
#include <vector>

#include "app/window_modes.h"
#include "core/command_line.h"
#include "core/console_output.h"
#include "core/headless_output.h"
#include "core/language.h"
#include "core/update_listing.h"
#include "platform/program_path.h"
#include "platform/web_addresses.h"
#include "sysinfo/system_info.h"
#include "update/trusted_update_keys.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Writes everything or reports why not, so a full disk or a closed pipe is not taken for success.
int Emit(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        std::perror("LumikartaSystemInfo: cannot write the output");
        return kExitFailure;
    }
    return 0;
}

int PrintFacts(CommandLine::Mode mode) {
    const int language = DecideLanguage();
    ApplyLanguage(language, platform::ProgramFile().parent_path());
    CSystemInfo info;
    info.CollectAll();
    return Emit(mode == CommandLine::Mode::PrintInfo ? InfoText(info) : info.BuildReport());
}

int ListUpdates() {
    ApplyLanguage(DecideLanguage(), platform::ProgramFile().parent_path());
    const UpdateListing listing = ListAvailableUpdates(UpdateDefinitionUrl(), TrustedUpdateKeys());
    std::fputs(listing.message.c_str(), stderr);
    return listing.exitStatus != 0 ? listing.exitStatus : Emit(listing.output);
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine command = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (command.mode != CommandLine::Mode::Window) {
        ReachStartingConsole();
    }
    switch (command.mode) {
        case CommandLine::Mode::PrintInfo:
        case CommandLine::Mode::PrintReport:
            return PrintFacts(command.mode);
        case CommandLine::Mode::ListUpdates:
            return ListUpdates();
        case CommandLine::Mode::Help:
            return Emit(UsageText());
        case CommandLine::Mode::Version:
            return Emit("LumikartaSystemInfo " LUMIKARTA_VERSION "\n");
        case CommandLine::Mode::Invalid:
            std::fprintf(stderr, "LumikartaSystemInfo: unknown or extra option '%s'\n\n%s",
                         command.rejected.c_str(), UsageText().c_str());
            return kExitUsage;
        case CommandLine::Mode::Screenshot:
            return RunScreenshotMode(argc, argv, command.imageFile);
        case CommandLine::Mode::Window:
            break;
    }
    return RunWindowMode(argc, argv);
}
