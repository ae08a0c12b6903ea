#pragma once
#include <QAbstractButton>
#include <QPixmap>

namespace sharedui {

// A button that is only its picture: white pixels are transparent, and neither focus nor the
// pressed state is drawn.
class BitmapButton : public QAbstractButton {
    Q_OBJECT
  public:
    BitmapButton(const QPixmap& picture, QWidget* parent);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
};

} // namespace sharedui
