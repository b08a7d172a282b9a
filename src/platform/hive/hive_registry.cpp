#include "platform/hive/hive_registry.h"

#include "platform/debug_trace.h"
#include "platform/hive/hive_registry_key.h"
#include "platform/hive/hive_registry_view.h"
#include "platform/hive/registry_text_parser.h"
#include "platform/hive/registry_text_writer.h"
#include "platform/replacing_file.h"
#include "platform/text_buffer.h"

namespace platform {

namespace {

// Loads the hive; true when the file is one this program may write back in its place: none yet, an
// empty one, or a regedit file with nothing but keys of this root, every line of it understood. A
// Wine hive (Wine reads only its own form), a file of another kind, one with comments or lines this
// program cannot read, or one that cannot be read at all is never overwritten.
bool LoadHive(const std::filesystem::path& file, RegRoot root, HiveTree& hive) {
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

}  // namespace

HiveRegistry::HiveRegistry(const std::filesystem::path& machineFile, std::filesystem::path userFile)
    : m_userFile(std::move(userFile)) {
    LoadHive(machineFile, RegRoot::LocalMachine, m_machine);
    m_bUserFileWritable = LoadHive(m_userFile, RegRoot::CurrentUser, m_user);
}

HiveRegistry::~HiveRegistry() = default;

RegResult HiveRegistry::OpenKey(RegRoot root, std::string_view path, RegAccess access,
                                std::unique_ptr<RegistryKey>& key) {
    const HiveTree& hive = root == RegRoot::CurrentUser ? m_user : m_machine;
    const bool mapped = root == RegRoot::LocalMachine && hive.IsWin64();
    return OpenFound(root, mapped ? hive.FindKey(PathIn32BitView(path)) : hive.FindKey(path), access, key);
}

RegResult HiveRegistry::OpenSubkey(RegRoot root, const RegistryKey& parent, std::string_view path,
                                   std::string_view name, RegAccess access,
                                   std::unique_ptr<RegistryKey>& key) {
    const HiveTree& hive = root == RegRoot::CurrentUser ? m_user : m_machine;
    const auto* open = dynamic_cast<const HiveRegistryKey*>(&parent);
    // The 32-bit view maps full paths: where it sends a child elsewhere than below its parent's
    // place (a key both views share, Wow6432Node itself), only the full path finds it.
    const bool mapped = root == RegRoot::LocalMachine && hive.IsWin64();
    const bool belowParent = open != nullptr && open->IsIn(hive) && path.size() > name.size() &&
                             (!mapped || !LeavesParentInView(path));
    if (!belowParent) {
        return OpenKey(root, path, access, key);
    }
    return OpenFound(root, hive.FindKey(name, open->Id()), access, key);
}

RegResult HiveRegistry::OpenFound(RegRoot root, HiveTree::KeyId id, RegAccess access,
                                  std::unique_ptr<RegistryKey>& key) {
    key.reset();
    const bool machine = root != RegRoot::CurrentUser;
    if (machine && access != RegAccess::Read) {
        return RegResult::AccessDenied;
    }
    if (id == HiveTree::kNoKey) {
        return RegResult::FileNotFound;
    }
    key = std::make_unique<HiveRegistryKey>(machine ? m_machine : m_user, id, this,
                                            !machine && access == RegAccess::ReadWrite);
    return RegResult::Success;
}

RegResult HiveRegistry::CreateKey(RegRoot root, std::string_view path, std::unique_ptr<RegistryKey>& key) {
    key.reset();
    if (root != RegRoot::CurrentUser) {
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
    // The folder is made with the first save; what keeps it from being made, the write tells.
    std::error_code ignored;
    std::filesystem::create_directories(m_userFile.parent_path(), ignored);
    const std::string text = WriteRegistryText(m_user, "HKEY_CURRENT_USER");
    ReplacingFile file(m_userFile);
    if (!file.Create() || !file.Write(text.data(), text.size()) || !file.Commit()) {
        DebugTrace("registry: " + file.Error());
        return false;
    }
    return true;
}

}  // namespace platform
