#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

#include "common/my_hyperlink.h"
#include "common/qt_template_dialog.h"
#include "update/update_info.h"

class CUpdateDownloadDialog1;

// The list of updates newer than what is installed, with the details of the selected one. Closes by
// itself while opening when the definition cannot be loaded or nothing is newer.
class CUpdateBox : public CTemplateDialog {
    Q_OBJECT

public:
    explicit CUpdateBox(QWidget* pParent = nullptr);

    // Where the update definition is loaded from; set by the opener.
    std::string m_strDefinitionUrl;

    void OnSelChange() { ShowDetails(); }
    // Asks where to save the selected update and downloads it there.
    void OnDownload();
    // The selected row's index into the updates; -1 without a selection.
    int GetSelectedUpdate() const;
    // The part of the update's File after its last "/".
    std::string GetDownloadFileName(int index) const;

protected:
    bool OnInitDialog() override;
    // Runs the download window modally; a test may drive it differently.
    virtual void RunDownloadWindow(CUpdateDownloadDialog1& dialog);

private:
    void LoadUpdateDefinition();
    void ClearUpdates();
    void ShowDetails();
    void OnCloseBox();

    QListWidget* m_listUpdates = nullptr;
    QPushButton* m_btnDownload = nullptr;
    QPushButton* m_btnClose = nullptr;
    std::vector<UpdateInfo> m_updates;
    QLabel* m_staticName = nullptr;
    QLabel* m_staticDescription = nullptr;
    QLabel* m_staticVersion = nullptr;
    QLabel* m_staticFileName = nullptr;
    QLabel* m_staticSize = nullptr;
    QLabel* m_staticDetails = nullptr;
    CMyHyperLink m_linkDetails;
};
