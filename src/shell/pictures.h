#pragma once
// The pictures the windows carry: the relief map, the sky, the knob, the
// logo, the icon and the grabbing hand. Each is loaded from the program's
// resources; a plain stand-in of the right size serves when one is missing.

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QString>

namespace shell {

QImage reliefMapPicture();   // 1327 x 1797, 24-bit (twice that, of 500 m, on a high-density screen)
QImage skyPicture();         // 640 x 480
QImage knobPicture();        // 100 x 100
QImage logoPicture();        // 190 x 70
QImage iconPicture();        // 32 x 32
const QCursor& grabbingHandCursor();
// The splash window's animation (an animated GIF in the resources).
QString splashAnimationPath();
// The application icon, drawn for each size a desktop asks for.
QIcon applicationIcon();

}  // namespace shell
