#pragma once
#include <QIcon>
#include <QPixmap>

namespace sharedui {

// The programs' pictures, drawn rather than stored so that they stay sharp at every size.
class ProductArt {
  public:
    // The programs' icon: a sound wave under a magnifying lens.
    static QIcon ApplicationIcon();
    static QPixmap ApplicationPixmap(int size);
    // The wait window's hourglass.
    static QPixmap WaitPixmap(int size);
    // The Donate button's 74 x 21 picture; white stands for "transparent".
    static QPixmap DonatePixmap();
};

} // namespace sharedui
