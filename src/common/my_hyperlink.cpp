#include "common/my_hyperlink.h"

void CMyHyperLink::SubclassDlgItem(int id, CDialogHost& host) {
    m_pHost = &host;
    m_nId = id;
    host.SetFontStyle(id, FontStyle::Underlined);
    host.SetHandCursor(id);
    Redraw();
}

RgbColour CMyHyperLink::TextColor() const {
    if (m_bVisited) {
        return m_crVisited;
    }
    return m_bOver ? m_crHover : m_crLink;
}

void CMyHyperLink::OnMouseHover(bool over) {
    if (over != m_bOver) {
        m_bOver = over;
        Redraw();
    }
}

void CMyHyperLink::OnClicked() {
    if (m_pHost) {
        m_pHost->OpenUrl(m_strURL);
    }
    m_bVisited = true;
    Redraw();
}

void CMyHyperLink::Redraw() {
    if (m_pHost) {
        m_pHost->SetTextColour(m_nId, TextColor());
    }
}
