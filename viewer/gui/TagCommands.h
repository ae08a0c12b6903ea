#pragma once
#include <functional>
#include <string>

namespace viewer {

class CSonoprobeCtrl;
class CSonoprobeDlg;

// The "&Options" commands that change how the shown file's tags are written and read: the tag
// editor and the code page for tags without Unicode. Both end, once they have changed
// something, by showing the file again through CSonoprobeDlg::RelaunchWithFile.
class TagCommands {
  public:
    // The write of the tag editor's texts, with the arguments of the control's WriteID3v2Tags.
    using TagWriter = std::function<bool(CSonoprobeCtrl& control, const std::u16string& file,
                                         const std::u16string& title, const std::u16string& artist,
                                         const std::u16string& album, const std::u16string& year,
                                         const std::u16string& genre, const std::u16string& comment,
                                         const std::u16string& trackNum, bool useUnicode)>;

    static void EditTags(CSonoprobeDlg& dialog);
    static void SelectCodepage(CSonoprobeDlg& dialog);
    // Puts a writer in the place of the control's (tests); an empty one restores the control's.
    static void SetTagWriter(TagWriter writer);
};

} // namespace viewer
