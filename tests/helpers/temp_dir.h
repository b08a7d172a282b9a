#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A new, empty folder under the system's temporary folder, removed with everything in it when the
// object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path of `name` inside the folder, as the program's UTF-8 file names are.
    std::string FilePath(std::string_view name) const;
    // Writes `bytes` exactly into the file `name` and returns its path.
    std::string WriteFile(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
};

// The bytes of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);
