#pragma once

#include <QPixmap>
#include <QString>

namespace kalvex {

// The picture with the given key from the layout table ("claw-open",
// "prize-05", ...), shown at 1:1 in its exact pixel size.
QPixmap loadPicture(const QString& key);

}  // namespace kalvex
