#include "gui/widgets/Artwork.h"

#include <QPainter>
#include <QSvgRenderer>
#include <array>

// The resources live in the static core library; without this call nothing
// would pull them into the program.
static void registerArtworkResources()
{
    Q_INIT_RESOURCE(zorvane);
}

namespace Artwork {

namespace {

// What lies outside the window's outline is not part of this group, so the
// picture renders with alpha there and no magenta bleeds into its edge.
const QString WindowElement = QStringLiteral("form");

// Sizes a desktop asks icons for, from menus to large icon views.
constexpr std::array IconSizes{16, 22, 24, 32, 48, 64, 128, 256};

// The SVG file at path drawn onto a transparent image of logicalSize x
// ratio device pixels; only elementId's group when one is given, placed
// where it sits in the document.
QImage render(const QString& path, QSize logicalSize, qreal ratio, const QString& elementId = QString())
{
    static const bool registered = (registerArtworkResources(), true);
    Q_UNUSED(registered);

    QSvgRenderer renderer(path);
    if (!renderer.isValid() || ratio <= 0)
        return {};
    QImage image((QSizeF(logicalSize) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (elementId.isEmpty()) {
        renderer.render(&painter);
    } else {
        // The element's bounds are in the document's coordinates; map them
        // the way the whole document maps onto the image.
        const QRectF viewBox = renderer.viewBoxF();
        const qreal scaleX = image.width() / viewBox.width();
        const qreal scaleY = image.height() / viewBox.height();
        const QRectF bounds = renderer.boundsOnElement(elementId);
        renderer.render(&painter, elementId,
                        QRectF((bounds.x() - viewBox.x()) * scaleX, (bounds.y() - viewBox.y()) * scaleY,
                               bounds.width() * scaleX, bounds.height() * scaleY));
    }
    painter.end();
    image.setDevicePixelRatio(ratio);
    return image;
}

template <std::size_t N>
QPixmap numberedPixmap(const std::array<const char*, N>& paths, int number, QSize logicalSize, qreal ratio)
{
    if (number < 1 || number > int(N))
        return {};
    return QPixmap::fromImage(render(QString::fromLatin1(paths[number - 1]), logicalSize, ratio));
}

// The SVG icon engine draws each size the first time it is asked for, which
// keeps start-up short; without that engine the sizes are drawn up front.
QIcon iconFrom(const QString& path)
{
    QIcon scalable(path);
    if (!scalable.pixmap(QSize(IconSizes[0], IconSizes[0])).isNull())
        return scalable;
    QIcon icon;
    for (const int size : IconSizes)
        icon.addPixmap(QPixmap::fromImage(render(path, QSize(size, size), 1.0)));
    return icon;
}

} // namespace

QImage windowPicture(qreal ratio)
{
    const QImage rendered = render(QStringLiteral(":/images/form.svg"), WindowPictureSize, ratio, WindowElement)
                                .convertToFormat(QImage::Format_ARGB32);
    if (rendered.isNull())
        return {};
    // The window's shape is read from these colours, so every pixel is either
    // exactly the outside colour or an opaque colour that differs from it.
    QImage picture(rendered.size(), QImage::Format_RGB32);
    for (int y = 0; y < rendered.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(rendered.constScanLine(y));
        auto* target = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < rendered.width(); ++x) {
            QRgb pixel = qAlpha(source[x]) < 128 ? TransparentColor : (source[x] | 0xff000000u);
            if (qAlpha(source[x]) >= 128 && (pixel == WindowBackColor || pixel == TransparentColor))
                pixel = qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel) ^ 1);
            target[x] = pixel;
        }
    }
    picture.setDevicePixelRatio(ratio);
    return picture;
}

QPixmap buttonImage(int number, qreal ratio)
{
    constexpr std::array paths{":/images/close-up.svg", ":/images/close-down.svg", ":/images/tray-up.svg",
                               ":/images/tray-down.svg"};
    return numberedPixmap(paths, number, ButtonSize, ratio);
}

QPixmap tipsFrame(int frame, qreal ratio)
{
    constexpr std::array paths{":/images/tips-1.svg", ":/images/tips-2.svg"};
    return numberedPixmap(paths, frame, TipsFrameSize, ratio);
}

QIcon programIcon()
{
    return iconFrom(QStringLiteral(":/images/zorvane.svg"));
}

QIcon notificationIcon()
{
    return iconFrom(QStringLiteral(":/images/zorvane-tray.svg"));
}

} // namespace Artwork
