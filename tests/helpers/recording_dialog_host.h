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

#include "dialogs/dialog_host.h"
#include "res/control_ids.h"

// A dialog host without any window: controls are records made from the dialog's template, what the
// dialog asks of the desktop is recorded and answered as the test scripts it, and posted notices
// wait until the test delivers them. The user's doings are methods of their own.
class RecordingDialogHost final : public CDialogHost {
public:
    struct Control {
        int kind = 0;
        std::string text;
        bool enabled = true;
        std::optional<FontStyle> fontStyle;
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
        FileOpening fileOpening = FileOpening::Started;
        // Takes the place of a child dialog's whole modal run.
        std::function<int(CTemplateDialog&)> runChild;

        std::vector<Message> messages;
        std::vector<SaveFileQuestion> saveQuestions;
        std::optional<std::string> clipboard;
        std::vector<std::string> openedUrls;
        std::vector<std::string> openedFiles;
        int restarts = 0;
        int blockingRuns = 0;
    };

    RecordingDialogHost() : RecordingDialogHost(std::make_shared<Desktop>()) {}

    Desktop& Seen() { return *m_pDesktop; }
    // The control's record; one is made for an id the template lacks.
    Control& At(int id) { return m_controls[id]; }

    void UserTypes(int id, const std::string& text) { At(id).text = text; }
    void UserSelects(int id, int index);
    void UserClicks(int id);

    // Delivers the notices posted so far, in order, after waiting up to the time for the first one.
    void DeliverNotices(std::chrono::milliseconds wait);

    // Without a scripted child run the child is cancelled unseen.
    int RunModal(CTemplateDialog& dialog) override {
        return m_pDesktop->runChild ? m_pDesktop->runChild(dialog) : IDCANCEL;
    }
    void CreateModeless(CTemplateDialog& dialog) override;
    void EndDialog(int) override {}
    std::unique_ptr<CDialogHost> CreateChildHost() override {
        return std::unique_ptr<CDialogHost>(new RecordingDialogHost(m_pDesktop));
    }
    void SetIcon(uint32_t) override {}
    void AddSystemMenuItem(int, const std::string&) override {}

    std::string GetText(int id) const override;
    void SetText(int id, const std::string& text) override { At(id).text = text; }
    void Enable(int id, bool enabled) override { At(id).enabled = enabled; }
    bool IsEnabled(int id) const override { return Find(id).enabled; }
    void Show(int, bool) override {}
    void SetFocus(int) override {}
    void SetFontStyle(int id, FontStyle style) override { At(id).fontStyle = style; }
    void LimitText(int, int) override {}

    // Where a sorted box puts an item is the real hosts' concern: here every item goes last.
    int AddItem(int id, const std::string& text) override { return InsertItem(id, -1, text); }
    int InsertItem(int id, int index, const std::string& text) override;
    // No dialog takes single items out of a box.
    void RemoveItem(int, int) override {}
    void ClearItems(int id) override;
    int ItemCount(int id) const override { return static_cast<int>(Find(id).items.size()); }
    std::string ItemText(int id, int index) const override;
    void Select(int id, int index) override;
    int Selection(int id) const override { return Find(id).selection; }

    void SetProgressRange(int, int, int) override {}
    void SetProgressPos(int id, int position) override { At(id).progress.push_back(position); }

    void SetHandCursor(int id) override { At(id).link = true; }
    void SetTextColour(int id, RgbColour colour) override { At(id).colour = colour; }

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    std::optional<std::string> AskSaveFile(const SaveFileQuestion& question) override;
    bool CopyToClipboard(const std::string& text) override {
        m_pDesktop->clipboard = text;
        return true;
    }
    void OpenUrl(const std::string& url) override { m_pDesktop->openedUrls.push_back(url); }
    FileOpening OpenFile(const std::string& path) override {
        m_pDesktop->openedFiles.push_back(path);
        return m_pDesktop->fileOpening;
    }
    bool RestartProgram() override {
        ++m_pDesktop->restarts;
        return true;
    }

    void PostNotice(int notice, std::string payload) override;
    // Delivered as soon as the window is made, which is when a real one would be idle.
    void PostNoticeWhenIdle(int notice) override { m_idleNotices.push_back(notice); }
    void RunBlocking(const std::function<void()>& work) override;

private:
    explicit RecordingDialogHost(std::shared_ptr<Desktop> desktop) : m_pDesktop(std::move(desktop)) {}
    // The control's record; an empty one for an id the template lacks.
    const Control& Find(int id) const;

    std::shared_ptr<Desktop> m_pDesktop;
    CTemplateDialog* m_pDialog = nullptr;
    std::map<int, Control> m_controls;

    std::vector<int> m_idleNotices;
    std::mutex m_noticeLock;
    std::condition_variable m_noticePosted;
    std::deque<std::pair<int, std::string>> m_notices;
};
