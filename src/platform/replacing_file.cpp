#include "platform/replacing_file.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>

#include "platform/process_id.h"

namespace platform {
namespace {

constexpr std::size_t kRandomDigits = 16;
constexpr std::string_view kTemporaryEnd = ".part";

// The process id tells whether the file may still be written; the random part is unlikely to be
// taken, and not to be guessed by another user of a shared folder, who could otherwise put a file
// of that name there first.
std::string TemporarySuffix() {
    std::random_device random;
    char text[40];
    std::snprintf(text, sizeof text, ".%" PRIu32 "-%08x%08x", CurrentProcessId(), random(), random());
    return text + std::string(kTemporaryEnd);
}

// The process that wrote a temporary file of `target` by this name; none for any other name.
std::optional<std::uint32_t> WriterOf(const std::filesystem::path& name,
                                      const std::filesystem::path& target) {
    const std::filesystem::path::string_type& text = name.native();
    const std::filesystem::path::string_type start =
        target.filename().native() + std::filesystem::path::value_type('.');
    if (!text.starts_with(start)) {
        return std::nullopt;
    }
    std::string suffix;
    for (const auto c : text.substr(start.size())) {
        if (static_cast<std::uint32_t>(c) > 0x7f) {
            return std::nullopt;
        }
        suffix += static_cast<char>(c);
    }
    std::uint32_t id = 0;
    const auto [idEnd, error] = std::from_chars(suffix.data(), suffix.data() + suffix.size(), id);
    const std::string_view rest(idEnd, suffix.data() + suffix.size());
    if (error != std::errc() || rest.size() != 1 + kRandomDigits + kTemporaryEnd.size() || rest[0] != '-' ||
        rest.find_first_not_of("0123456789abcdef", 1) != 1 + kRandomDigits ||
        !rest.ends_with(kTemporaryEnd)) {
        return std::nullopt;
    }
    return id;
}

// Removes the temporary files of `target` that were left when their process ended before it could
// remove them, as a crash does. A running process may be writing its file right now, this one's
// included; a file that cannot be removed, such as another user's, stays too.
void RemoveLeftovers(const std::filesystem::path& target) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(target.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::optional<std::uint32_t> writer = WriterOf(entry->path().filename(), target);
        if (writer && *writer != CurrentProcessId() && ProcessHasEnded(*writer)) {
            std::error_code ignored;
            std::filesystem::remove(entry->path(), ignored);
        }
    }
}

// The file a link leads to, through any chain of links, so the link stays; empty for a chain that
// does not end.
std::filesystem::path FinalTarget(std::filesystem::path file) {
    std::error_code error;
    file = std::filesystem::absolute(file, error);
    for (int hops = 0; !error && hops < 40; ++hops) {
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, error))) {
            return file;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(file, error);
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return {};
}

constexpr int kCreateAttempts = 8;

}  // namespace

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : m_target(target) {}

ReplacingFile::~ReplacingFile() {
    Discard();
}

bool ReplacingFile::Create() {
    Discard();
    const std::filesystem::path target = FinalTarget(m_target);
    if (target.empty()) {
        m_reason = std::make_error_code(std::errc::too_many_symbolic_link_levels).message();
        Fail("Cannot write");
        return false;
    }
    m_target = target;
    RemoveLeftovers(m_target);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        m_temporary = m_target;
        m_temporary += TemporarySuffix();
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
