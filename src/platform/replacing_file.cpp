#include "platform/replacing_file.h"

#include <cstdio>
#include <random>
#include <system_error>

namespace platform {
namespace {

// Unlikely to be taken, and not to be guessed by another user of a shared folder, who could
// otherwise put a file of that name there first.
std::string RandomSuffix() {
    std::random_device random;
    char text[20];
    std::snprintf(text, sizeof text, ".%08x%08x", random(), random());
    return text;
}

constexpr int kCreateAttempts = 8;

}  // namespace

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : m_target(target) {
    std::error_code error;
    if (std::filesystem::is_symlink(m_target, error)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(m_target, error);
        if (!error) {
            m_target = resolved;
        }
    }
}

ReplacingFile::~ReplacingFile() {
    Discard();
}

bool ReplacingFile::Create() {
    Discard();
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        m_temporary = m_target;
        m_temporary += RandomSuffix() + ".part";
        const Creation creation = CreateExclusive();
        if (creation == Creation::Created) {
            return true;
        }
        if (creation == Creation::Failed) {
            break;
        }
    }
    m_temporary.clear();
    Fail("Cannot write");
    return false;
}

bool ReplacingFile::Write(const char* data, std::size_t size) {
    if (m_handle == kNoHandle) {
        return false;
    }
    if (!WriteNative(data, size)) {
        Fail("Cannot write");
        return false;
    }
    return true;
}

bool ReplacingFile::Commit() {
    if (m_handle == kNoHandle) {
        return false;
    }
    // A file that replaces another must be on disk before the rename, or a crash could leave the
    // name on an empty file and lose both. A new name has nothing to lose, and a download of
    // hundreds of megabytes is not held up for the disk.
    std::error_code error;
    if (!Close(std::filesystem::exists(m_target, error))) {
        Fail("Cannot write");
        Discard();
        return false;
    }
    if (!MoveOverTarget()) {
        Fail("Cannot replace");
        Discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void ReplacingFile::Discard() {
    CloseQuietly();
    if (!m_temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
        m_temporary.clear();
    }
}

void ReplacingFile::Fail(const char* action) {
    const std::u8string target = m_target.u8string();
    m_error = std::string(action) + " " + std::string(target.begin(), target.end()) +
              (m_reason.empty() ? "" : ": " + m_reason);
}

}  // namespace platform
