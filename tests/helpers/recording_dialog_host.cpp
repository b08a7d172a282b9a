#include "helpers/recording_dialog_host.h"

#include <span>
#include <thread>

#include "dialogs/template_dialog.h"
#include "res/resources.h"

void RecordingDialogHost::CreateModeless(CTemplateDialog& dialog) {
    m_pDialog = &dialog;
    const LumikartaDialogTemplate* dialogTemplate = LoadDialogTemplate(dialog.TemplateId());
    if (!dialogTemplate) {
        return;
    }
    for (const LumikartaDialogControl& source :
         std::span(dialogTemplate->controls, dialogTemplate->controlCount)) {
        Control& control = m_controls[source.id];
        control.kind = static_cast<int>(source.kind);
        control.text = source.text ? source.text : "";
        for (const char* item : std::span(source.items, source.itemCount)) {
            AddItem(source.id, item);
        }
    }
    dialog.InitDialog();
    for (const int notice : std::exchange(m_idleNotices, {})) {
        dialog.OnNotice(notice, {});
    }
}

const RecordingDialogHost::Control& RecordingDialogHost::Find(int id) const {
    static const Control kMissing;
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? kMissing : found->second;
}

std::string RecordingDialogHost::GetText(int id) const {
    const Control& control = Find(id);
    return control.kind == LUMIKARTA_CONTROL_DROP_DOWN_LIST ? ItemText(id, control.selection) : control.text;
}

// The dialogs choose items only once the box is filled, so the choice is not moved along.
int RecordingDialogHost::InsertItem(int id, int index, const std::string& text) {
    std::vector<std::string>& items = At(id).items;
    const auto at = index < 0 || index > std::ssize(items) ? items.end() : items.begin() + index;
    return static_cast<int>(items.insert(at, text) - items.begin());
}

void RecordingDialogHost::ClearItems(int id) {
    Control& control = At(id);
    control.items.clear();
    control.selection = -1;
}

std::string RecordingDialogHost::ItemText(int id, int index) const {
    const std::vector<std::string>& items = Find(id).items;
    return index >= 0 && index < std::ssize(items) ? items[static_cast<std::size_t>(index)] : "";
}

void RecordingDialogHost::Select(int id, int index) {
    Control& control = At(id);
    control.selection = index >= 0 && index < static_cast<int>(control.items.size()) ? index : -1;
    if (control.kind == LUMIKARTA_CONTROL_COMBO_BOX && control.selection >= 0) {
        control.text = control.items[static_cast<std::size_t>(control.selection)];
    }
}

void RecordingDialogHost::UserSelects(int id, int index) {
    Select(id, index);
    m_pDialog->OnSelChange(id);
}

void RecordingDialogHost::UserClicks(int id) {
    if (IsEnabled(id)) {
        m_pDialog->OnCommand(id);
    }
}

MessageAnswer RecordingDialogHost::ShowMessage(const std::string& text, MessageIcon icon,
                                               MessageButtons buttons) {
    m_pDesktop->messages.push_back({text, icon, buttons});
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : m_pDesktop->answer;
}

std::optional<std::string> RecordingDialogHost::AskSaveFile(const SaveFileQuestion& question) {
    m_pDesktop->saveQuestions.push_back(question);
    return m_pDesktop->savePath;
}

void RecordingDialogHost::PostNotice(int notice, std::string payload) {
    {
        const std::lock_guard<std::mutex> lock(m_noticeLock);
        m_notices.emplace_back(notice, std::move(payload));
    }
    m_noticePosted.notify_all();
}

void RecordingDialogHost::DeliverNotices(std::chrono::milliseconds wait) {
    std::deque<std::pair<int, std::string>> pending;
    {
        std::unique_lock<std::mutex> lock(m_noticeLock);
        m_noticePosted.wait_for(lock, wait, [this] { return !m_notices.empty(); });
        pending.swap(m_notices);
    }
    for (const auto& [notice, payload] : pending) {
        // A window that has ended gets no more notices.
        if (!m_pDialog->Ended()) {
            m_pDialog->OnNotice(notice, payload);
        }
    }
}

// On a thread of its own, as the real hosts do, so the work's sharing with this thread is checked.
void RecordingDialogHost::RunBlocking(const std::function<void()>& work) {
    ++m_pDesktop->blockingRuns;
    std::thread helper(work);
    helper.join();
}
