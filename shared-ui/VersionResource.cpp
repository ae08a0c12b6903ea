#include "shared-ui/VersionResource.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace sharedui {
namespace {

constexpr std::string_view Signature = "SONOVERSION 1";

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::optional<uint16_t> HexWord(std::string_view text) {
    uint16_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < text.size()) {
        size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos)
            break;
        size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        at = end;
    }
    return words;
}

} // namespace

std::optional<VersionResource> VersionResource::Parse(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (!StartsWith(text, Signature))
        return std::nullopt;
    VersionResource resource;
    std::string currentTable;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = std::min(text.find('\n', at), text.size());
        resource.ParseLine(text.substr(at, end - at), currentTable);
        at = end + 1;
    }
    return resource;
}

void VersionResource::ParseLine(std::string_view line, std::string& currentTable) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (StartsWith(line, "Translation ")) {
        std::vector<std::string_view> words = Words(line.substr(12));
        for (size_t i = 0; i + 1 < words.size(); i += 2) {
            auto language = HexWord(words[i]);
            auto codePage = HexWord(words[i + 1]);
            if (language && codePage)
                translations_.push_back({*language, *codePage});
        }
    } else if (StartsWith(line, "StringFileInfo ")) {
        currentTable = Lower(line.substr(15));
    } else if (size_t equals = line.find('=');
               equals != std::string_view::npos && !currentTable.empty()) {
        tables_[currentTable][std::string(line.substr(0, equals))] = line.substr(equals + 1);
    }
}

std::optional<std::string> VersionResource::QueryString(const std::string& table,
                                                        const std::string& name) const {
    auto found = tables_.find(Lower(table));
    if (found == tables_.end())
        return std::nullopt;
    auto value = found->second.find(name);
    if (value == found->second.end())
        return std::nullopt;
    return value->second;
}

} // namespace sharedui
