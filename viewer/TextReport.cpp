#include "viewer/TextReport.h"

#include "viewer/ViewerSettings.h"

namespace viewer {
namespace {

void AppendLine(std::u16string& report, const char16_t* label, const std::u16string& text,
                const std::u16string& lineDelimiter) {
    report += label;
    report += text;
    report += lineDelimiter;
}

void AppendIfSet(std::u16string& report, const char16_t* label, const std::u16string& text,
                 const std::u16string& lineDelimiter) {
    if (!text.empty())
        AppendLine(report, label, text, lineDelimiter);
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

void ReplaceAll(std::u16string& text, const std::u16string& from, const std::u16string& to) {
    for (size_t at = text.find(from); at != std::u16string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

void BuildTextReport(const AudioFileFields& fields, const std::u16string& fieldDelimiter,
                     const std::u16string& lineDelimiter, std::u16string& report) {
    report.clear();
    AppendLine(report, u"File      : ", fields.FileName, lineDelimiter);
    AppendIfSet(report, u"Title     : ", fields.Title, lineDelimiter);
    AppendIfSet(report, u"Size      : ", fields.FileSize, lineDelimiter);
    AppendIfSet(report, u"Length    : ", fields.Length, lineDelimiter);
    AppendIfSet(report, u"Artist    : ", fields.Artist, lineDelimiter);
    AppendIfSet(report, u"Album     : ", fields.Album, lineDelimiter);
    AppendIfSet(report, u"Genre     : ", fields.Genre, lineDelimiter);
    AppendIfSet(report, u"Year      : ", fields.Year, lineDelimiter);
    AppendIfSet(report, u"Comment   : ", fields.Comment, lineDelimiter);
    AppendIfSet(report, u"Track     : ", fields.TrackNum, lineDelimiter);
    report += u"Parameters: " + fields.SamplingRate + fieldDelimiter + fields.Codec +
              fieldDelimiter + fields.Channels + fieldDelimiter + u"~" + fields.Bitrate +
              lineDelimiter;
    AppendIfSet(report, u"Additional: ", fields.AdditionalInfo, lineDelimiter);
}

std::u16string DecodeHexCharacters(const std::u16string& hex) {
    std::u16string decoded;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int high = HexDigit(hex[i]);
        int low = HexDigit(hex[i + 1]);
        decoded += (high < 0 || low < 0) ? u'?' : static_cast<char16_t>(high * 16 + low);
    }
    return decoded;
}

std::u16string LineDelimiter() {
    std::u16string delimiter;
    std::u16string binary = ViewerSettings::ReadStringSetting(u"Console delimiter binary", u"0D0A");
    if (!binary.empty()) {
        if (binary.size() % 2 != 0)
            binary.insert(binary.begin(), u'0');
        delimiter = DecodeHexCharacters(binary);
    } else {
        delimiter = ViewerSettings::ReadStringSetting(u"Console delimiter", u"");
        if (delimiter.empty())
            delimiter = u"\n";
    }
    // The console output ends each report with its own line feed; a CR LF pair is one break.
    ReplaceAll(delimiter, u"\r\n", u"\n");
    return delimiter;
}

std::u16string FieldDelimiter() {
    std::u16string binary = ViewerSettings::ReadStringSetting(u"Field delimiter binary", u"");
    if (!binary.empty()) {
        if (binary.size() % 2 != 0)
            binary += u'0';
        return DecodeHexCharacters(binary);
    }
    std::u16string text = ViewerSettings::ReadStringSetting(u"Field delimiter", u"");
    return text.empty() ? u", " : text;
}

} // namespace viewer
