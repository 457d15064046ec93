// The outline of any picture must stay inside it and hold exactly the pixels
// before a row's first background pixel that are not the transparent colour.
#include "gui/mainwindow/WindowShape.h"

#include <QtEndian>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Width and pixel format, height, background colour and a palette of four
    // colours, then one palette index per pixel: few colours make long runs and
    // many edges. The last format is one the outline reads through a conversion.
    constexpr size_t Header = 2 + 4 + 4 * 4;
    if (size < Header)
        return 0;
    constexpr QImage::Format formats[] = {QImage::Format_ARGB32, QImage::Format_RGB32,
                                          QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888};
    QImage image(1 + data[0] % 64, 1 + data[1] % 64, formats[data[0] / 64]);
    const QRgb back = qFromBigEndian<quint32>(data + 2);
    QRgb palette[4];
    for (int i = 0; i < 4; ++i)
        palette[i] = qFromBigEndian<quint32>(data + 6 + 4 * i);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const size_t at = Header + size_t(y) * image.width() + x;
            image.setPixel(x, y, palette[at < size ? data[at] % 4 : 0]);
        }

    // QRegion joins equal runs of neighbouring rows, so its rectangles need not
    // be one pixel high; what must hold is the set of pixels they cover.
    const QRegion outline = WindowShape::regionFromImage(image, back);
    for (const QRect& rect : outline)
        if (rect.isEmpty() || !image.rect().contains(rect))
            std::abort();
    const QRgb transparent = image.pixel(0, 0) & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        bool beforeBack = true;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = image.pixel(x, y) & RGB_MASK;
            beforeBack = beforeBack && colour != (back & RGB_MASK);
            if (outline.contains(QPoint(x, y)) != (beforeBack && colour != transparent))
                std::abort();
        }
    }
    return 0;
}
