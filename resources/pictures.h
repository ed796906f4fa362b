#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace lanshan {

// The icon of the main window and the about dialog: 16 × 16 and 32 × 32 images.
QIcon programIcon();

// The about dialog's picture: 200 × 200, in colour, stored as a JPEG image.
QPixmap aboutPicture();

// The demo's texts, UTF-8 files compiled in: the keys in the wanted order and the rows.
QString demoKeys();
QString demoRows();

} // namespace lanshan
