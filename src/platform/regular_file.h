#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// The bytes of a file in a folder that others may write: only a regular file of at most maxBytes
// is read, judged by what was opened rather than by the name, so a FIFO, a device or a link to one
// put there in the file's place can neither block the reader nor feed it without end. None for
// anything else, as for a missing file.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes);

// Reads up to the end of an opened file whose size was seen as sizeSeen. The file may change
// meanwhile, so the end counts, not the size; none when it holds more than maxBytes. readSome
// reads into the buffer given and tells how many bytes it got (0 at the end), none on an error.
std::optional<std::string> ReadToEnd(
    std::size_t sizeSeen, std::size_t maxBytes,
    const std::function<std::optional<std::size_t>(char*, std::size_t)>& readSome);

}  // namespace platform
