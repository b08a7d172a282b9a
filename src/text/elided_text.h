#pragma once

#include <functional>
#include <string>
#include <string_view>

// The mark that ends a text cut short: "…" in UTF-8.
inline constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// The text whole when `fits` holds for it. Otherwise its longest start that ends with a word, with
// the ellipsis after it, for which `fits` holds; where not even the first word does, the longest such
// start cut between two characters of it; the ellipsis alone when nothing fits. `fits` must hold for
// a start whenever it holds for a longer one, as the room of a label that wraps its lines does.
std::string ElideAfterWord(std::string_view text, const std::function<bool(std::string_view)>& fits);
