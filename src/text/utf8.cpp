#include "text/utf8.h"

std::string CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return std::string(text);
    }
    std::size_t end = maxBytes;
    // Step back to the start of the cut character.
    while (end > 0 && IsUtf8Continuation(text[end])) {
        --end;
    }
    return std::string(text.substr(0, end));
}

std::string CutUtf8Characters(std::string_view text, std::size_t maxCharacters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsUtf8Continuation(text[i]) && characters++ == maxCharacters) {
            return std::string(text.substr(0, i));
        }
    }
    return std::string(text);
}
