#pragma once
#include "viewer/AudioFileFields.h"
#include "viewer/gui/CMyDialog.h"

class QAction;
class QMenuBar;
class QPlainTextEdit;

namespace viewer {

// "Audio File Text Information": the text report of the shown file in a read-only text field.
// Its size follows the text unless "Save window size" keeps it; "Save window position" keeps
// its place. Escape and a double click on the window's margin close it.
class CShowTextDlg : public CMyDialog {
    Q_OBJECT
  public:
    enum class Kind {
        Modeless, // window mode: at most one, deleted when it closes
        Modal     // text-only mode: the only window the user sees
    };

    CShowTextDlg(const AudioFileFields& fields, QWidget* parent, Kind kind);

    QString Report() const;
    QAction* SaveSizeItem() const { return saveSizeItem_; }
    QAction* SavePositionItem() const { return savePositionItem_; }
    void done(int result) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void CreateMenu();
    QSize TextSize() const;
    void ChooseGeometry();
    void OnSaveSize();
    void OnSavePosition();
    void WriteGeometry(bool position, bool size);
    int MenuHeight() const;

    Kind kind_;
    QMenuBar* menuBar_ = nullptr;
    QPlainTextEdit* edit_ = nullptr;
    QAction* saveSizeItem_ = nullptr;
    QAction* savePositionItem_ = nullptr;
    bool saveSize_ = false;
    bool savePosition_ = false;
    // Settings follow the window only once it has been sized and placed from them.
    bool placed_ = false;
};

} // namespace viewer
