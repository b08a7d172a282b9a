#pragma once

#include <filesystem>
#include <memory>

class CDialogHost;
class CLumikartaSystemInfoDlg;

// The program's run with a window: language and resources, then the main window modally for the
// whole life of the process (it loads the FAQ data with the facts), then the FAQ data goes.
class CLumikartaSystemInfoApp {
public:
    // programFolder: where the language library is looked for first.
    explicit CLumikartaSystemInfoApp(std::filesystem::path programFolder);
    virtual ~CLumikartaSystemInfoApp() = default;

    // The whole run; false, as nothing is left to do when the main window has closed.
    bool InitInstance();

protected:
    // The host of the main window; the screenshot mode keeps its own to render the window.
    virtual std::unique_ptr<CDialogHost> CreateMainWindowHost();
    // Runs the main window; the screenshot mode renders it instead and tests look at it.
    virtual void RunMainWindow(CLumikartaSystemInfoDlg& dialog);

private:
    std::filesystem::path m_programFolder;
};
