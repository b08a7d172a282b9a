#pragma once

#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

#include "common/my_hyperlink.h"
#include "common/qt_template_dialog.h"
#include "sysinfo/system_info.h"

// The program's main window: the facts of this computer, the clipboard summary, the support form,
// the update list, the language choice, the FAQ link and the About box.
class CLumikartaSystemInfoDlg : public CTemplateDialog {
    Q_OBJECT

public:
    explicit CLumikartaSystemInfoDlg(QWidget* pParent = nullptr);

    // The About entry of the window menu.
    static constexpr int IDM_ABOUTBOX = 0x0010;

    // 0 German, 1 English, from start-up; chooses the combo box entry and goes on to the support form.
    int m_nLanguage = 0;
    // Collected once when the window opens; the other windows read it.
    CSystemInfo m_SysInfo;

    void OnSysCommand(int commandId);
    void OnCopyInfo();
    void OnLanguageChanged();
    void OnSupport();
    void OnUpdates();

protected:
    bool OnInitDialog() override;
    // Fills m_SysInfo; tests put a known computer in its place.
    virtual void CollectSystemInfo();
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BindControls();
    void AddSystemMenuEntries();
    void ShowFacts();

    QIcon m_hIcon;
    QMenu m_systemMenu;
    QLineEdit* m_editGraphics = nullptr;
    QLineEdit* m_editDriver = nullptr;
    QLineEdit* m_editOS = nullptr;
    QLineEdit* m_editRAM = nullptr;
    QLineEdit* m_editCPU = nullptr;
    QListWidget* m_listProducts = nullptr;
    QListWidget* m_listPrinters = nullptr;
    CMyHyperLink m_linkFAQ;
    QComboBox* m_comboLanguage = nullptr;
};
