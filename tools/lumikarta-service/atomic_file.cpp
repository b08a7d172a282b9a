#include "lumikarta-service/atomic_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Closes the descriptor and removes the temporary file unless it was published.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& folder)
        : m_path((folder / ".incoming-XXXXXX").string()) {
        m_fd = mkstemp(m_path.data());
    }
    ~TemporaryFile() {
        if (m_fd >= 0) {
            close(m_fd);
        }
        if (!m_published && m_fd >= 0) {
            unlink(m_path.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int Fd() const { return m_fd; }
    const std::string& Path() const { return m_path; }
    void Published() { m_published = true; }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_published = false;
};

std::error_code WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// Gives the temporary file its final name without ever replacing a file of that name, so two
// processes that share a data folder cannot overwrite each other's requests.
std::error_code PublishWithoutReplacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return LastError();
    }
    // The file system cannot rename without replacing; a hard link fails the same way on a taken
    // name, and the temporary name is then dropped.
    if (link(from.c_str(), to.c_str()) != 0) {
        return LastError();
    }
    unlink(from.c_str());
    return {};
}

// The rename itself lives in the folder; without this a power cut may forget it.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

std::error_code AtomicFile::Write(const std::filesystem::path& target, std::string_view bytes,
                                  Existing existing, std::filesystem::perms mode) {
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    TemporaryFile temporary(folder);
    if (temporary.Fd() < 0) {
        return LastError();
    }
    // mkstemp makes the file 0600, which suits keys and requests; certificates are public.
    if (fchmod(temporary.Fd(), static_cast<mode_t>(mode)) != 0) {
        return LastError();
    }
    if (const std::error_code error = WriteAll(temporary.Fd(), bytes)) {
        return error;
    }
    if (fsync(temporary.Fd()) != 0) {
        return LastError();
    }
    if (existing == Existing::Replace) {
        if (rename(temporary.Path().c_str(), target.c_str()) != 0) {
            return LastError();
        }
    } else if (const std::error_code error = PublishWithoutReplacing(temporary.Path(), target.string())) {
        return error;
    }
    temporary.Published();
    SyncFolder(folder);
    return {};
}
