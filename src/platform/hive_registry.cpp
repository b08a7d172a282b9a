#include "platform/hive_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>

#include "platform/debug_trace.h"
#include "platform/hive_registry_key.h"
#include "platform/hive_registry_view.h"
#include "platform/registry_text_parser.h"
#include "platform/registry_text_writer.h"
#include "platform/text_buffer.h"

namespace platform {

namespace {

// Loads the hive; true when the file is one this program may write back in its place: none yet, an
// empty one, or a regedit file with nothing but keys of this root, every line of it understood. A
// Wine hive (Wine reads only its own form), a file of another kind, one with comments or lines this
// program cannot read, or one that cannot be read at all is never overwritten.
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
    if (root == RegRoot::CurrentUser) {
        // Only the user's hive is ever written back; it is small, so all its lines are read now.
        hive.ParseAllValues();
    }
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

// The file a link leads to, through any chain of links; empty for a chain that does not end.
std::filesystem::path FinalTarget(std::filesystem::path file) {
    std::error_code error;
    file = std::filesystem::absolute(file, error);
    for (int hops = 0; hops < 40; ++hops) {
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, error))) {
            return file;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(file, error);
        if (error) {
            return {};
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return {};
}

// The temporary file a save writes before it takes the target's place: recognisable by its name,
// which also tells the process that wrote it.
constexpr std::string_view kSavingMark = ".saving-";

std::filesystem::path SavingFile(const std::filesystem::path& target) {
    return target.parent_path() /
           (target.filename().string() + std::string(kSavingMark) + std::to_string(::getpid()));
}

// Removes the temporary files that saves of `target` left behind when their process ended before the
// rename. A process that is still running may be saving right now; its file stays.
void RemoveLeftovers(const std::filesystem::path& target) {
    const std::string start = target.filename().string() + std::string(kSavingMark);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(start) || name.size() == start.size() ||
            name.find_first_not_of("0123456789", start.size()) != std::string::npos) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + start.size(), nullptr, 10);
        // This process saves one file at a time, so a file of its own number is an earlier one's.
        if (pid == ::getpid() || pid <= 0 || pid > INT32_MAX ||
            (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) {
            ::unlink(entry.path().c_str());
        }
    }
}

// Writes `text` to a file that takes the place of `target` only once it is complete and on disk, with
// the mode the target had (a new file gets the mode the umask gives).
bool ReplaceFile(const std::filesystem::path& target, const std::string& text) {
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    const std::filesystem::path temp = SavingFile(target);
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, exists ? 0600 : 0666);
    if (fd < 0) {
        return false;
    }
    const bool written =
        (!exists || ::fchmod(fd, existing.st_mode & 07777) == 0) && WriteAll(fd, text) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename lives in the folder; without this a crash may bring the old file back.
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0 || ::fsync(folder) != 0) {
        DebugTrace("registry: the folder of " + target.string() + " could not be synced");
    }
    if (folder >= 0) {
        ::close(folder);
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

RegResult HiveRegistry::OpenKey(RegRoot root, std::string_view path, RegAccess access,
                                std::unique_ptr<RegistryKey>& key) {
    const bool machine = root == RegRoot::LocalMachine;
    const RegistryHive& hive = machine ? m_machine : m_user;
    const bool mapped = machine && hive.IsWin64();
    return OpenFound(root, mapped ? hive.FindKey(PathIn32BitView(path)) : hive.FindKey(path), access, key);
}

RegResult HiveRegistry::OpenSubkey(RegRoot root, const RegistryKey& parent, std::string_view path,
                                   std::string_view name, RegAccess access,
                                   std::unique_ptr<RegistryKey>& key) {
    const bool machine = root == RegRoot::LocalMachine;
    const RegistryHive& hive = machine ? m_machine : m_user;
    const auto* open = dynamic_cast<const HiveRegistryKey*>(&parent);
    // The 32-bit view maps full paths: where it sends a child elsewhere than below its parent's
    // place (a key both views share, Wow6432Node itself), only the full path finds it.
    const bool belowParent = open != nullptr && open->IsIn(hive) && path.size() > name.size() &&
                             (!machine || !hive.IsWin64() || !LeavesParentInView(path));
    if (!belowParent) {
        return OpenKey(root, path, access, key);
    }
    return OpenFound(root, hive.FindKey(name, open->Id()), access, key);
}

RegResult HiveRegistry::OpenFound(RegRoot root, RegistryHive::KeyId id, RegAccess access,
                                  std::unique_ptr<RegistryKey>& key) {
    key.reset();
    const bool machine = root == RegRoot::LocalMachine;
    if (machine && access != RegAccess::Read) {
        return RegResult::AccessDenied;
    }
    if (id == RegistryHive::kNoKey) {
        return RegResult::FileNotFound;
    }
    key = std::make_unique<HiveRegistryKey>(machine ? m_machine : m_user, id, this,
                                            !machine && access == RegAccess::ReadWrite);
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
    // A link stays a link: the file it leads to is replaced, beside itself.
    const std::filesystem::path target = FinalTarget(m_userFile);
    std::error_code error;
    if (!target.empty()) {
        std::filesystem::create_directories(target.parent_path(), error);
    }
    if (target.empty() || error) {
        DebugTrace("registry: no place to write " + m_userFile.string());
        return false;
    }
    RemoveLeftovers(target);
    if (!ReplaceFile(target, WriteRegistryText(m_user, "HKEY_CURRENT_USER"))) {
        DebugTrace("registry: cannot write " + target.string());
        return false;
    }
    return true;
}

}  // namespace platform
