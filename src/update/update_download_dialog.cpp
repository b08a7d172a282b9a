#include "update/update_download_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <system_error>

#include "common/message_box.h"
#include "res/control_ids.h"
#include "res/resource_ids.h"
#include "update/download_worker.h"
#include "update/format_size.h"

namespace {

class DownloadFailedEvent final : public QEvent {
public:
    explicit DownloadFailedEvent(QString error)
        : QEvent(CUpdateDownloadDialog1::kDownloadFailed), m_error(std::move(error)) {}
    const QString& Error() const { return m_error; }

private:
    QString m_error;
};

}  // namespace

CUpdateDownloadDialog1::CUpdateDownloadDialog1(QWidget* pParent)
    : CTemplateDialog(IDD_UPDATEDOWNLOAD, pParent) {
    using namespace download_dialog;
    m_btnInstall = Bind<QPushButton>(kInstall);
    m_btnCancel = Bind<QPushButton>(kCancel);
    m_progress = Bind<QProgressBar>(kProgress);
    m_staticFile = Bind<QLabel>(kFile);
    m_staticSize = Bind<QLabel>(kSize);
    m_staticLoaded = Bind<QLabel>(kLoaded);
    connect(m_btnInstall, &QPushButton::clicked, this, [this] { OnInstall(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { OnAbort(); });
}

CUpdateDownloadDialog1::~CUpdateDownloadDialog1() {
    m_job.cancel = 1;
    WaitForWorker();
}

bool CUpdateDownloadDialog1::OnInitDialog() {
    m_counters.totalBytes = -1;
    m_btnInstall->setEnabled(false);
    m_job.window = this;
    m_job.counters = &m_counters;
    m_job.cancel = 0;
    m_staticFile->setText(QString::fromStdString(m_job.m_strUrl));
    m_staticSize->clear();
    m_staticLoaded->clear();
    try {
        m_pThread = std::make_unique<std::thread>(DownloadWorker, &m_job);
    } catch (const std::system_error& failure) {
        // Reported like a failed transfer: the window stays open and can be closed.
        NotifyFailed(std::string("Cannot start the download: ") + failure.what());
    }
    return true;
}

void CUpdateDownloadDialog1::NotifyProgress() {
    QCoreApplication::postEvent(this, new QEvent(kDownloadProgress));
}

void CUpdateDownloadDialog1::NotifyDone() {
    QCoreApplication::postEvent(this, new QEvent(kDownloadDone));
}

void CUpdateDownloadDialog1::NotifyFailed(const std::string& error) {
    QCoreApplication::postEvent(this, new DownloadFailedEvent(QString::fromStdString(error)));
}

bool CUpdateDownloadDialog1::event(QEvent* event) {
    if (event->type() == kDownloadProgress) {
        OnDownloadProgress();
        return true;
    }
    if (event->type() == kDownloadDone) {
        OnDownloadDone();
        return true;
    }
    if (event->type() == kDownloadFailed) {
        OnDownloadFailed(static_cast<DownloadFailedEvent*>(event)->Error());
        return true;
    }
    return CTemplateDialog::event(event);
}

void CUpdateDownloadDialog1::OnDownloadProgress() {
    const int64_t total = m_counters.totalBytes;
    if (total == -1) {
        return;
    }
    const int64_t loaded = m_counters.loadedBytes;
    m_progress->setValue(total > 0 ? static_cast<int>(loaded * 100 / total) : 0);
    m_staticSize->setText(QString::fromStdString(FormatSize(total)));
    m_staticLoaded->setText(QString::fromStdString(FormatSize(loaded)));
}

void CUpdateDownloadDialog1::OnDownloadDone() {
    WaitForWorker();
    m_btnInstall->setEnabled(true);
    m_staticLoaded->setText(QString::fromStdString(FormatSize(m_counters.loadedBytes)));
    OpenTarget();
    OnAbort();
}

void CUpdateDownloadDialog1::OnDownloadFailed(const QString& error) {
    WaitForWorker();
    ShowMessageBox(this, error.toStdString(), MessageIcon::None);
}

void CUpdateDownloadDialog1::OnInstall() {
    OpenTarget();
    OnAbort();
}

// Closing is posted, as a click on the close box would be, so the handler that asks for it ends first.
void CUpdateDownloadDialog1::OnAbort() {
    QMetaObject::invokeMethod(
        this, [this] { OnCancel(); }, Qt::QueuedConnection);
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

void CUpdateDownloadDialog1::OpenTarget() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(m_job.m_strTargetPath)));
}
