#include "lumikarta-service/faq_page.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace {

// A site file larger than this is not a FAQ page; serve the built-in one rather than fill memory.
constexpr std::uintmax_t kMaxFileBytes = 4u << 20;

}  // namespace

FaqPage::FaqPage(std::filesystem::path siteFolder) {
    if (!siteFolder.empty()) {
        m_file = std::move(siteFolder) / "faq.html";
    }
}

std::string FaqPage::Html() const {
    std::error_code error;
    if (m_file.empty() || !std::filesystem::is_regular_file(m_file, error) ||
        std::filesystem::file_size(m_file, error) > kMaxFileBytes || error) {
        return BuiltIn();
    }
    std::ifstream in(m_file, std::ios::binary);
    std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return in.bad() ? BuiltIn() : html;
}

const std::string& FaqPage::BuiltIn() {
    static const std::string page = R"(<!DOCTYPE html>
<html lang="de">
<head>
<meta charset="utf-8">
<title>Lumikarta Service – FAQ</title>
</head>
<body>
<h1>Häufige Fragen</h1>
<h2>Wie erreiche ich den Support?</h2>
<p>Im Lumikarta Support und Update Tool auf „Support“ klicken, das Formular ausfüllen und „Senden“ wählen.
Die Systeminformationen werden der Anfrage automatisch beigefügt.</p>
<h2>Wie finde ich Updates?</h2>
<p>Im Tool auf „Updates“ klicken: die Liste zeigt die Updates für die installierten Produkte.</p>

<h1 lang="en">Frequently asked questions</h1>
<h2 lang="en">How do I reach support?</h2>
<p lang="en">In the Lumikarta Support and Update Tool, click “Support”, fill in the form and choose “Send”.
The system information is attached to the request automatically.</p>
<h2 lang="en">How do I find updates?</h2>
<p lang="en">Click “Updates” in the tool: the list shows the updates for the installed products.</p>
</body>
</html>
)";
    return page;
}
