#pragma once

#include "dialogs/my_hyperlink.h"
#include "dialogs/template_dialog.h"
#include "sysinfo/system_info.h"

// The program's main window: the facts of this computer, the clipboard summary, the support form,
// the update list, the language choice, the FAQ link and the About box.
class CLumikartaSystemInfoDlg : public CTemplateDialog {
public:
    explicit CLumikartaSystemInfoDlg(std::unique_ptr<CDialogHost> host);

    // The About entry of the window menu.
    static constexpr int IDM_ABOUTBOX = 0x0010;

    // 0 German, 1 English, from start-up; chooses the combo box entry and goes on to the support form.
    int m_nLanguage = 0;
    // Collected once when the window opens; the other windows read it.
    CSystemInfo m_SysInfo;

    void OnCommand(int id) override;
    void OnSelChange(int id) override;
    void OnSysCommand(int commandId) override;
    void OnMouseHover(int id, bool over) override;

    void OnCopyInfo();
    void OnLanguageChanged();
    void OnSupport();
    void OnUpdates();

protected:
    bool OnInitDialog() override;
    // Fills m_SysInfo; tests put a known computer in its place.
    virtual void CollectSystemInfo();

private:
    void ShowFacts();

    CMyHyperLink m_linkFAQ;
    // The language choice that is stored or in force: where a choice that cannot be stored goes back.
    int m_nKeptLanguage = -1;
};
