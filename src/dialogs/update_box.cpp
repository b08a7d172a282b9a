#include "dialogs/update_box.h"

#include "dialogs/update_download_dialog.h"
#include "platform/downloads_folder.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "update/update_definition.h"

using namespace update_box;

CUpdateBox::CUpdateBox(std::unique_ptr<CDialogHost> host) : CTemplateDialog(IDD_UPDATEBOX, std::move(host)) {}

bool CUpdateBox::OnInitDialog() {
    m_linkDetails.AttachToLabel(kDetailsLink, Host());
    ClearUpdates();
    LoadUpdateDefinition();
    if (Host().ItemCount(kUpdates) > 0) {
        Host().Select(kUpdates, 0);
    }
    ShowDetails();
    return true;
}

void CUpdateBox::OnCommand(int id) {
    switch (id) {
        case kDownload:
            OnDownload();
            break;
        case kClose:
            OnCloseBox();
            break;
        case kDetailsLink:
            m_linkDetails.OnClicked();
            break;
        default:
            CTemplateDialog::OnCommand(id);
    }
}

void CUpdateBox::OnSelChange(int id) {
    if (id == kUpdates) {
        ShowDetails();
    }
}

void CUpdateBox::OnMouseHover(int id, bool over) {
    if (id == kDetailsLink) {
        m_linkDetails.OnMouseHover(over);
    }
}

// The opener's window stays painted but takes no input while the definition loads.
void CUpdateBox::LoadUpdateDefinition() {
    UpdateDefinitionOutcome outcome;
    Host().RunBlocking([&] { outcome = ::LoadUpdateDefinition(m_strDefinitionUrl, m_trustedKeys); });
    switch (outcome.status) {
        case UpdateDefinitionOutcome::Status::NotLoaded:
        case UpdateDefinitionOutcome::Status::NotSigned:
            Host().ShowMessage(LoadResString(outcome.status == UpdateDefinitionOutcome::Status::NotSigned
                                                 ? IDS_DEFINITION_NOT_SIGNED
                                                 : IDS_DEFINITION_NOT_LOADED),
                               MessageIcon::Stop, MessageButtons::Ok);
            EndDialog(IDCANCEL);
            return;
        case UpdateDefinitionOutcome::Status::NoUpdates:
            Host().ShowMessage(LoadResString(IDS_NO_UPDATES), MessageIcon::Information, MessageButtons::Ok);
            EndDialog(IDCANCEL);
            return;
        case UpdateDefinitionOutcome::Status::Loaded:
            break;
    }
    m_updates = std::move(outcome.updates);
    // Rows in document order: inserted at the end, whatever the list's sort style says.
    for (const UpdateInfo& update : m_updates) {
        Host().InsertItem(kUpdates, -1, update.Name);
    }
}

void CUpdateBox::ClearUpdates() {
    Host().ClearItems(kUpdates);
    m_updates.clear();
}

// The row itself, not the first update of the same name: two updates may differ only in case.
int CUpdateBox::GetSelectedUpdate() const {
    const int row = Host().Selection(kUpdates);
    return row >= 0 && row < static_cast<int>(m_updates.size()) ? row : -1;
}

std::string CUpdateBox::GetDownloadFileName(int index) const {
    const std::string& file = m_updates.at(static_cast<std::size_t>(index)).File;
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

void CUpdateBox::ShowDetails() {
    const int index = GetSelectedUpdate();
    if (index < 0) {
        Host().Enable(kDownload, false);
        Host().Enable(kDetailsLink, false);
        for (const int field : {kName, kDescription, kVersion, kFileName, kSize, kDetailsLink}) {
            Host().SetText(field, "");
        }
        m_linkDetails.SetURL("");
        return;
    }
    const UpdateInfo& update = m_updates[static_cast<std::size_t>(index)];
    Host().SetText(kName, update.Name);
    Host().SetText(kDescription, update.Description);
    Host().SetText(kVersion, update.Version);
    Host().SetText(kFileName, GetDownloadFileName(index));
    Host().SetText(kSize, update.Size);
    Host().SetText(kDetailsLink, update.Link);
    Host().Enable(kDetailsLink, !update.Link.empty());
    m_linkDetails.SetURL(update.Link);
    Host().Enable(kDownload, true);
}

void CUpdateBox::OnDownload() {
    const int index = GetSelectedUpdate();
    if (index < 0) {
        return;
    }
    const UpdateInfo& update = m_updates[static_cast<std::size_t>(index)];
    if (!update.SHA256) {
        Host().ShowMessage(LoadResString(IDS_UPDATE_WITHOUT_CHECKSUM), MessageIcon::Exclamation,
                           MessageButtons::Ok);
        return;
    }
    // Not the current folder: started from a terminal, that is wherever the user happened to be, and
    // Return would save the installer there.
    const std::optional<std::string> target =
        Host().AskSaveFile({"Save file", platform::DownloadsFolder(), GetDownloadFileName(index), "EXE",
                            "Executables", "*.exe"});
    if (!target) {
        return;
    }
    CUpdateDownloadDialog1 dialog(Host().CreateChildHost());
    dialog.m_job.m_strUrl = update.File;
    dialog.m_job.m_strTargetPath = *target;
    dialog.m_job.expectedSha256 = update.SHA256;
    dialog.DoModal();
}

void CUpdateBox::OnCloseBox() {
    EndDialog(IDCANCEL);
}
