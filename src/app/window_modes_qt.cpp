#include <QApplication>
#include <cstdio>

#include "app/lumikarta_system_info_app.h"
#include "app/screenshot_app.h"
#include "app/window_modes.h"
#include "hosts/qt/qt_own_texts.h"
#include "platform/program_path.h"

int RunWindowMode(int argc, char** argv) {
    QApplication application(argc, argv);
    const QtOwnTexts ownTexts;
    CLumikartaSystemInfoApp(platform::ProgramFile().parent_path()).InitInstance();
    return 0;
}

// Renders without a display unless the caller chose a platform.
int RunScreenshotMode(int argc, char** argv, const std::string& imageFile) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QtOwnTexts ownTexts;
    ScreenshotApp run(platform::ProgramFile().parent_path(), imageFile);
    run.InitInstance();
    if (!run.Saved()) {
        std::fprintf(stderr, "LumikartaSystemInfo: cannot write the screenshot to '%s'\n", imageFile.c_str());
        return 1;
    }
    return 0;
}
