#include "app/screenshot_app.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QString>

#include "dialogs/lumikarta_system_info_dlg.h"
#include "hosts/qt/qt_dialog_host.h"

ScreenshotApp::ScreenshotApp(std::filesystem::path programFolder, std::filesystem::path imageFile)
    : CLumikartaSystemInfoApp(std::move(programFolder)), m_imageFile(std::move(imageFile)) {}

std::unique_ptr<CDialogHost> ScreenshotApp::CreateMainWindowHost() {
    auto host = std::make_unique<CQtDialogHost>(nullptr);
    m_pHost = host.get();
    return host;
}

// The picture shows the window with its facts, which come as a notice through the event loop. It is
// shown only then, so that it is painted once, for the picture.
void ScreenshotApp::RunMainWindow(CLumikartaSystemInfoDlg& dialog) {
    dialog.Create();
    while (!dialog.FactsShown()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    m_pHost->Window()->show();
    m_bSaved = m_pHost->Window()->grab().save(QString::fromStdString(m_imageFile.string()), "PNG");
    m_pHost->Window()->close();
}
