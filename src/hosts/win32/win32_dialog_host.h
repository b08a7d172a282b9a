#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/dialog_host.h"

// The Win32 host: the dialog's template as a native dialog (DLGTEMPLATEEX), its controls reached by
// id through the dialog manager, its desktop services through the shell, the clipboard and the
// common dialogs. One host serves one dialog window.
class CWin32DialogHost : public CDialogHost {
public:
    // owner: the window a modal run disables, null for the top-level window.
    explicit CWin32DialogHost(HWND owner);
    ~CWin32DialogHost() override;
    CWin32DialogHost(const CWin32DialogHost&) = delete;
    CWin32DialogHost& operator=(const CWin32DialogHost&) = delete;

    // The dialog window; null before it is made and after it is gone.
    HWND Window() const { return m_hDialog; }

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
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK LinkProcedure(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR host);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnLinkMessage(HWND link, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommandMessage(int id, int code);
    void SetLinkHover(HWND link, bool over);
    void ApplyFontStyle(int id, FontStyle style);
    void ApplyIcon(UINT dpi);
    void FollowDpi(UINT dpi);
    void DeliverNotices();
    void Forget();
    HWND Control(int id) const;

    HWND m_hOwner;
    HWND m_hDialog = nullptr;
    CTemplateDialog* m_pDialog = nullptr;
    bool m_bModal = false;
    bool m_bBlocking = false;
    // Fonts and icons the host made, kept to be made again for a new DPI.
    std::map<int, FontStyle> m_fontStyles;
    std::map<int, HFONT> m_styledFonts;
    // The dialog's font as first taken, the DPI it was made for, and the window's DPI now.
    LOGFONTW m_dialogFont = {};
    UINT m_nFontDpi = 0;
    UINT m_nDpi = 0;
    uint32_t m_nIconId = 0;
    HICON m_hBigIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    std::set<int> m_systemCommands;
    std::set<int> m_links;
    int m_nHoveredLink = 0;
    std::map<int, COLORREF> m_textColours;
    std::mutex m_noticeLock;
    std::vector<std::pair<int, std::string>> m_notices;
};
