#include "platform/hive/registry_text_writer.h"

#include <cstdio>

#include "text/text_encoding.h"

namespace platform {

namespace {

void AppendQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

// A text value can be written in quotes when it is one line ended by its terminator, as regedit
// writes them; anything else goes out as hex so nothing is lost.
bool IsQuotable(const RegValue& value) {
    if (value.type != RegType::Sz || value.data.empty() || value.data.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
        if (value.data[i] == 0 || value.data[i] == '\n' || value.data[i] == '\r') {
            return false;
        }
    }
    return true;
}

void AppendHex(std::string& out, const std::vector<uint8_t>& bytes) {
    char digits[4];
    // regedit wraps long hex data after about 80 columns with a backslash.
    std::size_t column = out.size() - out.rfind('\n');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            out.push_back(',');
            ++column;
            if (column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        out += digits;
        column += 2;
    }
}

void AppendValue(std::string& out, const RegValue& value) {
    if (value.name.empty()) {
        out.push_back('@');
    } else {
        AppendQuoted(out, value.name);
    }
    out.push_back('=');
    if (IsQuotable(value)) {
        AppendQuoted(
            out, std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1));
    } else if (value.type == RegType::Dword && value.data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x",
                      value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                          static_cast<unsigned>(value.data[3]) << 24);
        out += number;
    } else {
        const auto type = static_cast<uint32_t>(value.type);
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, type == 3 ? "hex:" : "hex(%x):", type);
        out += prefix;
        if (value.type == RegType::Sz || value.type == RegType::ExpandSz || value.type == RegType::MultiSz) {
            // Texts are UTF-8 in memory and UTF-16LE in regedit 5 hex data.
            const std::u16string units = Utf8ToUtf16(
                std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size()));
            std::vector<uint8_t> bytes;
            for (const char16_t unit : units) {
                bytes.push_back(static_cast<uint8_t>(unit));
                bytes.push_back(static_cast<uint8_t>(unit >> 8));
            }
            AppendHex(out, bytes);
        } else {
            AppendHex(out, value.data);
        }
    }
    out += '\n';
}

}  // namespace

std::string WriteRegistryText(const HiveTree& hive, std::string_view rootName) {
    std::string out = "Windows Registry Editor Version 5.00\n\n";
    // Depth first, each key before its subkeys, without recursion: a hive may nest deeply.
    std::vector<std::pair<HiveTree::KeyId, std::string>> pending;
    const auto pushChildren = [&](HiveTree::KeyId key, const std::string& path) {
        const auto& children = hive.Subkeys(key);
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            pending.emplace_back(*it, path + '\\' + std::string(hive.KeyName(*it)));
        }
    };
    pushChildren(HiveTree::kRootKey, std::string(rootName));
    while (!pending.empty()) {
        auto [key, path] = std::move(pending.back());
        pending.pop_back();
        out += '[';
        out += path;
        out += "]\n";
        for (const RegValue& value : hive.Values(key)) {
            AppendValue(out, value);
        }
        out += '\n';
        pushChildren(key, path);
    }
    return out;
}

}  // namespace platform
