#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {

// A new content for a file, written under a temporary name beside it, that takes the file's place
// in one step once it is complete. Until then a file of that name stays as it was, whatever becomes
// of the writing; a content that is not committed is removed, and so are those that processes which
// have ended left of the same target. A target that is a symbolic link, or a chain of them, is
// written through: the links stay and the file they lead to gets the content.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::filesystem::path& target);
    // Discards what was not committed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file in the folder of the file the target leads to; false, with the
    // reason, when it cannot (also for links that lead round in a circle).
    bool Create();
    bool Write(const char* data, std::size_t size);
    // Puts the content on disk and renames it over the target; false, with the reason, when the
    // target could not be replaced (it then stays as it was and the temporary file is removed).
    bool Commit();
    // Closes and removes the temporary file; the target stays as it was.
    void Discard();

    // What failed, with the target and the system's reason, for a log.
    const std::string& Error() const { return m_error; }
    // The system's own words for the last failure, for a window that says the rest in its language;
    // empty when the system gave none.
    const std::string& SystemReason() const { return m_reason; }
    // Empty while there is none.
    const std::filesystem::path& TemporaryPath() const { return m_temporary; }

private:
    // A descriptor on Linux, a HANDLE on Windows; -1 is the invalid value of both.
    using NativeHandle = std::intptr_t;
    static constexpr NativeHandle kNoHandle = -1;
    enum class Creation { Created, NameTaken, Failed };

    // Per platform: each returns false (or Failed) with the system's reason in m_reason.
    Creation CreateExclusive();
    bool WriteNative(const char* data, std::size_t size);
    // `durable`: on disk before it returns.
    bool Close(bool durable);
    // For a file that is given up: no failure matters.
    void CloseQuietly();
    bool MoveOverTarget();

    void Fail(const char* action);

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    NativeHandle m_handle = kNoHandle;
    std::string m_reason;
    std::string m_error;
};

}  // namespace platform
