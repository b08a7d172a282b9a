#include "dialogs/update_download_dialog.h"

#include <system_error>

#include "dialogs/download_failure_text.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "update/download_worker.h"
#include "update/format_size.h"

using namespace download_dialog;

CUpdateDownloadDialog1::CUpdateDownloadDialog1(std::unique_ptr<CDialogHost> host)
    : CTemplateDialog(IDD_UPDATEDOWNLOAD, std::move(host)) {}

CUpdateDownloadDialog1::~CUpdateDownloadDialog1() {
    m_job.cancel = 1;
    WaitForWorker();
}

bool CUpdateDownloadDialog1::OnInitDialog() {
    m_counters.totalBytes = -1;
    Host().Enable(kInstall, false);
    m_job.window = this;
    m_job.counters = &m_counters;
    m_job.cancel = 0;
    Host().SetText(kFile, m_job.m_strUrl);
    Host().SetText(kSize, "");
    Host().SetText(kLoaded, "");
    try {
        m_pThread = std::make_unique<std::thread>(DownloadWorker, &m_job);
    } catch (const std::system_error& failure) {
        // Reported like a failed transfer: the window stays open and can be closed.
        Host().PostNotice(kDownloadFailed, LoadResString(IDS_DOWNLOAD_NOT_STARTED) + " " + failure.what());
    }
    return true;
}

void CUpdateDownloadDialog1::OnCommand(int id) {
    switch (id) {
        case kInstall:
            OnInstall();
            break;
        case kCancel:
            OnAbort();
            break;
        default:
            CTemplateDialog::OnCommand(id);
    }
}

void CUpdateDownloadDialog1::NotifyProgress() {
    Host().PostNotice(kDownloadProgress, {});
}

void CUpdateDownloadDialog1::NotifyDone() {
    Host().PostNotice(kDownloadDone, {});
}

void CUpdateDownloadDialog1::NotifyFailed(const DownloadFailure& failure) {
    Host().PostNotice(kDownloadFailed, DownloadFailureText(failure));
}

void CUpdateDownloadDialog1::OnNotice(int notice, const std::string& payload) {
    switch (notice) {
        case kDownloadProgress:
            OnDownloadProgress();
            break;
        case kDownloadDone:
            OnDownloadDone();
            break;
        case kDownloadFailed:
            OnDownloadFailed(payload);
            break;
        case kClose:
            OnCancel();
            break;
        default:
            break;
    }
}

void CUpdateDownloadDialog1::OnDownloadProgress() {
    const int64_t total = m_counters.totalBytes;
    if (total == -1) {
        return;
    }
    const int64_t loaded = m_counters.loadedBytes;
    Host().SetProgressPos(kProgress, total > 0 ? static_cast<int>(loaded * 100 / total) : 0);
    Host().SetText(kSize, FormatSize(total));
    Host().SetText(kLoaded, FormatSize(loaded));
}

void CUpdateDownloadDialog1::OnDownloadDone() {
    WaitForWorker();
    Host().Enable(kInstall, true);
    // Progress notices come at most every 100 ms, so the last one may have come before the last bytes.
    Host().SetProgressPos(kProgress, 100);
    Host().SetText(kLoaded, FormatSize(m_counters.loadedBytes));
    StartInstaller();
    OnAbort();
}

void CUpdateDownloadDialog1::OnDownloadFailed(const std::string& error) {
    WaitForWorker();
    Host().ShowMessage(error, MessageIcon::None, MessageButtons::Ok);
}

void CUpdateDownloadDialog1::OnInstall() {
    StartInstaller();
    OnAbort();
}

// An installer that did not start is no success: the user learns where it is, to start it by hand.
void CUpdateDownloadDialog1::StartInstaller() {
    const FileOpening opening = Host().OpenFile(m_job.m_strTargetPath);
    if (opening == FileOpening::Started) {
        return;
    }
    const bool cancelled = opening == FileOpening::Cancelled;
    Host().ShowMessage(LoadResString(cancelled ? IDS_INSTALL_CANCELLED : IDS_INSTALLER_NOT_STARTED) + "\n" +
                           m_job.m_strTargetPath,
                       cancelled ? MessageIcon::Information : MessageIcon::Exclamation, MessageButtons::Ok);
}

// Closing is posted, as a click on the close box would be, so the handler that asks for it ends first.
void CUpdateDownloadDialog1::OnAbort() {
    Host().PostNotice(kClose, {});
}

void CUpdateDownloadDialog1::OnCancel() {
    m_job.cancel = 1;
    WaitForWorker();
    CTemplateDialog::OnCancel();
}

void CUpdateDownloadDialog1::WaitForWorker() {
    if (m_pThread) {
        m_pThread->join();
        m_pThread.reset();
    }
}
