#pragma once

#include "common/qt_template_dialog.h"

// The About box: the program's name, version and icon; OK closes it.
class CAboutDlg : public CTemplateDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};
