#include "control/parsers/Parsers.h"

namespace control {
namespace {

std::u16string LowerAsciiEnding(const std::u16string& name, size_t count) {
    std::u16string ending = name.size() > count ? name.substr(name.size() - count) : name;
    for (char16_t& c : ending)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return ending;
}

struct ParserRow {
    const char16_t* ending;
    ParserFunction parser;
};

// Compared with the last four characters of the name; the first matching row wins.
constexpr ParserRow ParserRows[] = {
    {u".ac3", ParseAC3}, {u".mp3", ParseMP3}, {u".dts", ParseDTS}, {u".ogg", ParseOGG},
    {u"flac", ParseFLAC}, {u".wav", ParseWAV}, {u".pcm", ParseWAV}, {u".ape", ParseAPE},
};

} // namespace

ParserFunction SelectParser(const std::u16string& fileName) {
    std::u16string ending = LowerAsciiEnding(fileName, 4);
    for (const ParserRow& row : ParserRows)
        if (ending == row.ending)
            return row.parser;
    std::u16string lastThree = ending.size() > 3 ? ending.substr(ending.size() - 3) : ending;
    if (lastThree == u".wv")
        return ParseWavPack;
    return nullptr;
}

} // namespace control
