#include "platform/hive/registry_text_parser.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/debug_trace.h"
#include "platform/registry_name.h"
#include "text/text_encoding.h"
#include "text/utf8.h"

namespace platform {

namespace {

using KeyId = HiveTree::KeyId;

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

void TraceSkipped(std::string_view what, std::string_view line) {
    if (DebugTraceEnabled()) {
        DebugTrace("registry text: skipped " + std::string(what) + ": " + CutUtf8(line, 120));
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Wine writes every character outside printable ASCII as a C-like escape of its UTF-16 unit;
// the units of consecutive escapes (a surrogate pair among them) are converted together.
std::string UnescapeWine(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::u16string units;
    const auto flushUnits = [&] {
        out += Utf16ToUtf8(units);
        units.clear();
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            flushUnits();
            out.push_back(s[i]);
            continue;
        }
        const char c = s[++i];
        static constexpr std::string_view kLetters = "abefnrtv";
        static constexpr char16_t kControls[] = {7, 8, 27, 12, 10, 13, 9, 11};
        if (const std::size_t letter = kLetters.find(c); letter != std::string_view::npos) {
            units.push_back(kControls[letter]);
        } else if (c == 'x') {
            unsigned value = 0;
            int digits = 0;
            while (digits < 4 && i + 1 < s.size() && HexDigit(s[i + 1]) >= 0) {
                value = value * 16 + static_cast<unsigned>(HexDigit(s[++i]));
                ++digits;
            }
            units.push_back(static_cast<char16_t>(digits == 0 ? 'x' : value));
        } else if (c >= '0' && c <= '7') {
            unsigned value = static_cast<unsigned>(c - '0');
            for (int digits = 1; digits < 3 && i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7';
                 ++digits) {
                value = value * 8 + static_cast<unsigned>(s[++i] - '0');
            }
            units.push_back(static_cast<char16_t>(value));
        } else {
            flushUnits();
            out.push_back(c);
        }
    }
    flushUnits();
    return out;
}

// Regedit escapes only the backslash and the quotation mark.
std::string UnescapeRegedit(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            ++i;
        }
        out.push_back(s[i]);
    }
    return out;
}

std::string Unescape(RegistryTextFormat format, std::string_view s) {
    // Nearly all names and texts hold no escape at all.
    if (s.find('\\') == std::string_view::npos) {
        return std::string(s);
    }
    return format == RegistryTextFormat::Wine2 ? UnescapeWine(s) : UnescapeRegedit(s);
}

// The inside of a quoted text starting at s[0] == '"'; `rest` receives what follows the closing
// quotation mark. None when it is not closed.
std::optional<std::string_view> QuotedText(std::string_view s, std::string_view& rest) {
    // Only the character after a backslash may be escaped. Names and texts are short: a plain loop
    // beats searching for each mark.
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
        } else if (s[i] == '"') {
            rest = s.substr(i + 1);
            return s.substr(1, i - 1);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> HexBytes(std::string_view s) {
    std::vector<uint8_t> bytes;
    bytes.reserve(s.size() / 3 + 1);
    s = TrimRight(TrimLeft(s));
    while (!s.empty()) {
        int digits[2] = {-1, -1};
        std::size_t n = 0;
        while (n < s.size() && n < 2 && HexDigit(s[n]) >= 0) {
            digits[n] = HexDigit(s[n]);
            ++n;
        }
        if (n == 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(n == 2 ? digits[0] * 16 + digits[1] : digits[0]));
        s = TrimLeft(s.substr(n));
        if (!s.empty()) {
            if (s.front() != ',') {
                return std::nullopt;
            }
            s = TrimLeft(s.substr(1));
        }
    }
    return bytes;
}

std::optional<uint32_t> HexNumber(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const char c : s) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

std::vector<uint8_t> TextBytes(std::string_view utf8) {
    std::vector<uint8_t> bytes;
    bytes.reserve(utf8.size() + 1);
    bytes.assign(utf8.begin(), utf8.end());
    bytes.push_back(0);
    return bytes;
}

bool IsStringType(uint32_t type) {
    return type == static_cast<uint32_t>(RegType::Sz) || type == static_cast<uint32_t>(RegType::ExpandSz) ||
           type == static_cast<uint32_t>(RegType::MultiSz);
}

// The data after "=": None when it cannot be read. `erase` is set for a deletion ("-").
std::optional<RegValue> ValueData(RegistryTextFormat format, std::string_view data, bool& erase) {
    RegValue value;
    erase = false;
    if (data == "-") {
        erase = true;
        return value;
    }
    if (!data.empty() && data.front() == '"') {
        std::string_view rest;
        const auto text = QuotedText(data, rest);
        if (!text || !TrimLeft(rest).empty()) {
            return std::nullopt;
        }
        value.type = RegType::Sz;
        value.data = TextBytes(Unescape(format, *text));
        return value;
    }
    if (data.starts_with("dword:")) {
        const auto number = HexNumber(data.substr(6), 8);
        if (!number) {
            return std::nullopt;
        }
        value.type = RegType::Dword;
        value.data = {static_cast<uint8_t>(*number), static_cast<uint8_t>(*number >> 8),
                      static_cast<uint8_t>(*number >> 16), static_cast<uint8_t>(*number >> 24)};
        return value;
    }
    if (data.starts_with("hex:")) {
        auto bytes = HexBytes(data.substr(4));
        if (!bytes) {
            return std::nullopt;
        }
        value.type = RegType::Binary;
        value.data = std::move(*bytes);
        return value;
    }
    const bool isHex = data.starts_with("hex(");
    const bool isWineString = format == RegistryTextFormat::Wine2 && data.starts_with("str(");
    if (!isHex && !isWineString) {
        return std::nullopt;
    }
    const std::size_t close = data.find("):");
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    const auto type = HexNumber(data.substr(4, close - 4), 8);
    if (!type) {
        return std::nullopt;
    }
    value.type = static_cast<RegType>(*type);
    const std::string_view payload = data.substr(close + 2);
    if (isWineString) {
        std::string_view rest;
        const auto text = payload.empty() ? std::nullopt : QuotedText(payload, rest);
        if (!text || !TrimLeft(rest).empty()) {
            return std::nullopt;
        }
        value.data = TextBytes(UnescapeWine(*text));
        return value;
    }
    auto bytes = HexBytes(payload);
    if (!bytes) {
        return std::nullopt;
    }
    if (IsStringType(*type)) {
        // Texts are UTF-8 inside the program; regedit 5 and Wine store them as UTF-16LE, REGEDIT4 in
        // the ANSI code page, read here as Latin-1.
        const std::string_view raw(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        const std::string text =
            format == RegistryTextFormat::Regedit4 ? Latin1ToUtf8(raw) : Utf16LeBytesToUtf8(raw);
        bytes->assign(text.begin(), text.end());
    }
    value.data = std::move(*bytes);
    return value;
}

// Whether ValueData can read `data`, without building the value for the common kinds.
bool IsReadableData(RegistryTextFormat format, std::string_view data) {
    if (data.starts_with('"')) {
        std::string_view rest;
        return QuotedText(data, rest) && TrimLeft(rest).empty();
    }
    if (data.starts_with("dword:")) {
        return HexNumber(data.substr(6), 8).has_value();
    }
    bool erase = false;
    return ValueData(format, data, erase).has_value();
}

// The name and the data of a value line, the data not looked at yet.
ValueLineKind SplitValueLineParts(std::string_view line, RegValueLine& parts) {
    line = TrimRight(TrimLeft(line));
    if (line.empty()) {
        return ValueLineKind::Blank;
    }
    if (line.front() == ';' || line.front() == '#') {
        return ValueLineKind::Unreadable;
    }
    std::string_view rest;
    if (line.front() == '@') {
        parts.name = {};
        rest = line.substr(1);
    } else if (const auto quoted = line.front() == '"' ? QuotedText(line, rest) : std::nullopt) {
        parts.name = *quoted;
    } else {
        TraceSkipped("value line", line);
        return ValueLineKind::Unreadable;
    }
    rest = TrimLeft(rest);
    if (!rest.starts_with('=')) {
        TraceSkipped("value line", line);
        return ValueLineKind::Unreadable;
    }
    parts.data = TrimLeft(rest.substr(1));
    parts.erase = parts.data == "-";
    return ValueLineKind::Value;
}

std::optional<RegRoot> RootFromName(std::string_view name) {
    if (RegNameEquals(name, "HKEY_LOCAL_MACHINE") || RegNameEquals(name, "HKLM")) {
        return RegRoot::LocalMachine;
    }
    if (RegNameEquals(name, "HKEY_CURRENT_USER") || RegNameEquals(name, "HKCU")) {
        return RegRoot::CurrentUser;
    }
    return std::nullopt;
}

// How many bytes two texts share from their start. Consecutive key lines share most of their path,
// so it is compared eight bytes at a time.
std::size_t CommonPrefixLength(std::string_view a, std::string_view b) {
    const std::size_t length = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t x = 0;
        uint64_t y = 0;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            const uint64_t differ = x ^ y;
            const int bit = std::endian::native == std::endian::little ? std::countr_zero(differ)
                                                                       : std::countl_zero(differ);
            return i + static_cast<std::size_t>(bit / 8);
        }
    }
    while (i < length && a[i] == b[i]) {
        ++i;
    }
    return i;
}

// Resolves key lines to keys. Files list keys in tree order, so consecutive key lines share most of
// their path: the components of the previous line are kept with their keys and only the differing
// tail is looked up.
class KeyLineReader {
public:
    KeyLineReader(HiveTree& hive, RegRoot root) : m_hive(hive), m_root(root) {}

