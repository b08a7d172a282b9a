#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/downloads_folder.h"
#include "platform/user_folders_linux.h"
#include "text/trim.h"

namespace platform {

namespace {

constexpr std::string_view kAssignment = "XDG_DOWNLOAD_DIR=";

// "$HOME" at the start of a value stands for the home folder: the one variable the file's format has.
bool StartsWithHome(std::string_view rest) {
    return rest.starts_with("$HOME") && (rest.size() == 5 || rest[5] == '/' || rest[5] == '"');
}

// A value of user-dirs.dirs as the shell that reads the file takes it: "$HOME/..." or an absolute
// path, in double quotes, in which a backslash keeps $, `, " and \ literal.
std::string ShellValue(std::string_view value, const std::filesystem::path& home) {
    std::string word;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' &&
                   (!quoted || std::string_view("$`\"\\").find(next) != std::string_view::npos)) {
            word += next;
            ++i;
        } else if (word.empty() && StartsWithHome(value.substr(i))) {
            word = home.string();
            i += 4;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '#')) {
            break;
        } else {
            word += c;
        }
    }
    return word;
}

// What `xdg-user-dir DOWNLOAD` names: the file's setting (its last), else the variable's.
std::filesystem::path ConfiguredDownloadFolder(const std::filesystem::path& home) {
    std::ifstream file(UserConfigFolder() / "user-dirs.dirs");
    std::filesystem::path folder;
    for (std::string line; std::getline(file, line);) {
        const std::string_view setting = TrimWhiteSpace(line);
        if (setting.starts_with(kAssignment)) {
            folder = ShellValue(setting.substr(kAssignment.size()), home);
        }
    }
    return folder.empty() ? PathFromEnvironment("XDG_DOWNLOAD_DIR") : folder;
}

}  // namespace

// A folder named relative, or one that does not exist, is passed over: the save question would start
// in the current folder instead.
std::string DownloadsFolder() {
    const std::filesystem::path home = HomeFolder();
    for (const std::filesystem::path& folder : {ConfiguredDownloadFolder(home), home / "Downloads"}) {
        std::error_code error;
        if (folder.is_absolute() && std::filesystem::is_directory(folder, error)) {
            return folder.string();
        }
    }
    return home.string();
}

}  // namespace platform
