#include "control/AnalysisDriver.h"

#include "control/ModuleState.h"
#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"
#include "platform/CodePage.h"
#include "platform/InputFile.h"
#include "platform/MessageBox.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cwctype>

namespace control {
namespace {

void RemoveQuotes(std::u16string& path) {
    path.erase(std::remove(path.begin(), path.end(), u'"'), path.end());
}

// The name after the last separator; "/" is the separator on this platform.
std::u16string NameOfPath(const std::u16string& path) {
    auto slash = path.rfind(u'/');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

int ReportCannotOpen(AnalysisRecord& record) {
    record.LastError = u"Cannot open file " + record.FileName + u"!";
    if (ShowMessageBoxEnabled())
        platform::ShowMessage(record.LastError, u"Error!",
                              platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return 2;
}

void TidyTagFields(AnalysisRecord& record) {
    for (std::u16string* field : {&record.Title, &record.Artist, &record.Album, &record.Genre,
                                  &record.Year, &record.Comment, &record.TrackNum})
        *field = TrimWhiteSpace(*field);
    // What an ID3v2 comment frame with an empty text leaves behind.
    if (record.Comment == u"eng" || record.Comment == u"rus")
        record.Comment.clear();
}

// The value with the given number of decimals, as printf's "%.Nf" writes it in the C locale,
// without printf's cost: every file's size is written twice this way.
std::u16string FixedText(double value, int decimals) {
    char text[400]; // the largest double has 309 digits before the point
    auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return FormatText("%.*f", decimals, value);
    return std::u16string(text, end);
}

} // namespace

std::u16string TrimWhiteSpace(const std::u16string& text) {
    auto isSpace = [](char16_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; };
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::u16string FormatFileSize(uint64_t length) {
    double size = static_cast<double>(length);
    std::u16string digits = FixedText(size, 0);
    std::u16string grouped = platform::FormatLocaleNumber(digits);
    // The locale adds a decimal separator and two decimals; the size shows whole bytes.
    if (grouped.size() >= 3)
        grouped.resize(grouped.size() - 3);
    else
        grouped = digits;
    return FixedText(size / 1024 / 1024, 2) + u" Mb ( " + grouped + u" bytes )";
}

int16_t AnalyseFile(AnalysisRecord& record) {
    RemoveQuotes(record.FilePath);
    record.FileName = NameOfPath(record.FilePath);

    platform::InputFile file;
    if (record.FilePath.empty() || !file.Open(platform::Utf16ToUtf8(record.FilePath)))
        return static_cast<int16_t>(ReportCannotOpen(record));

    record.FileSize = FormatFileSize(file.GetLength());
    file.Seek(0, platform::InputFile::Origin::Begin);

    int result = 0;
    if (ParserFunction parser = SelectParser(record.FileName))
        result = parser(record, file, record.FileName);
    file.Close();

    TidyTagFields(record);
    return static_cast<int16_t>(result);
}

} // namespace control
