#include "viewer/CMyCommandLineInfo.h"

#include "platform/CodePage.h"

namespace viewer {

void CMyCommandLineInfo::ParseParam(const std::u16string& parameter, bool isFlag) {
    if (!isFlag) {
        Paths.push_back(parameter);
        return;
    }
    switch (parameter.empty() ? u'\0' : parameter[0]) {
    case u'?':
    case u'h':
        UsageRequested = true;
        ConsoleMode = true;
        break;
    case u'a':
        ConsoleMode = true;
        break;
    case u'd':
        RecursiveScan = true;
        break;
    case u't':
        TextWindowFirst = true;
        break;
    case u'x':
        if (TextWindowFirst) {
            NoMainWindow = true;
            ConsoleMode = true;
        }
        break;
    default:
        break;
    }
}

void CMyCommandLineInfo::Parse(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        std::u16string argument = platform::Utf8ToUtf16(argv[i]);
        bool isFlag = !argument.empty() && argument[0] == u'-';
        ParseParam(isFlag ? argument.substr(1) : argument, isFlag);
    }
}

std::u16string UsageText() {
    return u"Usage: Sonoprobe <FilePath> [-?] [-a] [-d]\n"
           u"where :\n"
           u"  -? or -h - shows this help screen\n"
           u"  -t - automatically open window \"Show Info As Text\" before or instead of the GUI\n"
           u"  -x - if option \"-t\" is present before, the GUI window does't opens\n"
           u"  -a - send information to the text file, defined by command line\n"
           u"  For console output mode <FilePath> may contain wildcards (for example "
           u"\"*.mp3\").\n"
           u"  In this case:\n"
           u"  -d - recursive scaning for all subdirs";
}

} // namespace viewer
