#pragma once

#include "gui/widgets/Artwork.h"

#include <QDir>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <functional>

// Compares a screenshot with the main window's outline, wherever the window
// sits on it. Colours are compared without their alpha, which a screenshot may
// not carry.
namespace ShapeCheck {

// The desktop behind the window in both display sessions.
constexpr QRgb Backdrop = qRgb(0x3a, 0x7d, 0x44);

// Empty when the screen shows the window exactly cut to its picture's outline,
// with its top-left corner at origin: the backdrop wherever the picture is
// outside it, the picture itself where no control draws.
inline QString mismatch(const QImage& shot, const QWidget& window, QPoint origin)
{
    const QImage picture = Artwork::windowPicture(1.0);
    const auto screen = [&](QPoint p) { return shot.pixel(origin + p) | ~RGB_MASK; };
    const auto at = [](QPoint p) { return QString("(%1, %2)").arg(p.x()).arg(p.y()); };
    if (!shot.rect().contains(QRect(origin, window.size())))
        return "the window at " + at(origin) + " is not wholly on the screen";
    // Body centre, badge centre and the header band.
    for (const QPoint p : {QPoint(220, 150), QPoint(54, 46), QPoint(300, 45)}) {
        if (screen(p) != (picture.pixel(p) | ~RGB_MASK))
            return "inside the outline, " + at(p) + " does not show the picture";
    }
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            const bool outside = (picture.pixel(x, y) | ~RGB_MASK) == Artwork::TransparentColor;
            if (outside != (screen(QPoint(x, y)) == (Backdrop | ~RGB_MASK)))
                return at(QPoint(x, y)) + " is on the wrong side of the outline";
        }
    }
    return {};
}

// Keeps the shot for people to look at, whatever the outcome.
inline bool save(const QImage& shot, const QString& name)
{
    return QDir().mkpath(ZORVANE_SCREENSHOTS) && shot.save(ZORVANE_SCREENSHOTS "/" + name);
}

// Waits until a screenshot that grab takes shows the window cut to its outline,
// its top-left corner where origin finds it on the shot, and keeps the last shot
// under name. Empty when it came, else what was wrong.
inline QString waitForShape(const QWidget& window, const std::function<QImage()>& grab,
                            const std::function<QPoint(const QImage&)>& origin, const QString& name)
{
    QImage shot;
    QString wrong = "no screenshot";
    const bool shaped = QTest::qWaitFor(
        [&] { return !(shot = grab()).isNull() && (wrong = mismatch(shot, window, origin(shot))).isEmpty(); }, 15000);
    return save(shot, name) || !shaped ? wrong : "the shot could not be kept";
}

} // namespace ShapeCheck