    // The key that the value lines after this key line belong to; kNoKey when they belong to none.
    KeyId Read(std::string_view line) {
        line = TrimRight(line);
        const std::size_t close = line.rfind(']');
        // Wine follows the bracket with the key's time; a regedit file has nothing there.
        if (close == std::string_view::npos ||
            (m_hive.Format() != RegistryTextFormat::Wine2 && !TrimLeft(line.substr(close + 1)).empty())) {
            TraceSkipped("key line", line);
            m_hive.MarkPartial();
            if (close == std::string_view::npos) {
                return HiveTree::kNoKey;
            }
        }
        const bool deletion = line.size() > 1 && line[1] == '-';
        std::string_view path = line.substr(deletion ? 2 : 1, close - (deletion ? 2 : 1));
        if (m_hive.Format() != RegistryTextFormat::Wine2) {
            const std::size_t cut = path.find('\\');
            const auto root = RootFromName(path.substr(0, cut));
            if (!root) {
                TraceSkipped("key of an unknown root", line);
            }
            if (root != m_root) {
                m_hive.MarkPartial();
                return HiveTree::kNoKey;
            }
            path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
        }
        if (deletion) {
            Delete(path);
            return HiveTree::kNoKey;
        }
        return Resolve(path);
    }

private:
    struct Component {
        std::string_view raw;
        bool escaped = false;
    };

