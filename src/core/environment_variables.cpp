#include "core/environment_variables.h"

namespace {

constexpr EnvironmentVariable kVariables[] = {
    {"LUMIKARTA_HKLM",
     "registry text file standing in for HKEY_LOCAL_MACHINE (Linux; default: $WINEPREFIX/system.reg, "
     "else ~/.wine/system.reg, else an empty registry)"},
    {"LUMIKARTA_HKCU",
     "registry text file standing in for HKEY_CURRENT_USER (Linux; default: "
     "$XDG_CONFIG_HOME/Lumikarta/user.reg)"},
    {"LUMIKARTA_SYSROOT",
     "a folder that stands in for / when the probes read /proc, /sys, /etc, /usr/share and "
     "/lib/modules (Linux)"},
    {"LUMIKARTA_COMMON_APPDATA",
     "the base folder of the FAQ cache (default: /var/cache on Linux, the common application data folder on "
     "Windows)"},
    {"LUMIKARTA_SUPPORT_URL",
     "scheme, host and port of the support web server, the endpoint's path appended (default: the "
     "maker's server over HTTPS)"},
    {"LUMIKARTA_FAQ_URL", "the FAQ page the \"FAQ\" link opens (default: the maker's web site)"},
    {"LUMIKARTA_UPDATE_URL", "the update definition the update list loads (default: the maker's web server)"},
    {"LUMIKARTA_CA_BUNDLE",
     "an extra CA certificate file trusted for HTTPS beside the system's (Linux; Windows trusts its "
     "own store only)"},
    {"LUMIKARTA_DEBUG", "when set, diagnostic traces go to stderr"},
};

}  // namespace

std::span<const EnvironmentVariable> EnvironmentVariables() {
    return kVariables;
}
