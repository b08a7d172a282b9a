#include "update/update_box.h"

#include "common/message_box.h"
#include "common/save_file_dialog.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "update/update_definition.h"
#include "update/update_download_dialog.h"

CUpdateBox::CUpdateBox(QWidget* pParent) : CTemplateDialog(IDD_UPDATEBOX, pParent) {
    using namespace update_box;
    m_listUpdates = Bind<QListWidget>(kUpdates);
    m_btnDownload = Bind<QPushButton>(kDownload);
    m_btnClose = Bind<QPushButton>(kClose);
    m_staticName = Bind<QLabel>(kName);
    m_staticDescription = Bind<QLabel>(kDescription);
    m_staticVersion = Bind<QLabel>(kVersion);
    m_staticFileName = Bind<QLabel>(kFileName);
    m_staticSize = Bind<QLabel>(kSize);
    m_staticDetails = Bind<QLabel>(kDetailsLink);
    m_linkDetails.SubclassLabel(*m_staticDetails);

    connect(m_listUpdates, &QListWidget::currentRowChanged, this, [this] { OnSelChange(); });
    connect(m_btnDownload, &QPushButton::clicked, this, [this] { OnDownload(); });
    connect(m_btnClose, &QPushButton::clicked, this, [this] { OnCloseBox(); });
}

bool CUpdateBox::OnInitDialog() {
    ClearUpdates();
    LoadUpdateDefinition();
    if (m_listUpdates->count() > 0) {
        m_listUpdates->setCurrentRow(0);
    }
    ShowDetails();
    return true;
}

void CUpdateBox::LoadUpdateDefinition() {
    UpdateDefinitionOutcome outcome = ::LoadUpdateDefinition(m_strDefinitionUrl);
    switch (outcome.status) {
        case UpdateDefinitionOutcome::Status::NotLoaded:
            ShowMessageBox(this, LoadResString(IDS_DEFINITION_NOT_LOADED), MessageIcon::Stop);
            EndDialog(IDCANCEL);
            return;
        case UpdateDefinitionOutcome::Status::NoUpdates:
            ShowMessageBox(this, LoadResString(IDS_NO_UPDATES), MessageIcon::Information);
            EndDialog(IDCANCEL);
            return;
        case UpdateDefinitionOutcome::Status::Loaded:
            break;
    }
    m_updates = std::move(outcome.updates);
    // Rows in document order: inserted at the end, whatever the list's sort style says.
    for (const UpdateInfo& update : m_updates) {
        m_listUpdates->insertItem(m_listUpdates->count(), QString::fromStdString(update.Name));
    }
}

void CUpdateBox::ClearUpdates() {
    m_listUpdates->clear();
    m_updates.clear();
}

int CUpdateBox::GetSelectedUpdate() const {
    // The row itself, not the first update of the same name: two updates may differ only in case.
    const int row = m_listUpdates->currentRow();
    const bool selected = row >= 0 && m_listUpdates->item(row)->isSelected();
    return selected && row < static_cast<int>(m_updates.size()) ? row : -1;
}

std::string CUpdateBox::GetDownloadFileName(int index) const {
    const std::string& file = m_updates.at(static_cast<std::size_t>(index)).File;
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

void CUpdateBox::ShowDetails() {
    const int index = GetSelectedUpdate();
    if (index < 0) {
        m_btnDownload->setEnabled(false);
        m_staticDetails->setEnabled(false);
        for (QLabel* field : {m_staticName, m_staticDescription, m_staticVersion, m_staticFileName,
                              m_staticSize, m_staticDetails}) {
            field->clear();
        }
        m_linkDetails.SetURL("");
        return;
    }
    const UpdateInfo& update = m_updates[static_cast<std::size_t>(index)];
    m_staticName->setText(QString::fromStdString(update.Name));
    m_staticDescription->setText(QString::fromStdString(update.Description));
    m_staticVersion->setText(QString::fromStdString(update.Version));
    m_staticFileName->setText(QString::fromStdString(GetDownloadFileName(index)));
    m_staticSize->setText(QString::fromStdString(update.Size));
    m_staticDetails->setText(QString::fromStdString(update.Link));
    m_staticDetails->setEnabled(!update.Link.empty());
    m_linkDetails.SetURL(update.Link);
    m_btnDownload->setEnabled(true);
}

void CUpdateBox::OnDownload() {
    const int index = GetSelectedUpdate();
    if (index < 0) {
        return;
    }
    const SaveFileQuestion question{"Save file", QString::fromStdString(GetDownloadFileName(index)), "EXE",
                                    "Executables (*.exe)"};
    const std::optional<std::string> target = ChooseSaveFile(this, question);
    if (!target) {
        return;
    }
    CUpdateDownloadDialog1 dialog(this);
    dialog.m_job.m_strUrl = m_updates[static_cast<std::size_t>(index)].File;
    dialog.m_job.m_strTargetPath = *target;
    RunDownloadWindow(dialog);
}

void CUpdateBox::RunDownloadWindow(CUpdateDownloadDialog1& dialog) {
    dialog.DoModal();
}

void CUpdateBox::OnCloseBox() {
    EndDialog(IDCANCEL);
}
