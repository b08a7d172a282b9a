#pragma once

#include <span>
#include <string>
#include <vector>

#include "dialogs/my_hyperlink.h"
#include "dialogs/template_dialog.h"
#include "update/trusted_update_keys.h"
#include "update/update_info.h"

// The list of updates newer than what is installed, with the details of the selected one. Closes by
// itself while opening when the definition cannot be loaded or nothing is newer.
class CUpdateBox : public CTemplateDialog {
public:
    explicit CUpdateBox(std::unique_ptr<CDialogHost> host);

    // Where the update definition is loaded from; set by the opener.
    std::string m_strDefinitionUrl;
    // The keys one of which must have signed it: the build's, unless the opener is a test.
    std::span<const std::string> m_trustedKeys = TrustedUpdateKeys();

    void OnCommand(int id) override;
    void OnSelChange(int id) override;
    void OnMouseHover(int id, bool over) override;

    // Asks where to save the selected update and downloads it there. An update without SHA256 is
    // refused: only its checksum ties the installer to the signed definition.
    void OnDownload();
    // The selected row's index into the updates; -1 without a selection.
    int GetSelectedUpdate() const;
    // The part of the update's File after its last "/".
    std::string GetDownloadFileName(int index) const;

protected:
    bool OnInitDialog() override;

private:
    void LoadUpdateDefinition();
    void ClearUpdates();
    void ShowDetails();
    void OnCloseBox();

    std::vector<UpdateInfo> m_updates;
    CMyHyperLink m_linkDetails;
};
