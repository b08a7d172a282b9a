#pragma once

#include <memory>
#include <string>
#include <thread>

#include "dialogs/template_dialog.h"
#include "update/download_job.h"

// The "Download" window: fetches the job's URL into its target file on a worker thread, shows the
// progress, and when the file is complete starts it and closes. Every way out goes through
// OnCancel, which stops the worker and waits for it; a failure is shown and leaves the window open.
class CUpdateDownloadDialog1 : public CTemplateDialog, private DownloadListener {
public:
    // The notices the worker posts to the window, and the window's own posted close.
    static constexpr int kDownloadDone = 1;
    static constexpr int kDownloadProgress = 2;
    static constexpr int kDownloadFailed = 3;
    static constexpr int kClose = 4;

    explicit CUpdateDownloadDialog1(std::unique_ptr<CDialogHost> host);
    // Stops and waits for a worker that still runs.
    ~CUpdateDownloadDialog1() override;

    // The opener sets the URL and the target path before the window runs.
    DownloadJob m_job;

    void OnCommand(int id) override;
    void OnNotice(int notice, const std::string& payload) override;
    void OnCancel() override;

    void OnInstall();
    void OnAbort();

protected:
    bool OnInitDialog() override;

private:
    // Called on the worker's thread: they only post.
    void NotifyProgress() override;
    void NotifyDone() override;
    void NotifyFailed(const DownloadFailure& failure) override;

    void OnDownloadDone();
    void OnDownloadProgress();
    void OnDownloadFailed(const std::string& error);
    void StartInstaller();
    void WaitForWorker();

    std::unique_ptr<std::thread> m_pThread;
    DownloadCounters m_counters;
};
