#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "dialogs/my_hyperlink.h"
#include "dialogs/template_dialog.h"
#include "sysinfo/system_info.h"

// The program's main window: the facts of this computer, the clipboard summary, the support form,
// the update list, the language choice, the FAQ link and the About box. The facts, and the FAQ data
// the support form offers, are collected on a thread of their own while the window opens, so it is
// seen and takes input at once; the fields are filled when they arrive, and "Info kopieren" and
// "Support" stay disabled until then.
class CLumikartaSystemInfoDlg : public CTemplateDialog {
public:
    explicit CLumikartaSystemInfoDlg(std::unique_ptr<CDialogHost> host);

    // The About entry of the window menu.
    static constexpr int IDM_ABOUTBOX = 0x0010;
    // The notice that starts the collecting thread once the window is idle, and the one that thread
    // posts when m_SysInfo is complete.
    static constexpr int kStartCollecting = 1;
    static constexpr int kFactsCollected = 2;

    // 0 German, 1 English, from start-up; chooses the combo box entry and goes on to the support form.
    int m_nLanguage = 0;
    // Filled once by the collecting thread and read only after that thread has ended (FactsShown), by
    // this window and the windows it opens.
    CSystemInfo m_SysInfo;
    // What the collecting thread does: fills m_SysInfo with the probes of this computer and the FAQ
    // store from the local cache. Tests put a known computer in its place before the window is made.
    std::function<void(CSystemInfo&)> m_collectFacts;

    // Whether m_SysInfo is complete and shown.
    bool FactsShown() const { return m_bFactsShown; }

    void OnCommand(int id) override;
    void OnSelChange(int id) override;
    void OnSysCommand(int commandId) override;
    void OnMouseHover(int id, bool over) override;
    void OnNotice(int notice, const std::string& payload) override;

    void OnCopyInfo();
    void OnLanguageChanged();
    void OnSupport();
    void OnUpdates();

protected:
    bool OnInitDialog() override;

private:
    void StartCollecting();
    void OnFactsCollected();
    void ShowFacts();

    CMyHyperLink m_linkFAQ;
    // The language choice that is stored or in force: where a choice that cannot be stored goes back.
    int m_nKeptLanguage = -1;
    bool m_bFactsShown = false;
    // Last, so that a window closed before its facts arrive waits for the thread before the record
    // and the host it uses go.
    std::jthread m_collector;
};
