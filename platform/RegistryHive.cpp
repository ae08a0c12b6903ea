#include "platform/RegistryHive.h"

#include <cstdio>

namespace platform {
namespace {

constexpr size_t MaxKeyPartLength = 255;
constexpr size_t MaxKeyDepth = 512;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(char32_t c, std::u16string& out) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

// The code point of the UTF-16 text at i (a pair counts as one); i moves past it. An unpaired
// surrogate comes back as itself.
char32_t NextCodePoint(std::u16string_view text, size_t& i) {
    char32_t c = text[i++];
    if (IsHighSurrogate(c) && i < text.size() && IsLowSurrogate(text[i]))
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
    return c;
}

// Strict UTF-8: no overlong forms, surrogates or values above U+10FFFF.
bool DecodeUtf8(std::string_view text, size_t& i, char32_t& c) {
    auto lead = static_cast<unsigned char>(text[i]);
    size_t extra = lead < 0x80                   ? 0
                   : lead >= 0xC2 && lead < 0xE0 ? 1
                   : (lead & 0xF0) == 0xE0       ? 2
                   : lead >= 0xF0 && lead < 0xF5 ? 3
                                                 : 4;
    if (extra == 4 || text.size() - i <= extra)
        return false;
    static constexpr char32_t Minimum[] = {0, 0x80, 0x800, 0x10000};
    c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < Minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    i += extra + 1;
    return true;
}

std::string Quote(std::u16string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        char32_t c = NextCodePoint(text, i);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (IsControl(c) || IsHighSurrogate(c) || IsLowSurrogate(c)) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
                out += escape;
            } else {
                AppendUtf8(c, out);
            }
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads count hex digits at i.
bool ReadHex(std::string_view text, size_t& i, size_t count, uint32_t& value) {
    if (text.size() - i < count)
        return false;
    value = 0;
    for (size_t k = 0; k < count; ++k) {
        int digit = HexDigit(text[i + k]);
        if (digit < 0)
            return false;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    i += count;
    return true;
}

bool ReadEscape(std::string_view text, size_t& i, std::u16string& out) {
    if (i >= text.size())
        return false;
    char kind = text[i++];
    switch (kind) {
    case '"':
    case '\\':
        out += static_cast<char16_t>(kind);
        return true;
    case 'n':
        out += u'\n';
        return true;
    case 'r':
        out += u'\r';
        return true;
    case 't':
        out += u'\t';
        return true;
    case 'u': {
        uint32_t unit = 0;
        if (!ReadHex(text, i, 4, unit))
            return false;
        out += static_cast<char16_t>(unit);
        return true;
    }
    default:
        return false;
    }
}

// A quoted string starting at i; i moves past the closing quote.
bool ReadQuoted(std::string_view text, size_t& i, std::u16string& out) {
    if (i >= text.size() || text[i] != '"')
        return false;
    ++i;
    out.clear();
    while (i < text.size()) {
        char c = text[i];
        if (c == '"') {
            ++i;
            return true;
        }
        if (c == '\\') {
            ++i;
            if (!ReadEscape(text, i, out))
                return false;
            continue;
        }
        char32_t code = 0;
        if (!DecodeUtf8(text, i, code))
            return false;
        AppendUtf16(code, out);
    }
    return false;
}

bool DecodeUtf8Text(std::string_view text, std::u16string& out) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        char32_t code = 0;
        if (!DecodeUtf8(text, i, code))
            return false;
        AppendUtf16(code, out);
    }
    return true;
}

std::string EncodeUtf8Text(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();)
        AppendUtf8(NextCodePoint(text, i), out);
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

void SkipBlanks(std::string_view text, size_t& i) {
    while (i < text.size() && IsBlank(text[i]))
        ++i;
}

bool ReadDword(std::string_view text, size_t& i, uint32_t& value) {
    constexpr std::string_view Prefix = "dword:";
    if (text.substr(i, Prefix.size()) != Prefix)
        return false;
    i += Prefix.size();
    size_t digits = 0;
    while (i + digits < text.size() && HexDigit(text[i + digits]) >= 0)
        ++digits;
    return digits >= 1 && digits <= 8 && ReadHex(text, i, digits, value);
}

bool ReadValue(std::string_view text, size_t& i, RegistryValue& value) {
    if (i < text.size() && text[i] == '"') {
        std::u16string string;
        if (!ReadQuoted(text, i, string))
            return false;
        value = std::move(string);
        return true;
    }
    uint32_t number = 0;
    if (!ReadDword(text, i, number))
        return false;
    value = number;
    return true;
}

std::string FormatValue(const RegistryValue& value) {
    if (const auto* number = std::get_if<uint32_t>(&value)) {
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(*number));
        return text;
    }
    return Quote(std::get<std::u16string>(value));
}

} // namespace

