#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/message_box_options.h"
#include "dialogs/save_file_question.h"

class CTemplateDialog;

struct RgbColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const RgbColour&) const = default;
};

// A copy of the dialog's font that a label is given.
enum class FontStyle { Bold, Underlined };

// How opening a file with the program the desktop starts for it went.
enum class FileOpening {
    Started,
    // The user declined what the system asked first (Windows' prompt for an administrator's rights).
    Cancelled,
    Failed,
};

// The window under one dialog's logic: it makes the window and its controls from the dialog's
// template, tells the dialog of clicks, selection changes and notices by control id, and does for it
// what needs the desktop (message boxes, the save question, the clipboard, the shell, a restart).
// Texts are UTF-8. Everything except PostNotice is called on the user-interface thread. A control id
// the template lacks (a language library of another build) is ignored by setters and reads as empty,
// so the window still works.
class CDialogHost {
public:
    virtual ~CDialogHost() = default;

    // The window. RunModal makes it from dialog.TemplateId(), calls dialog.InitDialog(), and unless
    // the dialog ended itself there, runs it modally until EndDialog; the code it was ended with.
    virtual int RunModal(CTemplateDialog& dialog) = 0;
    // Makes the window and calls dialog.InitDialog() without the modal run: a window that is only
    // rendered, or driven by a test.
    virtual void CreateModeless(CTemplateDialog& dialog) = 0;
    // Ends the modal run with the code once the current handler has returned; hides a modeless window.
    virtual void EndDialog(int result) = 0;
    // A host for a dialog run modally over this one (its owner window).
    virtual std::unique_ptr<CDialogHost> CreateChildHost() = 0;
    // The icon resource as the window's big and small icon.
    virtual void SetIcon(uint32_t iconId) = 0;
    // Adds a separator and then the entry to the window menu (where the platform has none of ours to
    // extend: the window's context menu); choosing it calls dialog.OnSysCommand(commandId).
    virtual void AddSystemMenuItem(int commandId, const std::string& text) = 0;

    // Any control. The text of a combo box is its edit field's, or its chosen item's (empty when none
    // is chosen); of a multi-line edit its lines joined by line feeds.
    virtual std::string GetText(int id) const = 0;
    // A single-line edit shows the start of a long text.
    virtual void SetText(int id, const std::string& text) = 0;
    virtual void Enable(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void Show(int id, bool shown) = 0;
    virtual void SetFocus(int id) = 0;
    // The label's font becomes a bold or underlined copy of the font it has, owned by the host.
    virtual void SetFontStyle(int id, FontStyle style) = 0;
    // The most characters the user can type into an edit.
    virtual void LimitText(int id, int maxCharacters) = 0;

    // List and combo boxes. AddItem puts the item where the box's style says: in alphabetical place
    // without regard to case in a sorted box (among equal texts wherever that platform's own sorted
    // box puts it: Wine's before them, the Qt host's after), else at the end;
    // InsertItem puts it at the index (-1: the end) whatever the style. Both return the index and
    // never choose an item. Select(-1) clears the choice; Selection is -1 without one. None of these
    // calls dialog.OnSelChange: only the user's choice does.
    virtual int AddItem(int id, const std::string& text) = 0;
    virtual int InsertItem(int id, int index, const std::string& text) = 0;
    virtual void RemoveItem(int id, int index) = 0;
    virtual void ClearItems(int id) = 0;
    virtual int ItemCount(int id) const = 0;
    virtual std::string ItemText(int id, int index) const = 0;
    virtual void Select(int id, int index) = 0;
    virtual int Selection(int id) const = 0;

    // Progress bars.
    virtual void SetProgressRange(int id, int low, int high) = 0;
    virtual void SetProgressPos(int id, int position) = 0;

    // Labels that act as links: the hand cursor over the label, and from then on, while the label is
    // enabled, a click calls dialog.OnCommand(id) and the mouse entering and leaving it
    // dialog.OnMouseHover(id, over). Disabling the label the mouse is over counts as the mouse
    // leaving it.
    virtual void SetHandCursor(int id) = 0;
    virtual void SetTextColour(int id, RgbColour colour) = 0;

    // A message box over the window with the program's name as caption. The text is shown as plain
    // text, never interpreted as markup: parts of it may come from a server.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;
    // The chosen full path; none when the user cancelled.
    virtual std::optional<std::string> AskSaveFile(const SaveFileQuestion& question) = 0;
    // Plain text; false when the clipboard could not be had.
    virtual bool CopyToClipboard(const std::string& text) = 0;
    // Opens a web address in the browser; the result is not looked at.
    virtual void OpenUrl(const std::string& url) = 0;
    // Opens a file with the program the desktop starts for it (an installer runs).
    virtual FileOpening OpenFile(const std::string& path) = 0;
    // Starts this program's own executable anew, without arguments, as an independent process; false
    // when it could not be started.
    virtual bool RestartProgram() = 0;

    // From any thread; never waits for the window. dialog.OnNotice(notice, payload) runs later on the
    // user-interface thread, in posting order; notices still pending when the window goes are dropped.
    virtual void PostNotice(int notice, std::string payload) = 0;
    // dialog.OnNotice(notice, {}) runs once the window has handled what is pending, on Windows its
    // first painting included, so that work it starts does not hold up the window's first
    // appearance; dropped when the window goes first.
    virtual void PostNoticeWhenIdle(int notice) = 0;
    // Runs the work on a helper thread and returns when it is done. Meanwhile the windows keep
    // painting but take no input (clicks and keys are dropped, not delivered later) and show the wait
    // cursor. The work must not touch the windows; the helper thread is prepared for the core's calls
    // as the user-interface thread is (COM, where the platform's XML parser needs it).
    virtual void RunBlocking(const std::function<void()>& work) = 0;
};

// A host for the program's top-level window on this platform.
std::unique_ptr<CDialogHost> CreateTopLevelDialogHost();
