#include <string_view>

#include "platform/registry_name.h"
#include "registry/collect_leaf_paths.h"
#include "registry/reg_subkey_enum.h"
#include "registry/reg_value_enum.h"
#include "registry/registry_walker.h"
#include "sysinfo/system_info.h"
#include "text/trim.h"
#include "text/utf8.h"

namespace {

constexpr std::string_view kVersionKeyMark = "\\Skyrund\\";

// The byte offset where the last `count` characters of a UTF-8 text begin (0 for a shorter text).
std::size_t StartOfLastChars(std::string_view text, std::size_t count) {
    std::size_t start = text.size();
    while (count > 0 && start > 0) {
        --start;
        if (!IsUtf8Continuation(text[start])) {
            --count;
        }
    }
    return start;
}

// "300" becomes "3.0.0": the first three characters with points between them, the rest dropped;
// a shorter text stays as it is.
std::string FormatVersion(std::string_view stored) {
    std::vector<std::string_view> firstChars;
    for (std::size_t i = 0; i < stored.size() && firstChars.size() < 3;) {
        std::size_t next = i + 1;
        while (next < stored.size() && IsUtf8Continuation(stored[next])) {
            ++next;
        }
        firstChars.push_back(stored.substr(i, next - i));
        i = next;
    }
    if (firstChars.size() < 3) {
        return std::string(stored);
    }
    std::string version(firstChars[0]);
    return version.append(".").append(firstChars[1]).append(".").append(firstChars[2]);
}

std::string ReadVersion(CRegistryWalker& walker, const std::string& path) {
    if (!walker.Open(platform::RegRoot::LocalMachine, path)) {
        return {};
    }
    CRegValueEnum values(walker);
    for (values.Start(); !values.Done(); values.Next()) {
        if (platform::RegNameEquals(values.Name(), "VERSION")) {
            return FormatVersion(values.DataText());
        }
    }
    return {};
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && platform::RegNameEquals(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           platform::RegNameEquals(text.substr(text.size() - suffix.size()), suffix);
}

// The map sets of the version key leafPaths[version]: the other leaf keys of the same product whose
// paths end in the same three characters, relative to the product key.
std::vector<std::string> MapSetsOf(std::size_t version, const std::vector<std::string>& leafPaths) {
    const std::string_view path = leafPaths[version];
    const std::string_view prefix = path.substr(0, path.find(kVersionKeyMark));
    const std::string_view suffix = path.substr(StartOfLastChars(path, 3));
    // The backslash after the prefix keeps ProductA2's map sets away from ProductA.
    const auto belongs = [prefix](std::string_view candidate) {
        return candidate.size() > prefix.size() && candidate[prefix.size()] == '\\' &&
               StartsWithNoCase(candidate, prefix);
    };
    // The walk lists a key's leaves one after the other, so the product's are those around its
    // version key; looking no further keeps many products from taking quadratic time.
    std::size_t first = version;
    while (first > 0 && belongs(leafPaths[first - 1])) {
        --first;
    }
    std::vector<std::string> items;
    for (std::size_t i = first; i < leafPaths.size() && belongs(leafPaths[i]); ++i) {
        const std::string& candidate = leafPaths[i];
        if (EndsWithNoCase(candidate, suffix) && candidate.find(kVersionKeyMark) == std::string::npos) {
            items.push_back(candidate.substr(prefix.size() + 1));
        }
    }
    return items;
}

ProductInfo ProductOf(CRegistryWalker& walker, std::size_t version,
                      const std::vector<std::string>& leafPaths) {
    const std::string& path = leafPaths[version];
    ProductInfo product;
    product.m_strVersion = ReadVersion(walker, path);
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\\'), rest.size());
        const std::string_view name = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (platform::RegNameEquals(name, "SOFTWARE") || platform::RegNameEquals(name, "Lumikarta")) {
            continue;
        }
        if (platform::RegNameEquals(name, "Skyrund")) {
            product.m_Items = MapSetsOf(version, leafPaths);
            break;
        }
        product.m_strName.append(" ").append(name);
    }
    product.m_strName = std::string(TrimWhiteSpace(product.m_strName));
    return product;
}

}  // namespace

void CSystemInfo::DetectProducts() {
    m_Products.clear();
    std::vector<std::string> leafPaths;
    CRegistryWalker walker;
    if (walker.Open(platform::RegRoot::LocalMachine, "SOFTWARE\\Lumikarta")) {
        CRegSubkeyEnum products(walker);
        for (products.Start(); !products.Done(); products.Next()) {
            if (walker.Push(products.Name())) {
                CollectLeafPaths(walker, leafPaths);
                walker.Pop();
            }
        }
    }
    for (std::size_t i = 0; i < leafPaths.size(); ++i) {
        if (leafPaths[i].find(kVersionKeyMark) != std::string::npos) {
            m_Products.push_back(ProductOf(walker, i, leafPaths));
        }
    }
}
