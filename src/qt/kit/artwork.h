#pragma once
// The program's pictures, painted at the size they are shown: the icon (128), the banner across the
// top of the main window (161), and the PASS (159) and FAIL (160) pictures of the result windows.
#include <QIcon>
#include <QPixmap>

namespace quillet {

// The picture with this resource number at `size` logical pixels; an empty picture for an unknown
// number.
QPixmap ArtworkPixmap(int resource, QSize size, qreal device_pixel_ratio = 1.0);

// Icon 128 at the usual icon sizes.
QIcon AppIcon();

}  // namespace quillet
