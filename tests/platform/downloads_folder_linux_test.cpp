#include "platform/downloads_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"

namespace {

// The save question starts here; a folder that is not there, or one named relative to wherever the
// program was started, would leave the user in the current folder.
TEST(DownloadsFolderLinux, IsTheUsersDownloadFolderElseDownloadsElseHome) {
    const struct {
        // The line of user-dirs.dirs; none: no such file.
        std::optional<std::string> setting;
        // XDG_DOWNLOAD_DIR, below the home folder.
        std::optional<std::string> variable;
        // Made below the home folder.
        std::vector<std::string> folders;
        // Below the home folder; empty: the home folder itself.
        std::string expected;
    } cases[] = {
        {R"(XDG_DOWNLOAD_DIR="$HOME/Heruntergeladen")",
         "Variable",
         {"Heruntergeladen", "Variable"},
         "Heruntergeladen"},
        {R"(XDG_DOWNLOAD_DIR="$HOME/Mein \"Ordner\" \$x")",
         std::nullopt,
         {R"(Mein "Ordner" $x)"},
         R"(Mein "Ordner" $x)"},
        {std::nullopt, "Variable", {"Variable", "Downloads"}, "Variable"},
        {R"(XDG_DOWNLOAD_DIR="$HOME/Fehlt")", std::nullopt, {"Downloads"}, "Downloads"},
        {R"(XDG_DOWNLOAD_DIR=".")", std::nullopt, {}, ""},
        {std::nullopt, std::nullopt, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting.value_or("no user-dirs.dirs"));
        const TempDir home;
        const ScopedEnv homeVariable("HOME", home.Path().string());
        const ScopedEnv configVariable("XDG_CONFIG_HOME", std::nullopt);
        const ScopedEnv downloadVariable(
            "XDG_DOWNLOAD_DIR",
            c.variable ? std::optional((home.Path() / *c.variable).string()) : std::nullopt);
        std::filesystem::create_directory(home.Path() / ".config");
        if (c.setting) {
            home.WriteFile(".config/user-dirs.dirs",
                           "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n" + *c.setting + "\n");
        }
        for (const std::string& folder : c.folders) {
            std::filesystem::create_directory(home.Path() / folder);
        }
        EXPECT_EQ(platform::DownloadsFolder(),
                  c.expected.empty() ? home.Path().string() : (home.Path() / c.expected).string());
    }
}

}  // namespace
