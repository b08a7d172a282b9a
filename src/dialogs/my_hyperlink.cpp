#include "dialogs/my_hyperlink.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// The shell opens an address that begins with "www." as a web page; handed on bare, a browser or
// the desktop would take it for a file name.
std::string WithWebScheme(const std::string& url) {
    constexpr std::string_view kWebHost = "www.";
    const bool bareWebHost =
        url.size() > kWebHost.size() &&
        std::equal(kWebHost.begin(), kWebHost.end(), url.begin(),
                   [](char lower, char c) { return lower == std::tolower(static_cast<unsigned char>(c)); });
    return bareWebHost ? "http://" + url : url;
}

}  // namespace

void CMyHyperLink::AttachToLabel(int id, CDialogHost& host) {
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
        m_pHost->OpenUrl(WithWebScheme(m_strURL));
    }
    m_bVisited = true;
    Redraw();
}

void CMyHyperLink::Redraw() {
    if (m_pHost) {
        m_pHost->SetTextColour(m_nId, TextColor());
    }
}
