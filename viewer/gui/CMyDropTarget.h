#pragma once
#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

namespace viewer {

// Accepts files dragged from a file manager onto a window and hands their paths over in their
// order. Only local files count; the window only reads them, so the source is never told that
// they were moved.
class CMyDropTarget : public QObject {
    Q_OBJECT
  public:
    using DropHandler = std::function<void(const QStringList& paths)>;
    CMyDropTarget(QWidget* window, DropHandler onDrop);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool dragCarriesFiles_ = false;
    DropHandler onDrop_;
};

} // namespace viewer
