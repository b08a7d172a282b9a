#pragma once

#include <string>

#include "dialogs/dialog_host.h"

// Turns a dialog's label into a web link: underlined text in link colours, a hand cursor, hover
// highlighting, and a click that opens its address in the browser. The owning dialog hands the
// label's clicks and hover changes on to it.
class CMyHyperLink {
public:
    // Read only when the link is clicked, so it may be set before or after the label is bound.
    void SetURL(const std::string& url) { m_strURL = url; }

    // Binds the label: it reports clicks, takes an underlined copy of its font, the hand cursor and
    // the link colour.
    void AttachToLabel(int id, CDialogHost& host);
    int ControlId() const { return m_nId; }

    void OnMouseHover(bool over);
    void OnClicked();

    // The colour the text has now: visited wins over hover, hover over the plain link colour.
    RgbColour TextColor() const;
    bool IsOver() const { return m_bOver; }
    bool IsVisited() const { return m_bVisited; }

private:
    void Redraw();

    CDialogHost* m_pHost = nullptr;
    int m_nId = 0;
    bool m_bOver = false;
    bool m_bVisited = false;
    std::string m_strURL;
    RgbColour m_crHover{255, 0, 0};
    RgbColour m_crLink{0, 0, 255};
    RgbColour m_crVisited{5, 34, 143};
};
