#pragma once

#include <filesystem>
#include <string>

// The FAQ page that the program's "FAQ" link opens. It comes from faq.html in the site folder when
// there is one there, else the service's own short page. Only that one file is ever read, so no
// request can reach any other file of the machine.
class FaqPage {
public:
    static constexpr const char* kPath = "/service/faq.html";

    // `siteFolder` may be empty: then the built-in page is served.
    explicit FaqPage(std::filesystem::path siteFolder);

    // The page as it is now; the file is read anew each time, so edits show without a restart.
    std::string Html() const;

    static const std::string& BuiltIn();

private:
    std::filesystem::path m_file;
};
