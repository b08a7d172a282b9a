#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/replacing_file.h"

namespace platform {
namespace {

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

ReplacingFile::Creation ReplacingFile::CreateExclusive() {
    // O_EXCL: never a file or link that someone else put there. A file that is replaced keeps its
    // permissions, as it did when it was overwritten in place, and is not open to others before it
    // has them; a new one gets its mode from the umask, as if the target were written directly.
    struct stat existing {};
    const bool replaces = ::stat(m_target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    const int fd =
        ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replaces ? 0600 : 0666);
    if (fd < 0) {
        m_reason = std::strerror(errno);
        return errno == EEXIST ? Creation::NameTaken : Creation::Failed;
    }
    if (replaces) {
        (void)::fchmod(fd, existing.st_mode & 0777);
    }
    m_handle = fd;
    return Creation::Created;
}

bool ReplacingFile::WriteNative(const char* data, std::size_t size) {
    while (size != 0) {
        const ssize_t written = ::write(Descriptor(m_handle), data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            m_reason = std::strerror(written < 0 ? errno : ENOSPC);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReplacingFile::Close(bool durable) {
    const bool synced = !durable || ::fsync(Descriptor(m_handle)) == 0;
    const int syncError = errno;
    const bool closed = ::close(Descriptor(m_handle)) == 0;
    m_handle = kNoHandle;
    if (!synced || !closed) {
        m_reason = std::strerror(synced ? errno : syncError);
        return false;
    }
    return true;
}

void ReplacingFile::CloseQuietly() {
    if (m_handle != kNoHandle) {
        ::close(Descriptor(m_handle));
        m_handle = kNoHandle;
    }
}

bool ReplacingFile::MoveOverTarget() {
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        m_reason = std::strerror(errno);
        return false;
    }
    // The rename itself survives a crash only once the folder is on disk too. The file is in place
    // either way, so a folder that cannot be synced is no failure.
    const std::filesystem::path folder = m_target.parent_path().empty() ? "." : m_target.parent_path();
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        (void)::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

}  // namespace platform
