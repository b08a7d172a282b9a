#pragma once

#include "dialogs/template_dialog.h"

// The About box: the program's name, version and icon; OK closes it.
class CAboutDlg : public CTemplateDialog {
public:
    explicit CAboutDlg(std::unique_ptr<CDialogHost> host);
};
