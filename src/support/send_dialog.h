#pragma once

#include "common/template_dialog.h"

// The support request form. It shows its template; filling and sending come with the support
// service client.
class CSendDialog : public CTemplateDialog {
    Q_OBJECT

public:
    explicit CSendDialog(QWidget* pParent = nullptr);

    // 0 German, 1 English: chooses the subject list and the language the request is handled in.
    int m_nLanguage = 0;
};
