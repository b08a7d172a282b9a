#pragma once

#include <QDialog>
#include <cstdint>

#include "common/dialog_builder.h"
#include "res/control_ids.h"

// A modal dialog made from a template of the current resources. Its OK and cancel buttons, the
// Escape key and the close box end it through OnOK and OnCancel; a window class overrides those and
// OnInitDialog, and binds its controls by id.
class CTemplateDialog : public QDialog {
    Q_OBJECT

public:
    CTemplateDialog(uint32_t templateId, QWidget* pParent);

    // Runs OnInitDialog once, then the dialog modally unless OnInitDialog already ended it; the code
    // the dialog was ended with.
    int DoModal();
    // OnInitDialog without the modal run, for a window that is only rendered.
    void Initialize();

    // Ends the modal run with the code.
    void EndDialog(int result) {
        m_bEnded = true;
        done(result);
    }
    bool Ended() const { return m_bEnded; }

    // The Escape key and the close box arrive here.
    void reject() override { OnCancel(); }

protected:
    virtual bool OnInitDialog() { return true; }
    void showEvent(QShowEvent* event) override;
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // The control with the id; a hidden stand-in when a foreign template lacks it, so the window
    // still works.
    template <typename Control>
    Control* Bind(int id) {
        if (Control* control = FindControl<Control>(*this, id)) {
            return control;
        }
        auto* standIn = new Control(this);
        standIn->hide();
        return standIn;
    }

private:
    bool m_bInitialized = false;
    bool m_bEnded = false;
    uint32_t m_dialogStyle = 0;
};
