#pragma once
#include <QDialog>

#include <cstdint>

class QComboBox;

namespace sharedui {

// Chooses the code page with which tag text stored without Unicode is read: a list of the
// code pages of CodePageList and "Done". The caller sets SelectedCodePage before running the
// dialog and reads it after it ended with Accepted; Escape and the close box change nothing.
class CSelectCodepageDlg : public QDialog {
    Q_OBJECT
  public:
    // Each program has its own template: the viewer's is dialog 134 with the list 1007, the
    // tagger's dialog 108 with the list 1034.
    enum class Program { Viewer, Tagger };

    // fontPointSize: the viewer passes its "FontSize" setting, the tagger the template's 9.
    CSelectCodepageDlg(Program program, int fontPointSize, QWidget* parent);

    QComboBox* List() const { return list_; }
    void accept() override;

    uint32_t SelectedCodePage = 0;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls(Program program);
    void InitDialog();

    QComboBox* list_ = nullptr;
    bool initialised_ = false;
};

} // namespace sharedui
