#pragma once

#include <filesystem>

#include "app/lumikarta_system_info_app.h"

class CQtDialogHost;

// The run of --screenshot: the main window opens as usual, is rendered into a PNG file once its facts
// are shown instead of waiting for the user, and closes.
class ScreenshotApp : public CLumikartaSystemInfoApp {
public:
    ScreenshotApp(std::filesystem::path programFolder, std::filesystem::path imageFile);

    // False when the picture could not be written.
    bool Saved() const { return m_bSaved; }

protected:
    std::unique_ptr<CDialogHost> CreateMainWindowHost() override;
    void RunMainWindow(CLumikartaSystemInfoDlg& dialog) override;

private:
    std::filesystem::path m_imageFile;
    CQtDialogHost* m_pHost = nullptr;
    bool m_bSaved = false;
};
