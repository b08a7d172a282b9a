#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/dialog_host.h"

// A dialog host without any window: controls are records made from the dialog's template, what the
// dialog asks of the desktop is recorded and answered as the test scripts it, and posted notices
// wait until the test delivers them. The user's doings are methods of their own.
class RecordingDialogHost final : public CDialogHost {
public:
    struct Control {
        int kind = 0;
        uint32_t style = 0;
        std::string text;
        bool enabled = true;
        bool shown = true;
        std::optional<FontStyle> fontStyle;
        int textLimit = -1;
        std::vector<std::string> items;
        int selection = -1;
        std::vector<int> progress;
        bool link = false;
        std::optional<RgbColour> colour;
    };
    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };
    // What the desktop saw and how it answers; shared with the hosts of child dialogs.
    struct Desktop {
        MessageAnswer answer = MessageAnswer::Ok;
        std::optional<std::string> savePath;
        bool restartWorks = true;
        // Takes the place of a child dialog's whole modal run (nothing of it is initialised); without
        // it the child initialises and the user closes it at once.
        std::function<int(CTemplateDialog&)> runChild;

        std::vector<Message> messages;
        std::vector<SaveFileQuestion> saveQuestions;
        std::optional<std::string> clipboard;
        std::vector<std::string> openedUrls;
        std::vector<std::string> openedFiles;
        int restarts = 0;
        int blockingRuns = 0;
        // The template of each dialog run modally.
        std::vector<uint32_t> modalRuns;
    };

    RecordingDialogHost();

    Desktop& Seen() { return *m_pDesktop; }
    // The control's record; one is made for an id the template lacks.
    Control& At(int id) { return m_controls[id]; }
    const std::vector<std::pair<int, std::string>>& SystemMenu() const { return m_systemMenu; }
    std::optional<int> Focus() const { return m_focus; }
    bool Shown() const { return m_bShown; }

    // The user's doings.
    void UserTypes(int id, const std::string& text) { At(id).text = text; }
    void UserSelects(int id, int index);
    void UserClicks(int id);
    void UserHovers(int id, bool over);
    void UserChoosesMenuItem(int commandId);

    // Delivers the notices posted so far, in order; false when there were none.
    bool DeliverNotices();
    // Waits until a notice is posted or the time is over, then delivers what has come.
    bool DeliverNoticesWithin(std::chrono::milliseconds wait);

    int RunModal(CTemplateDialog& dialog) override;
    void CreateModeless(CTemplateDialog& dialog) override;
    void EndDialog(int result) override;
    std::unique_ptr<CDialogHost> CreateChildHost() override;
    void ShowDialog() override { m_bShown = true; }
    void SetIcon(uint32_t) override {}
    void AddSystemMenuItem(int commandId, const std::string& text) override;

    std::string GetText(int id) const override;
    void SetText(int id, const std::string& text) override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void Show(int id, bool shown) override { At(id).shown = shown; }
    void SetFocus(int id) override { m_focus = id; }
    void SetFontStyle(int id, FontStyle style) override { At(id).fontStyle = style; }
    void LimitText(int id, int maxCharacters) override { At(id).textLimit = maxCharacters; }

    int AddItem(int id, const std::string& text) override;
    int InsertItem(int id, int index, const std::string& text) override;
    void RemoveItem(int id, int index) override;
    void ClearItems(int id) override;
    int ItemCount(int id) const override;
    std::string ItemText(int id, int index) const override;
    void Select(int id, int index) override;
    int Selection(int id) const override;

    void SetProgressRange(int, int, int) override {}
    void SetProgressPos(int id, int position) override { At(id).progress.push_back(position); }

    void SetHandCursor(int id) override { At(id).link = true; }
    void SetTextColour(int id, RgbColour colour) override { At(id).colour = colour; }

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    std::optional<std::string> AskSaveFile(const SaveFileQuestion& question) override;
    bool CopyToClipboard(const std::string& text) override;
    void OpenUrl(const std::string& url) override { m_pDesktop->openedUrls.push_back(url); }
    void OpenFile(const std::string& path) override { m_pDesktop->openedFiles.push_back(path); }
    bool RestartProgram() override;

    void PostNotice(int notice, std::string payload) override;
    void RunBlocking(const std::function<void()>& work) override;

private:
    explicit RecordingDialogHost(std::shared_ptr<Desktop> desktop);
    void MakeControls(CTemplateDialog& dialog);
    const Control* Find(int id) const;

    std::shared_ptr<Desktop> m_pDesktop;
    CTemplateDialog* m_pDialog = nullptr;
    std::map<int, Control> m_controls;
    std::vector<std::pair<int, std::string>> m_systemMenu;
    std::optional<int> m_focus;
    int m_nHoveredLink = 0;
    bool m_bShown = false;

    std::mutex m_noticeLock;
    std::condition_variable m_noticePosted;
    std::deque<std::pair<int, std::string>> m_notices;
};
