#pragma once
#include <QFont>
#include <QRect>

namespace sharedui {

// Dialog units of a font: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its character height. Dialog layouts given in these units grow
// and shrink with the dialog's font.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;

  private:
    int baseX_;
    int baseY_;
};

} // namespace sharedui
