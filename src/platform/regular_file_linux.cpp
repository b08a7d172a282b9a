#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_descriptor_linux.h"
#include "platform/regular_file.h"

namespace platform {

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat facts = {};
    if (file.Get() < 0 || fstat(file.Get(), &facts) != 0 || !S_ISREG(facts.st_mode) || facts.st_size < 0 ||
        static_cast<unsigned long long>(facts.st_size) > maxBytes) {
        return std::nullopt;
    }
    return ReadToEnd(static_cast<std::size_t>(facts.st_size), maxBytes,
                     [&](char* into, std::size_t room) -> std::optional<std::size_t> {
                         for (;;) {
                             const ssize_t n = read(file.Get(), into, room);
                             if (n >= 0) {
                                 return static_cast<std::size_t>(n);
                             }
                             if (errno != EINTR) {
                                 return std::nullopt;
                             }
                         }
                     });
}

}  // namespace platform