    // Splits off the next component. In Wine hives the separator is an escaped backslash and other
    // escapes may stand inside a name; regedit files separate with a plain backslash.
    Component Next(std::string_view& path) const {
        Component component;
        const bool wine = m_hive.Format() == RegistryTextFormat::Wine2;
        std::size_t i = path.find('\\');
        while (wine && i != std::string_view::npos && (i + 1 == path.size() || path[i + 1] != '\\')) {
            component.escaped = true;
            i = path.find('\\', i + 2);
        }
        if (i == std::string_view::npos) {
            component.raw = path;
            path = {};
        } else {
            component.raw = path.substr(0, i);
            path = path.substr(i + (wine ? 2 : 1));
        }
        return component;
    }

    std::string_view Name(const Component& component) {
        return component.escaped ? m_hive.StoreName(UnescapeWine(component.raw)) : component.raw;
    }

    // The key of `path`, created with the keys on its way when `create` is set; otherwise kNoKey when
    // it does not exist.
    KeyId Resolve(std::string_view path, bool create = true) {
        // Keys of the components that lie wholly in the part this path shares with the one before,
        // byte for byte, are known already.
        const std::size_t common = CommonPrefixLength(path, m_previous);
        const std::size_t separator = m_hive.Format() == RegistryTextFormat::Wine2 ? 2 : 1;
        std::size_t depth = 0;
        while (depth < m_stack.size() && (m_stack[depth].end + separator <= common ||
                                          (m_stack[depth].end == common && common == path.size()))) {
            ++depth;
        }
        m_stack.resize(depth);
        m_previous = path;
        KeyId key = depth == 0 ? HiveTree::kRootKey : m_stack.back().key;
        const std::size_t known = depth == 0 ? 0 : m_stack.back().end + separator;
        std::string_view rest = known >= path.size() ? std::string_view() : path.substr(known);
        while (!rest.empty()) {
            const Component component = Next(rest);
            if (component.raw.empty()) {
                continue;
            }
            if (create) {
                key = m_hive.FindOrCreateChild(key, Name(component));
            } else {
                key = m_hive.FindChild(key, component.escaped ? UnescapeWine(component.raw) : component.raw);
                if (key == HiveTree::kNoKey) {
                    return key;
                }
            }
            m_stack.push_back(
                {static_cast<std::size_t>(component.raw.data() + component.raw.size() - path.data()), key});
        }
        return key;
    }

