#pragma once

namespace viewer {

class CSonoprobeDlg;

// The "&Options" commands that change how the shown file's tags are written and read: the tag
// editor and the code page for tags without Unicode. Both end, once they have changed
// something, by showing the file again through CSonoprobeDlg::RelaunchWithFile.
class TagCommands {
  public:
    static void EditTags(CSonoprobeDlg& dialog);
    static void SelectCodepage(CSonoprobeDlg& dialog);
};

} // namespace viewer
