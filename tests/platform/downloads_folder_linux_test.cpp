#include "platform/downloads_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"

namespace {

struct DownloadsCase {
    const char* what;
    // The line of user-dirs.dirs; none: no such file. "{home}" stands for the home folder.
    std::optional<std::string> setting;
    std::optional<std::string> variable;
    // Made below the home folder.
    std::vector<std::string> folders;
    // Below the home folder; empty: the home folder itself.
    std::string expected;
};

std::string WithHome(std::string text, const std::string& home) {
    for (std::size_t at = text.find("{home}"); at != std::string::npos; at = text.find("{home}")) {
        text.replace(at, 6, home);
    }
    return text;
}

// The save question starts here; a folder that is not there, or one named relative to wherever the
// program was started, would leave the user in the current folder.
TEST(DownloadsFolderLinux, IsTheUsersDownloadFolderElseDownloadsElseHome) {
    const std::vector<DownloadsCase> cases = {
        {"named below home",
         R"(XDG_DOWNLOAD_DIR="$HOME/Heruntergeladen")",
         std::nullopt,
         {"Heruntergeladen", "Downloads"},
         "Heruntergeladen"},
        {"named absolute, escaped",
         R"(XDG_DOWNLOAD_DIR="{home}/Mein \"Ordner\" \$x")",
         std::nullopt,
         {R"(Mein "Ordner" $x)"},
         R"(Mein "Ordner" $x)"},
        {"the file before the variable",
         R"(XDG_DOWNLOAD_DIR="$HOME/Laden")",
         "{home}/Variable",
         {"Laden", "Variable"},
         "Laden"},
        {"the variable without the file",
         std::nullopt,
         "{home}/Variable",
         {"Variable", "Downloads"},
         "Variable"},
        {"named but missing", R"(XDG_DOWNLOAD_DIR="$HOME/Fehlt")", std::nullopt, {"Downloads"}, "Downloads"},
        {"named relative", R"(XDG_DOWNLOAD_DIR=".")", std::nullopt, {}, ""},
        {"nothing there", std::nullopt, std::nullopt, {}, ""},
    };
    for (const DownloadsCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TempDir home;
        const std::string homePath = home.Path().string();
        const ScopedEnv homeVariable("HOME", homePath);
        const ScopedEnv configVariable("XDG_CONFIG_HOME", std::nullopt);
        std::optional<std::string> variable;
        if (c.variable) {
            variable = WithHome(*c.variable, homePath);
        }
        const ScopedEnv downloadVariable("XDG_DOWNLOAD_DIR", variable);
        std::filesystem::create_directory(home.Path() / ".config");
        if (c.setting) {
            home.WriteFile(".config/user-dirs.dirs",
                           "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n" +
                               WithHome(*c.setting, homePath) + "\n");
        }
        for (const std::string& folder : c.folders) {
            std::filesystem::create_directory(home.Path() / folder);
        }
        EXPECT_EQ(platform::DownloadsFolder(),
                  c.expected.empty() ? homePath : (home.Path() / c.expected).string());
    }
}

}  // namespace