    void Delete(std::string_view path) {
        const KeyId key = Resolve(path, false);
        if (key != HiveTree::kNoKey && key != HiveTree::kRootKey) {
            m_hive.DeleteKey(key);
            // A later line of the same path makes the key anew.
            m_stack.pop_back();
        }
    }

    // A component of the previous path: where it ends in that path, and its key.
    struct StackEntry {
        std::size_t end;
        KeyId key;
    };

    HiveTree& m_hive;
    RegRoot m_root;
    std::string_view m_previous;
    std::vector<StackEntry> m_stack;
};

// UTF-16 files become UTF-8; a UTF-8 byte-order mark is dropped.
TextBuffer WithoutByteOrderMark(TextBuffer bytes) {
    const std::string_view view = bytes.View();
    if (view.starts_with("\xFF\xFE")) {
        return TextBuffer(Utf16LeBytesToUtf8(view.substr(2)));
    }
    if (view.starts_with("\xFE\xFF")) {
        return TextBuffer(Utf16BeBytesToUtf8(view.substr(2)));
    }
    if (view.starts_with("\xEF\xBB\xBF")) {
        bytes.RemovePrefix(3);
    }
    return bytes;
}

RegistryTextFormat FormatOf(std::string_view header) {
    header = TrimRight(header);
    if (header == "Windows Registry Editor Version 5.00") {
        return RegistryTextFormat::Regedit5;
    }
    if (header == "REGEDIT4") {
        return RegistryTextFormat::Regedit4;
    }
    if (header == "WINE REGISTRY Version 2") {
        return RegistryTextFormat::Wine2;
    }
    return RegistryTextFormat::Unknown;
}

// Offset of the first line at or after `from` (a line start) that opens a key. Brackets are rare
// elsewhere, so looking for them skips more text at once than going line by line.
std::size_t NextKeyLine(std::string_view text, std::size_t from) {
    if (from < text.size() && text[from] == '[') {
        return from;
    }
    while (from < text.size()) {
        const void* bracket = std::memchr(text.data() + from, '[', text.size() - from);
        if (bracket == nullptr) {
            return text.size();
        }
        from = static_cast<std::size_t>(static_cast<const char*>(bracket) - text.data());
        if (text[from - 1] == '\n') {
            return from;
        }
        ++from;
    }
    return text.size();
}

}  // namespace