std::u16string RegistryHive::Fold(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return folded;
}

bool RegistryHive::IsValidKeyPath(std::u16string_view path) {
    if (path.empty())
        return true;
    size_t depth = 0;
    size_t partLength = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == u'\\') {
            if (partLength == 0 || partLength > MaxKeyPartLength || ++depth > MaxKeyDepth)
                return false;
            partLength = 0;
            continue;
        }
        char16_t c = path[i];
        if (IsControl(c))
            return false;
        if (IsHighSurrogate(c)) {
            if (i + 1 >= path.size() || !IsLowSurrogate(path[i + 1]))
                return false;
            ++i;
            ++partLength;
        } else if (IsLowSurrogate(c)) {
            return false;
        }
        ++partLength;
    }
    return true;
}

bool RegistryHive::IsDescendant(const std::u16string& foldedPath, const std::u16string& foldedKey) {
    if (foldedKey.empty())
        return !foldedPath.empty();
    return foldedPath.size() > foldedKey.size() && foldedPath[foldedKey.size()] == u'\\' &&
           foldedPath.compare(0, foldedKey.size(), foldedKey) == 0;
}

RegistryHive::KeyMap::const_iterator
RegistryHive::FirstAtOrBelow(const std::u16string& foldedKey) const {
    auto exact = keys_.find(foldedKey);
    if (exact != keys_.end())
        return exact;
    auto below = keys_.lower_bound(foldedKey.empty() ? foldedKey : foldedKey + u'\\');
    if (below != keys_.end() && IsDescendant(below->first, foldedKey))
        return below;
    return keys_.end();
}

RegistryHive RegistryHive::Parse(std::string_view text) {
    RegistryHive hive;
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        text.remove_prefix(ByteOrderMark.size());
    Key* current = nullptr;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!hive.ParseLine(Trim(line), current))
            ++hive.damagedLines_;
    }
    return hive;
}

bool RegistryHive::ParseLine(std::string_view line, Key*& current) {
    if (line.empty() || line.front() == ';' || line.front() == '#')
        return true;
    if (line.front() == '[') {
        current = nullptr;
        std::u16string path;
        if (line.size() < 2 || line.back() != ']' ||
            !DecodeUtf8Text(line.substr(1, line.size() - 2), path) || !IsValidKeyPath(path))
            return false;
        std::u16string folded = Fold(path);
        current = &keys_.try_emplace(std::move(folded), Key{std::move(path), {}}).first->second;
        return true;
    }
    if (!current)
        return false;
    size_t i = 0;
    std::u16string name;
    if (line.front() == '@')
        ++i;
    else if (!ReadQuoted(line, i, name))
        return false;
    SkipBlanks(line, i);
    if (i >= line.size() || line[i] != '=')
        return false;
    ++i;
    SkipBlanks(line, i);
    RegistryValue value;
    if (!ReadValue(line, i, value) || i != line.size())
        return false;
    std::u16string folded = Fold(name);
    current->values.insert_or_assign(std::move(folded),
                                     NamedValue{std::move(name), std::move(value)});
    return true;
}

