#include "platform/hive/hive_registry_view.h"

#include <algorithm>
#include <optional>

#include "platform/registry_name.h"

namespace platform {

namespace {

// The keys below SOFTWARE that both views share, as Wine 8 links them in a 64-bit prefix (a 32-bit
// RegOpenKeyEx under Wine finds each at its 64-bit place). Windows shares the same keys, give or
// take a spelling. Wine's link of SOFTWARE\Wow6432Node\Classes to SOFTWARE\Classes\Wow6432Node is
// not followed.
constexpr std::string_view kSharedKeys[] = {
    "Microsoft\\Clients",
    "Microsoft\\Cryptography\\Calais\\Current",
    "Microsoft\\Cryptography\\Calais\\Readers",
    "Microsoft\\Cryptography\\Services",
    "Microsoft\\CTF\\SystemShared",
    "Microsoft\\CTF\\TIP",
    "Microsoft\\DFS",
    "Microsoft\\Driver Signing",
    "Microsoft\\EnterpriseCertificates",
    "Microsoft\\EventSystem",
    "Microsoft\\MSMQ",
    "Microsoft\\Non-Driver Signing",
    "Microsoft\\Notepad\\DefaultFonts",
    "Microsoft\\OLE",
    "Microsoft\\RAS",
    "Microsoft\\RPC",
    "Microsoft\\Software\\Microsoft\\Shared Tools\\MSInfo",
    "Microsoft\\SystemCertificates",
    "Microsoft\\TermServLicensing",
    "Microsoft\\Transaction Server",
    "Microsoft\\Windows\\CurrentVersion\\App Paths",
    "Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes",
    "Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
    "Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons",
    "Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap",
    "Microsoft\\Windows\\CurrentVersion\\Group Policy",
    "Microsoft\\Windows\\CurrentVersion\\Policies",
    "Microsoft\\Windows\\CurrentVersion\\PreviewHandlers",
    "Microsoft\\Windows\\CurrentVersion\\Setup",
    "Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations",
    "Microsoft\\Windows\\CurrentVersion\\Time Zones",
    "Microsoft\\Windows NT\\CurrentVersion\\Console",
    "Microsoft\\Windows NT\\CurrentVersion\\FontDpi",
    "Microsoft\\Windows NT\\CurrentVersion\\FontLink",
    "Microsoft\\Windows NT\\CurrentVersion\\FontMapper",
    "Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    "Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
    "Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize",
    "Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    "Microsoft\\Windows NT\\CurrentVersion\\LanguagePack",
    "Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    "Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    "Microsoft\\Windows NT\\CurrentVersion\\Ports",
    "Microsoft\\Windows NT\\CurrentVersion\\Print",
    "Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
    "Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
    "Policies",
    "Registered Applications",
    "Wine\\Ports",
};

// `path` is `key` or lies below it.
bool IsAtOrBelow(std::string_view path, std::string_view key) {
    return path.size() >= key.size() && RegNameEquals(path.substr(0, key.size()), key) &&
           (path.size() == key.size() || path[key.size()] == '\\');
}

// The part of `path` below SOFTWARE; none when it does not lie below SOFTWARE.
std::optional<std::string_view> BelowSoftware(std::string_view path) {
    const std::size_t cut = path.find('\\');
    if (!RegNameEquals(path.substr(0, cut), "Software")) {
        return std::nullopt;
    }
    return cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
}

}  // namespace

std::string PathIn32BitView(std::string_view path) {
    const auto rest = BelowSoftware(path);
    if (!rest || IsAtOrBelow(*rest, "Wow6432Node")) {
        return std::string(path);
    }
    for (const std::string_view shared : kSharedKeys) {
        if (IsAtOrBelow(*rest, shared)) {
            return std::string(path);
        }
    }
    std::string mapped = std::string(path.substr(0, path.find('\\'))) + "\\Wow6432Node";
    if (!rest->empty()) {
        mapped += '\\';
        mapped += *rest;
    }
    return mapped;
}

bool LeavesParentInView(std::string_view path) {
    // A key is mapped when it lies below SOFTWARE and neither is nor lies below a shared key, so it
    // goes where its parent goes unless it is the first key of its path that is not mapped.
    const auto rest = BelowSoftware(path);
    if (!rest || rest->empty()) {
        return false;
    }
    return RegNameEquals(*rest, "Wow6432Node") ||
           std::any_of(std::begin(kSharedKeys), std::end(kSharedKeys),
                       [&](std::string_view shared) { return RegNameEquals(*rest, shared); });
}

}  // namespace platform
