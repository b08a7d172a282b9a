#include "app/screenshot_app.h"

#include <QPixmap>
#include <QString>

#include "app/lumikarta_system_info_dlg.h"

ScreenshotApp::ScreenshotApp(std::filesystem::path programFolder, std::filesystem::path imageFile)
    : CLumikartaSystemInfoApp(std::move(programFolder)), m_imageFile(std::move(imageFile)) {}

void ScreenshotApp::RunMainWindow(CLumikartaSystemInfoDlg& dialog) {
    dialog.Initialize();
    m_bSaved = dialog.grab().save(QString::fromStdString(m_imageFile.string()), "PNG");
    dialog.close();
}
