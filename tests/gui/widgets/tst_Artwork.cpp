#include "gui/widgets/Artwork.h"

#include <QTest>

using namespace Artwork;

class tst_Artwork : public QObject
{
    Q_OBJECT

private slots:
    void pictures();
};

// At 1x and 2x: TransparentColor outside the outline; the window's colour inside would end a row early.
void tst_Artwork::pictures()
{
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage picture = windowPicture(ratio);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(WindowPictureSize));
        QCOMPARE(picture.pixel(0, 0), TransparentColor);
        QCOMPARE(picture.pixel(QPoint(110, 10) * ratio), TransparentColor); // the badge rises above the body
        QVERIFY(picture.pixel(QPoint(220, 150) * ratio) != TransparentColor);
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixel(x, y) == WindowBackColor || qAlpha(picture.pixel(x, y)) != 255)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 at %3x").arg(x).arg(y).arg(ratio)));
            }
        }
        QCOMPARE(buttonImage(1, ratio).size(), ButtonSize * ratio);
        QVERIFY(buttonImage(2, ratio).toImage() != buttonImage(1, ratio).toImage()); // pressed looks different
    }
    for (const QIcon& icon :
         {programIcon(), notificationIcon()}) { // drawn, not empty squares, at menu and desktop sizes
        for (const int size : {16, 256})
            QVERIFY(qAlpha(icon.pixmap(QSize(size, size)).toImage().pixel(size / 2, size / 2)) > 0);
    }
}

QTEST_MAIN(tst_Artwork)
#include "tst_Artwork.moc"
