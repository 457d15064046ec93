#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRgb>
#include <QSize>

// The program's own pictures, drawn from the SVG sources in the resources and
// rendered at the screen's device pixel ratio so they stay sharp on
// high-density screens.
namespace Artwork {

// The main window takes the logical size of its picture.
inline constexpr QSize WindowPictureSize(440, 280);
// Outside the outline the picture has this colour (its top-left pixel).
inline constexpr QRgb TransparentColor = qRgb(255, 0, 255);
// The main window's background colour. The picture never uses it, so no row
// of the window's outline ends early.
inline constexpr QRgb WindowBackColor = qRgb(1, 2, 3);

// The main window's picture at ratio device pixels per logical pixel:
// opaque colours inside the outline, TransparentColor outside, no pixel of
// WindowBackColor. Its device pixel ratio is set to ratio.
QImage windowPicture(qreal ratio);

inline constexpr QSize ButtonSize(24, 24);
// The picture buttons' images, numbered from 1: 1 close up, 2 close down,
// 3 to-tray up, 4 to-tray down. A null pixmap for any other number.
QPixmap buttonImage(int number, qreal ratio);

inline constexpr QSize TipsFrameSize(64, 64);
// The tips window's two animation frames, 1 and 2. A null pixmap otherwise.
QPixmap tipsFrame(int frame, qreal ratio);

// The icon of the program's windows and of its desktop entry.
QIcon programIcon();
// The simpler icon that stays legible at notification-area sizes.
QIcon notificationIcon();

} // namespace Artwork
