#include "platform/registry_name.h"

#include <algorithm>

#include "text/text_encoding.h"
#include "text/utf8.h"

namespace platform {

namespace {

// Folds byte i of a UTF-8 text: ASCII capitals, and the second byte of U+00C0..U+00DE (without the
// multiplication sign), which sits 0x20 below its small letter like in Latin-1.
inline unsigned char Fold(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 'A' && c <= 'Z') {
        return static_cast<unsigned char>(c + 0x20);
    }
    if (c >= 0x80 && c <= 0x9E && c != 0x97 && i > 0 && static_cast<unsigned char>(text[i - 1]) == 0xC3) {
        return static_cast<unsigned char>(c + 0x20);
    }
    return c;
}

char16_t Lower(char16_t unit) {
    const bool capital = (unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7) ||
                         (unit >= 0x391 && unit <= 0x3AB && unit != 0x3A2) ||
                         (unit >= 0x410 && unit <= 0x42F);
    if (capital) {
        return static_cast<char16_t>(unit + 0x20);
    }
    return unit >= 0x400 && unit <= 0x40F ? static_cast<char16_t>(unit + 0x50) : unit;
}

std::u16string SortKey(std::string_view name) {
    std::u16string key = Utf8ToUtf16(name);
    for (char16_t& unit : key) {
        unit = Lower(unit);
    }
    return key;
}

}  // namespace

bool RegNameEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    if (a == b) {
        return true;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && Fold(a, i) != Fold(b, i)) {
            return false;
        }
    }
    return true;
}

uint64_t RegNameHash(std::string_view name, uint64_t seed) {
    // FNV-1a over the folded bytes.
    uint64_t hash = 1469598103934665603ULL ^ (seed * 0x9E3779B97F4A7C15ULL);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        // ASCII, nearly every byte of a name, folds without looking back.
        const unsigned char folded =
            c < 0x80 ? static_cast<unsigned char>(c | (static_cast<unsigned>(c - 'A') < 26 ? 0x20 : 0))
                     : Fold(name, i);
        hash = (hash ^ folded) * 1099511628211ULL;
    }
    // FNV's low bits depend only on the inputs' low bits; hash tables use the low bits, so mix.
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDULL;
    hash ^= hash >> 33;
    return hash;
}

bool RegNameSortsBefore(std::string_view a, std::string_view b) {
    // ASCII orders alike as UTF-8 and as UTF-16, so names are compared in place up to the first
    // character beyond it; a hive's names are nearly all ASCII, and sorting a key of many subkeys
    // then costs no conversions.
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca == cb) {
            continue;
        }
        if (ca >= 0x80 || cb >= 0x80) {
            // From the start of the character where they differ; the bytes before it are equal.
            while (i > 0 && IsUtf8Continuation(a[i])) {
                --i;
            }
            return SortKey(a.substr(i)) < SortKey(b.substr(i));
        }
        const auto la = ca >= 'A' && ca <= 'Z' ? ca + 0x20 : ca;
        const auto lb = cb >= 'A' && cb <= 'Z' ? cb + 0x20 : cb;
        if (la != lb) {
            return la < lb;
        }
    }
    return a.size() < b.size();
}

}  // namespace platform
