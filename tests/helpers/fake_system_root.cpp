#include "helpers/fake_system_root.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

FakeSystemRoot::FakeSystemRoot() : m_env("LUMIKARTA_SYSROOT", m_root.Path().string()) {}

std::string FakeSystemRoot::Path(std::string_view path) const {
    return m_root.Path().string() + std::string(path);
}

void FakeSystemRoot::WriteFile(std::string_view path, std::string_view bytes) const {
    const std::filesystem::path file = Path(path);
    std::filesystem::create_directories(file.parent_path());
    m_root.WriteFile(std::filesystem::relative(file, m_root.Path()).string(), bytes);
}

void FakeSystemRoot::Link(std::string_view path, std::string_view target) const {
    const std::filesystem::path link = Path(path);
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(std::string(target), link);
}

void FakeSystemRoot::SetModified(std::string_view path, std::time_t when) const {
    const timespec times[2] = {{when, 0}, {when, 0}};
    if (utimensat(AT_FDCWD, Path(path).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        throw std::runtime_error("cannot set the time of " + Path(path));
    }
}