RegistryTextFormat LoadRegistryText(TextBuffer bytes, RegRoot root, HiveTree& hive) {
    TextBuffer text = WithoutByteOrderMark(std::move(bytes));
    const std::string_view header = text.View().substr(0, text.View().find('\n'));
    const RegistryTextFormat format = FormatOf(header);
    // Key blocks are kept as 32-bit offsets into the text.
    if (format == RegistryTextFormat::Unknown || text.View().size() >= UINT32_MAX) {
        TraceSkipped("file with an unknown header or too large", header);
        return RegistryTextFormat::Unknown;
    }
    if (format == RegistryTextFormat::Regedit4 && !IsValidUtf8(text.View())) {
        text = TextBuffer(Latin1ToUtf8(text.View()));
    }
    // Real hives hold more than 64 bytes a key line, but a line may bring keys on its way (a product's
    // key and its Skyrund key before the version key): growing the table of keys later would copy it
    // into freshly faulted pages. An unused reservation costs address space only.
    hive.Reserve(text.View().size() / 32);
    hive.AdoptText(std::move(text), format);
    const std::string_view t = hive.Text();

    const std::size_t body = std::min(t.find('\n'), t.size() - 1) + 1;
    std::size_t key = NextKeyLine(t, body);
    const std::string_view preamble = t.substr(0, key);
    if (format == RegistryTextFormat::Wine2) {
        hive.SetWin64(preamble.find("\n#arch=win64") != std::string_view::npos);
    } else if (preamble.substr(body).find_first_not_of(" \t\r\n") != std::string_view::npos) {
        TraceSkipped("lines before the first key", preamble.substr(body));
        hive.MarkPartial();
    }
    KeyLineReader reader(hive, root);
    while (key < t.size()) {
        const std::size_t lineEnd = std::min(t.find('\n', key), t.size());
        const std::size_t blockStart = std::min(lineEnd + 1, t.size());
        const std::size_t next = NextKeyLine(t, blockStart);
        const KeyId id = reader.Read(t.substr(key, lineEnd - key));
        if (id != HiveTree::kNoKey && next > blockStart) {
            hive.AddValueBlock(id, blockStart, next - blockStart);
        }
        key = next;
    }
    if (format != RegistryTextFormat::Wine2) {
        // A regedit export of a 64-bit Windows holds the 32-bit programs' SOFTWARE there.
        hive.SetWin64(hive.FindKey("SOFTWARE\\Wow6432Node") != HiveTree::kNoKey);
    }
    return format;
}

ValueLineKind SplitValueLine(RegistryTextFormat format, std::string_view line, RegValueLine& parts) {
    const ValueLineKind kind = SplitValueLineParts(line, parts);
    if (kind == ValueLineKind::Value && !parts.erase && !IsReadableData(format, parts.data)) {
        TraceSkipped("value line", line);
        return ValueLineKind::Unreadable;
    }
    return kind;
}

void SplitCheckedValueLine(std::string_view line, RegValueLine& parts) {
    SplitValueLineParts(line, parts);
}

void DecodeValueName(RegistryTextFormat format, std::string_view written, std::string& name) {
    if (written.find('\\') == std::string_view::npos) {
        name.assign(written);
    } else {
        name = Unescape(format, written);
    }
}

void DecodeValueData(RegistryTextFormat format, std::string_view data, RegValue& value) {
    // Plain texts, nearly all data, go straight into the caller's buffer.
    std::string_view rest;
    const auto text = data.starts_with('"') ? QuotedText(data, rest) : std::nullopt;
    if (text && text->find('\\') == std::string_view::npos) {
        value.type = RegType::Sz;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
        return;
    }
    bool erase = false;
    auto decoded = ValueData(format, data, erase);
    value.type = decoded ? decoded->type : RegType::None;
    value.data = decoded ? std::move(decoded->data) : std::vector<uint8_t>();
}

std::string_view TakeLogicalLine(std::string_view& lines, std::string& joined) {
    joined.clear();
    while (!lines.empty()) {
        const std::size_t eol = std::min(lines.find('\n'), lines.size());
        const std::string_view line = TrimRight(lines.substr(0, eol));
        lines = lines.substr(std::min(eol + 1, lines.size()));
        if (!line.empty() && line.back() == '\\') {
            const std::string_view head = line.substr(0, line.size() - 1);
            joined.append(joined.empty() ? head : TrimLeft(head));
            continue;
        }
        if (joined.empty()) {
            return line;
        }
        joined.append(TrimLeft(line));
        return joined;
    }
    return joined;
}

}  // namespace platform
