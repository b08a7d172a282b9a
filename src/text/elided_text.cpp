#include "text/elided_text.h"

#include <optional>
#include <vector>

#include "text/utf8.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The longest of the text's starts ending at one of the cuts (in rising order) that fits with the
// ellipsis after it; none when not even the shortest does.
std::optional<std::string> LongestFitting(std::string_view text, const std::vector<std::size_t>& cuts,
                                          const std::function<bool(std::string_view)>& fits) {
    std::optional<std::string> longest;
    std::size_t low = 0;
    std::size_t high = cuts.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        std::string candidate = std::string(text.substr(0, cuts[middle])) + std::string(kEllipsis);
        if (fits(candidate)) {
            longest = std::move(candidate);
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return longest;
}

}  // namespace

std::string ElideAfterWord(std::string_view text, const std::function<bool(std::string_view)>& fits) {
    if (fits(text)) {
        return std::string(text);
    }
    std::vector<std::size_t> wordEnds;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (!IsSpace(text[i - 1]) && IsSpace(text[i])) {
            wordEnds.push_back(i);
        }
    }
    if (std::optional<std::string> cut = LongestFitting(text, wordEnds, fits)) {
        return *cut;
    }
    const std::size_t firstWordEnd = wordEnds.empty() ? text.size() : wordEnds.front();
    std::vector<std::size_t> characterEnds;
    for (std::size_t i = 1; i < firstWordEnd; ++i) {
        if (!IsUtf8Continuation(text[i])) {
            characterEnds.push_back(i);
        }
    }
    return LongestFitting(text, characterEnds, fits).value_or(std::string(kEllipsis));
}