std::string RegistryHive::ToText(std::string_view title) const {
    std::string text = "; ";
    text.append(title);
    text += "\n";
    for (const auto& [folded, key] : keys_) {
        text += "\n[" + EncodeUtf8Text(key.path) + "]\n";
        for (const auto& [foldedName, named] : key.values) {
            text += named.name.empty() ? std::string("@") : Quote(named.name);
            text += "=" + FormatValue(named.value) + "\n";
        }
    }
    return text;
}

const RegistryValue* RegistryHive::Find(std::u16string_view key, std::u16string_view name) const {
    auto found = keys_.find(Fold(key));
    if (found == keys_.end())
        return nullptr;
    auto value = found->second.values.find(Fold(name));
    return value == found->second.values.end() ? nullptr : &value->second.value;
}

bool RegistryHive::KeyExists(std::u16string_view key) const {
    return key.empty() || (IsValidKeyPath(key) && FirstAtOrBelow(Fold(key)) != keys_.end());
}

std::vector<std::u16string> RegistryHive::SubKeys(std::u16string_view key) const {
    std::u16string folded = Fold(key);
    std::u16string prefix = folded.empty() ? folded : folded + u'\\';
    std::map<std::u16string, std::u16string> children;
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && IsDescendant(it->first, folded);
         ++it) {
        size_t end = it->first.find(u'\\', prefix.size());
        size_t length = (end == std::u16string::npos ? it->first.size() : end) - prefix.size();
        children.try_emplace(it->first.substr(prefix.size(), length),
                             it->second.path.substr(prefix.size(), length));
    }
    std::vector<std::u16string> names;
    for (auto& [foldedName, name] : children)
        names.push_back(std::move(name));
    return names;
}

std::vector<std::u16string> RegistryHive::ValueNames(std::u16string_view key) const {
    std::vector<std::u16string> names;
    auto found = keys_.find(Fold(key));
    if (found != keys_.end())
        for (const auto& [folded, named] : found->second.values)
            names.push_back(named.name);
    return names;
}

RegistryHive::Key& RegistryHive::Insert(std::u16string_view key) {
    std::u16string folded = Fold(key);
    auto found = keys_.find(folded);
    if (found != keys_.end())
        return found->second;
    // Existing parents keep the spelling they were created with.
    std::u16string path(key);
    size_t length = folded.size();
    while (length > 0) {
        auto existing = FirstAtOrBelow(folded.substr(0, length));
        if (existing != keys_.end()) {
            path.replace(0, length, existing->second.path, 0, length);
            break;
        }
        size_t separator = folded.rfind(u'\\', length - 1);
        length = separator == std::u16string::npos ? 0 : separator;
    }
    return keys_.try_emplace(std::move(folded), Key{std::move(path), {}}).first->second;
}

bool RegistryHive::CreateKey(std::u16string_view key) {
    if (!IsValidKeyPath(key))
        return false;
    if (!key.empty())
        Insert(key);
    return true;
}

bool RegistryHive::SetValue(std::u16string_view key, std::u16string_view name,
                            const RegistryValue& value) {
    if (!IsValidKeyPath(key))
        return false;
    Key& stored = Insert(key);
    // A value written again keeps the spelling of its name.
    auto [entry, added] =
        stored.values.try_emplace(Fold(name), NamedValue{std::u16string(name), value});
    if (!added)
        entry->second.value = value;
    return true;
}

bool RegistryHive::DeleteValue(std::u16string_view key, std::u16string_view name) {
    auto found = keys_.find(Fold(key));
    return found != keys_.end() && found->second.values.erase(Fold(name)) > 0;
}

bool RegistryHive::DeleteKeyTree(std::u16string_view key) {
    if (key.empty() || !IsValidKeyPath(key))
        return false;
    std::u16string folded = Fold(key);
    bool existed = keys_.erase(folded) > 0;
    auto first = keys_.lower_bound(folded + u'\\');
    auto last = first;
    while (last != keys_.end() && IsDescendant(last->first, folded))
        ++last;
    existed = existed || first != last;
    keys_.erase(first, last);
    return existed;
}

} // namespace platform
