#include "sysinfo/system_files.h"

#include <algorithm>
#include <cstdlib>

#include "platform/text_buffer.h"

namespace sysfiles {

namespace {

std::string_view SystemRoot() {
    const char* root = std::getenv("LUMIKARTA_SYSROOT");
    return root ? std::string_view(root) : std::string_view();
}

}  // namespace

bool HasSystemRoot() {
    const std::string_view root = SystemRoot();
    return !root.empty() && root != "/";
}

std::filesystem::path SystemPath(std::string_view absolutePath) {
    if (!HasSystemRoot()) {
        return std::filesystem::path(absolutePath);
    }
    std::string path(SystemRoot());
    path += absolutePath;
    return path;
}

std::optional<std::string> ReadSystemFile(std::string_view absolutePath) {
    platform::TextBuffer buffer;
    if (!platform::TextBuffer::FromFile(SystemPath(absolutePath), buffer)) {
        return std::nullopt;
    }
    return std::string(buffer.View());
}

std::string ReadSystemLine(std::string_view absolutePath) {
    std::string text = ReadSystemFile(absolutePath).value_or(std::string());
    text.resize(std::min(text.find('\n'), text.size()));
    return text;
}

}  // namespace sysfiles
