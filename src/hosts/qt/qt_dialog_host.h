#pragma once

#include <QDialog>
#include <QMenu>
#include <QPointer>
#include <memory>

#include "dialogs/dialog_host.h"

class QtDialogWindow;

// The dialog host on Qt Widgets: the window and its controls are built from the template, each
// control tagged with its id; signals and events of the widgets become the dialog's handler calls.
class CQtDialogHost final : public CDialogHost {
public:
    // owner: the window a modal run is modal to; null for the top-level window.
    explicit CQtDialogHost(QWidget* owner);
    ~CQtDialogHost() override;

    // The window once RunModal or CreateModeless has made it; null before.
    QDialog* Window() const;

    int RunModal(CTemplateDialog& dialog) override;
    void CreateModeless(CTemplateDialog& dialog) override;
    void EndDialog(int result) override;
    std::unique_ptr<CDialogHost> CreateChildHost() override;
    void SetIcon(uint32_t iconId) override;
    void AddSystemMenuItem(int commandId, const std::string& text) override;

    std::string GetText(int id) const override;
    void SetText(int id, const std::string& text) override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void Show(int id, bool shown) override;
    void SetFocus(int id) override;
    void SetFontStyle(int id, FontStyle style) override;
    void LimitText(int id, int maxCharacters) override;

    int AddItem(int id, const std::string& text) override;
    int InsertItem(int id, int index, const std::string& text) override;
    void RemoveItem(int id, int index) override;
    void ClearItems(int id) override;
    int ItemCount(int id) const override;
    std::string ItemText(int id, int index) const override;
    void Select(int id, int index) override;
    int Selection(int id) const override;

    void SetProgressRange(int id, int low, int high) override;
    void SetProgressPos(int id, int position) override;

    void SetHandCursor(int id) override;
    void SetTextColour(int id, RgbColour colour) override;

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    std::optional<std::string> AskSaveFile(const SaveFileQuestion& question) override;
    bool CopyToClipboard(const std::string& text) override;
    void OpenUrl(const std::string& url) override;
    FileOpening OpenFile(const std::string& path) override;
    bool RestartProgram() override;

    void PostNotice(int notice, std::string payload) override;
    void PostNoticeWhenIdle(int notice) override;
    void RunBlocking(const std::function<void()>& work) override;

private:
    void MakeWindow(CTemplateDialog& dialog);
    QWidget* Control(int id) const;

    QPointer<QWidget> m_pOwner;
    std::unique_ptr<QtDialogWindow> m_pWindow;
};
