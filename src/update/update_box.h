#pragma once

#include <string>

#include "common/template_dialog.h"

// The list of available updates. It shows its template; loading the definition and downloading come
// with the update client.
class CUpdateBox : public CTemplateDialog {
    Q_OBJECT

public:
    explicit CUpdateBox(QWidget* pParent = nullptr);

    // Where the update definition is loaded from; set by the opener.
    std::string m_strDefinitionUrl;

private:
    void OnCloseBox();
};
