#include "sysinfo/pci_id_database.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

#include "platform/text_buffer.h"
#include "sysinfo/system_files.h"
#include "text/text_lines.h"
#include "text/trim.h"

namespace {

constexpr std::size_t kIdDigits = 4;

// The id at the start of a vendor or device entry; none unless the entry begins with four
// hexadecimal digits and white space.
std::optional<uint16_t> EntryId(std::string_view entry) {
    uint16_t id = 0;
    if (entry.size() <= kIdDigits || (entry[kIdDigits] != ' ' && entry[kIdDigits] != '\t')) {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(entry.data(), entry.data() + kIdDigits, id, 16);
    if (error != std::errc() || end != entry.data() + kIdDigits) {
        return std::nullopt;
    }
    return id;
}

std::string_view EntryName(std::string_view entry) {
    return TrimWhiteSpace(entry.substr(kIdDigits));
}

std::string UnknownName(const char* kind, uint16_t id) {
    std::array<char, 16> name{};
    std::snprintf(name.data(), name.size(), "%s %04x", kind, static_cast<unsigned>(id));
    return name.data();
}

struct Names {
    std::string_view vendor;
    std::string_view device;
};

// Devices follow their vendor as lines indented by one tab; subsystems, indented by two, are passed
// over, and the device classes at the end of the list are not read at all, since their indented
// lines look like devices.
Names FindNames(std::string_view database, uint16_t vendorId, uint16_t deviceId) {
    Names names;
    bool inVendor = false;
    for (const std::string_view line : TextLines(database)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.starts_with("C ")) {
            break;
        }
        if (line.starts_with("\t\t")) {
            continue;
        }
        if (line.front() == '\t') {
            const std::string_view entry = line.substr(1);
            if (inVendor && EntryId(entry) == deviceId) {
                names.device = EntryName(entry);
                break;
            }
            continue;
        }
        if (inVendor) {
            break;
        }
        inVendor = EntryId(line) == vendorId;
        if (inVendor) {
            names.vendor = EntryName(line);
        }
    }
    return names;
}

std::string DescribePciDevice(std::string_view database, uint16_t vendorId, uint16_t deviceId) {
    const Names names = FindNames(database, vendorId, deviceId);
    std::string description =
        names.vendor.empty() ? UnknownName("Vendor", vendorId) : std::string(names.vendor);
    description += ' ';
    description += names.device.empty() ? UnknownName("Device", deviceId) : std::string(names.device);
    return description;
}

}  // namespace

std::string DescribePciDevice(uint16_t vendorId, uint16_t deviceId) {
    platform::TextBuffer database;
    for (const char* list : {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"}) {
        if (platform::TextBuffer::FromFile(sysfiles::SystemPath(list), database)) {
            break;
        }
    }
    return DescribePciDevice(database.View(), vendorId, deviceId);
}
