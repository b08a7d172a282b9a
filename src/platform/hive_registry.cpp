#include "platform/hive_registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/debug_trace.h"
#include "platform/hive_registry_key.h"
#include "platform/registry_name.h"
#include "platform/registry_text_parser.h"
#include "platform/registry_text_writer.h"
#include "platform/text_buffer.h"

namespace platform {

namespace {

// Loads the hive; true when the file is one this program may write back in its place: none yet, an
// empty one, or a regedit file with nothing but keys of this root. A Wine hive (Wine reads only its
// own form), a file of another kind or one that cannot be read is never overwritten.
bool LoadHive(const std::filesystem::path& file, RegRoot root, RegistryHive& hive) {
    std::error_code error;
    if (file.empty() || !std::filesystem::exists(file, error)) {
        return true;
    }
    TextBuffer bytes;
    if (!TextBuffer::FromFile(file, bytes)) {
        DebugTrace("registry: cannot read the hive " + file.string());
        return false;
    }
    if (bytes.View().empty()) {
        return true;
    }
    const RegistryTextFormat format = LoadRegistryText(std::move(bytes), root, hive);
    return (format == RegistryTextFormat::Regedit5 || format == RegistryTextFormat::Regedit4) &&
           !hive.IsPartial();
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

HiveRegistry::HiveRegistry(const std::filesystem::path& machineFile, std::filesystem::path userFile)
    : m_userFile(std::move(userFile)) {
    LoadHive(machineFile, RegRoot::LocalMachine, m_machine);
    m_bUserFileWritable = LoadHive(m_userFile, RegRoot::CurrentUser, m_user);
}

HiveRegistry::~HiveRegistry() = default;

std::string HiveRegistry::MachinePath(std::string_view path) const {
    // A 32-bit program on 64-bit Windows sees SOFTWARE redirected to SOFTWARE\Wow6432Node.
    std::string mapped(path);
    if (!m_machine.IsWin64()) {
        return mapped;
    }
    const std::size_t cut = path.find('\\');
    if (!RegNameEquals(path.substr(0, cut), "Software")) {
        return mapped;
    }
    const std::string_view rest = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
    if (RegNameEquals(rest.substr(0, rest.find('\\')), "Wow6432Node")) {
        return mapped;
    }
    mapped = std::string(path.substr(0, cut)) + "\\Wow6432Node";
    if (!rest.empty()) {
        mapped += '\\';
        mapped += rest;
    }
    return mapped;
}

RegResult HiveRegistry::OpenKey(RegRoot root, std::string_view path, RegAccess access,
                                std::unique_ptr<RegistryKey>& key) {
    key.reset();
    const bool machine = root == RegRoot::LocalMachine;
    if (machine && access != RegAccess::Read) {
        return RegResult::AccessDenied;
    }
    RegistryHive& hive = machine ? m_machine : m_user;
    const RegistryHive::KeyId id = hive.FindKey(machine ? MachinePath(path) : std::string(path));
    if (id == RegistryHive::kNoKey) {
        return RegResult::FileNotFound;
    }
    key = std::make_unique<HiveRegistryKey>(hive, id, this, !machine && access == RegAccess::ReadWrite);
    return RegResult::Success;
}

RegResult HiveRegistry::CreateKey(RegRoot root, std::string_view path, std::unique_ptr<RegistryKey>& key) {
    key.reset();
    if (root == RegRoot::LocalMachine) {
        return RegResult::AccessDenied;
    }
    // The new keys reach the file with the first value written into them.
    key = std::make_unique<HiveRegistryKey>(m_user, m_user.CreateKey(path), this, true);
    return RegResult::Success;
}

bool HiveRegistry::SaveUserHive() const {
    if (m_userFile.empty()) {
        return true;
    }
    if (!m_bUserFileWritable) {
        DebugTrace("registry: " + m_userFile.string() +
                   " holds more than this program writes; left as it is");
        return false;
    }
    std::error_code error;
    const std::filesystem::path folder = m_userFile.parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
    }
    std::string temp = (folder / (m_userFile.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        DebugTrace("registry: cannot create a file beside " + m_userFile.string());
        return false;
    }
    const bool written = WriteAll(fd, WriteRegistryText(m_user, "HKEY_CURRENT_USER")) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), m_userFile.c_str()) != 0) {
        DebugTrace("registry: cannot write " + m_userFile.string());
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
