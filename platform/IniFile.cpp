#include "platform/IniFile.h"

#include "platform/CodePage.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool HasLineBreak(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile file;
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    file.byteOrderMark_ = text.substr(0, ByteOrderMark.size()) == ByteOrderMark;
    if (file.byteOrderMark_)
        text.remove_prefix(ByteOrderMark.size());
    file.endsWithNewline_ = !text.empty() && text.back() == '\n';
    if (file.endsWithNewline_)
        text.remove_suffix(1);
    if (text.empty() && !file.endsWithNewline_)
        return file;
    for (;;) {
        size_t end = text.find('\n');
        file.lines_.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return file;
}

std::string IniFile::ToText() const {
    std::string text = byteOrderMark_ ? "\xEF\xBB\xBF" : "";
    for (size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (i + 1 < lines_.size() || endsWithNewline_)
            text += '\n';
    }
    return text;
}

bool IniFile::SameName(std::u16string_view a, std::u16string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    return u_strCaseCompare(a.data(), static_cast<int32_t>(a.size()), b.data(),
                            static_cast<int32_t>(b.size()), U_FOLD_CASE_DEFAULT, &status) == 0 &&
           U_SUCCESS(status);
}

std::optional<std::u16string> IniFile::SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    size_t close = line.find(']');
    std::string_view name = line.substr(1, close == std::string_view::npos ? line.npos : close - 1);
    return Utf8ToUtf16(Trim(name));
}

std::optional<IniFile::Entry> IniFile::KeyEntry(std::string_view line) {
    line = Trim(line);
    size_t equals = line.find('=');
    if (line.empty() || line.front() == ';' || line.front() == '[' || equals == line.npos)
        return std::nullopt;
    std::string_view value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return Entry{Utf8ToUtf16(Trim(line.substr(0, equals))), Utf8ToUtf16(value)};
}

std::optional<std::pair<size_t, size_t>> IniFile::FindSection(std::u16string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::optional<std::u16string> name = SectionName(lines_[i]);
        if (!name || !SameName(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && !SectionName(lines_[end]))
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

std::optional<std::u16string> IniFile::Get(std::u16string_view section,
                                           std::u16string_view key) const {
    auto range = FindSection(section);
    if (!range)
        return std::nullopt;
    for (size_t i = range->first; i < range->second; ++i) {
        std::optional<Entry> entry = KeyEntry(lines_[i]);
        if (entry && SameName(entry->key, key))
            return entry->value;
    }
    return std::nullopt;
}

std::string IniFile::LineEnd() const {
    return !lines_.empty() && !lines_.front().empty() && lines_.front().back() == '\r' ? "\r" : "";
}

bool IniFile::Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || section.find(u']') != section.npos || key.find(u'=') != key.npos ||
        key.front() == u'[' || key.front() == u';')
        return false;
    std::string cr = LineEnd();
    std::string text = Utf16ToUtf8(value);
    auto range = FindSection(section);
    if (!range) {
        if (!lines_.empty() && !Trim(lines_.back()).empty())
            lines_.push_back(cr);
        lines_.push_back("[" + Utf16ToUtf8(section) + "]" + cr);
        lines_.push_back(Utf16ToUtf8(key) + "=" + text + cr);
        endsWithNewline_ = true;
        return true;
    }
    size_t insertAt = range->first;
    for (size_t i = range->first; i < range->second; ++i) {
        std::optional<Entry> entry = KeyEntry(lines_[i]);
        if (entry && SameName(entry->key, key)) {
            // The key's own spelling and spacing stay; only the value changes.
            size_t start = lines_[i].find('=') + 1;
            while (start < lines_[i].size() &&
                   (lines_[i][start] == ' ' || lines_[i][start] == '\t'))
                ++start;
            lines_[i] = lines_[i].substr(0, start) + text + cr;
            return true;
        }
        if (!Trim(lines_[i]).empty())
            insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  Utf16ToUtf8(key) + "=" + text + cr);
    if (insertAt == lines_.size() - 1)
        endsWithNewline_ = true;
    return true;
}

} // namespace platform
