#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dialogs/dialog_host.h"

// A dialog's logic, made from a template of the current resources and shown by its host. A window
// class overrides the handlers it needs and talks to its controls by id through Host(); the host
// calls the public handlers below on the user-interface thread.
class CTemplateDialog {
public:
    CTemplateDialog(uint32_t templateId, std::unique_ptr<CDialogHost> host);
    virtual ~CTemplateDialog() = default;
    CTemplateDialog(const CTemplateDialog&) = delete;
    CTemplateDialog& operator=(const CTemplateDialog&) = delete;

    uint32_t TemplateId() const { return m_templateId; }
    CDialogHost& Host() { return *m_pHost; }
    const CDialogHost& Host() const { return *m_pHost; }

    // Runs the dialog modally; the code it was ended with.
    int DoModal() { return m_pHost->RunModal(*this); }
    // Makes the window and runs OnInitDialog without the modal run (rendering, tests).
    void Create() { m_pHost->CreateModeless(*this); }
    void EndDialog(int result);
    bool Ended() const { return m_bEnded; }
    int Result() const { return m_nResult; }

    // Called by the host.
    // OnInitDialog once, however often the host asks; its result.
    bool InitDialog();
    // The OK button and the Return key without another default button.
    virtual void OnOK();
    // The cancel button, the Escape key and the close box.
    virtual void OnCancel();
    // A button or a notifying label was clicked. IDOK and IDCANCEL go to OnOK and OnCancel.
    virtual void OnCommand(int id);
    // The user chose another item of a list or combo box.
    virtual void OnSelChange(int /*id*/) {}
    // A notice posted through the host arrives.
    virtual void OnNotice(int /*notice*/, const std::string& /*payload*/) {}
    // An entry of the window menu was chosen.
    virtual void OnSysCommand(int /*commandId*/) {}
    // The mouse entered (true) or left a label the host made a link.
    virtual void OnMouseHover(int /*id*/, bool /*over*/) {}

protected:
    virtual bool OnInitDialog() { return true; }

private:
    uint32_t m_templateId;
    std::unique_ptr<CDialogHost> m_pHost;
    bool m_bInitialized = false;
    bool m_bInitResult = false;
    bool m_bEnded = false;
    int m_nResult = 0;
};
