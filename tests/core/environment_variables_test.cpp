#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/command_line.h"
#include "core/environment_variables.h"

namespace {

// The rows "| `NAME` | meaning |" of the README's section "Environment".
std::vector<std::pair<std::string, std::string>> ReadmeRows() {
    std::ifstream readme(LUMIKARTA_README);
    std::vector<std::pair<std::string, std::string>> rows;
    bool inSection = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.starts_with("## ")) {
            inSection = line == "## Environment";
        } else if (inSection && line.starts_with("| `")) {
            const std::size_t nameEnd = line.find("` | ", 3);
            const std::size_t meaningEnd = line.rfind(" |");
            if (nameEnd == std::string::npos || meaningEnd <= nameEnd + 4) {
                rows.emplace_back(line, "");
                continue;
            }
            rows.emplace_back(line.substr(3, nameEnd - 3),
                              line.substr(nameEnd + 4, meaningEnd - nameEnd - 4));
        }
    }
    return rows;
}

// What --help prints and what the README says are the same list, so neither lags behind.
TEST(EnvironmentVariables, HelpAndReadmeNameEveryVariableAlike) {
    std::vector<std::pair<std::string, std::string>> listed;
    const std::string usage = UsageText();
    for (const EnvironmentVariable& variable : EnvironmentVariables()) {
        listed.emplace_back(variable.name, variable.meaning);
        EXPECT_NE(usage.find(std::string("\n  ") + variable.name + "\n"), std::string::npos) << variable.name;
    }
    EXPECT_EQ(ReadmeRows(), listed);
}

}  // namespace
