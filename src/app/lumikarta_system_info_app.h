#pragma once

#include <filesystem>

class CLumikartaSystemInfoDlg;

// The program's run with a window: language, resources, FAQ data, then the main window modally for
// the whole life of the process.
class CLumikartaSystemInfoApp {
public:
    // programFolder: where the language library is looked for first.
    explicit CLumikartaSystemInfoApp(std::filesystem::path programFolder);
    virtual ~CLumikartaSystemInfoApp() = default;

    // The whole run; false, as nothing is left to do when the main window has closed.
    bool InitInstance();

    // The main window while it runs, through which the other windows read the collected facts;
    // null before and after.
    static CLumikartaSystemInfoDlg* MainWindow();

protected:
    // Runs the main window; the screenshot mode renders it instead and tests look at it.
    virtual void RunMainWindow(CLumikartaSystemInfoDlg& dialog);

private:
    std::filesystem::path m_programFolder;
};
