#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>

#include "app/command_line.h"
#include "app/headless_output.h"
#include "app/language.h"
#include "app/lumikarta_system_info_app.h"
#include "app/screenshot_app.h"
#include "platform/program_path.h"
#include "sysinfo/system_info.h"

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

// Renders without a display unless the caller chose a platform.
int SaveScreenshot(int argc, char** argv, const std::string& imageFile) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ScreenshotApp run(platform::ProgramFile().parent_path(), imageFile);
    run.InitInstance();
    if (!run.Saved()) {
        std::fprintf(stderr, "LumikartaSystemInfo: cannot write the screenshot to '%s'\n", imageFile.c_str());
        return kExitFailure;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine command = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.mode) {
        case CommandLine::Mode::PrintInfo:
        case CommandLine::Mode::PrintReport:
            return PrintFacts(command.mode);
        case CommandLine::Mode::Help:
            return Emit(UsageText());
        case CommandLine::Mode::Version:
            return Emit("LumikartaSystemInfo " LUMIKARTA_VERSION "\n");
        case CommandLine::Mode::Invalid:
            std::fprintf(stderr, "LumikartaSystemInfo: unknown or extra option '%s'\n\n%s",
                         command.rejected.c_str(), UsageText().c_str());
            return kExitUsage;
        case CommandLine::Mode::Screenshot:
            return SaveScreenshot(argc, argv, command.imageFile);
        case CommandLine::Mode::Window:
            break;
    }
    QApplication application(argc, argv);
    CLumikartaSystemInfoApp(platform::ProgramFile().parent_path()).InitInstance();
    return 0;
}
