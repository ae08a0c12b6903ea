#include "viewer/update/UpdateVersion.h"

#include <algorithm>

namespace viewer {

std::string UpdateVersion::Comparable(std::string_view text) {
    std::string_view head = text.substr(0, std::min(text.size(), Width));
    head = head.substr(0, std::min(head.size(), head.find('\0')));
    std::string padded(head);
    if (!padded.empty())
        padded.resize(Width, '\xFF');
    return padded;
}

bool UpdateVersion::IsNewer(std::string_view published, std::string_view running) {
    std::string remote = Comparable(published);
    std::string local = Comparable(running);
    auto asUnsigned = [](char a, char b) {
        return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
    };
    return std::lexicographical_compare(local.begin(), local.end(), remote.begin(), remote.end(),
                                        asUnsigned);
}

} // namespace viewer
