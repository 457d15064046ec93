#include "gui/widgets/Artwork.h"

#include <QTest>

using namespace Artwork;

class tst_Artwork : public QObject
{
    Q_OBJECT

private slots:
    // At 1x and 2x: TransparentColor outside the outline, where the badge rises above the
    // body too; the window's colour inside would end a row early.
    void pictures()
    {
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage picture = windowPicture(ratio);
            QCOMPARE(picture.deviceIndependentSize(), QSizeF(WindowPictureSize));
            QCOMPARE(picture.pixel(0, 0), TransparentColor);
            QCOMPARE(picture.pixel(QPoint(110, 10) * ratio), TransparentColor);
            QVERIFY(picture.pixel(QPoint(220, 150) * ratio) != TransparentColor);
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x)
                    QVERIFY(picture.pixel(x, y) != WindowBackColor && qAlpha(picture.pixel(x, y)) == 255);
            }
            QCOMPARE(buttonImage(1, ratio).size(), ButtonSize * ratio);
            QVERIFY(buttonImage(2, ratio).toImage() != buttonImage(1, ratio).toImage()); // pressed looks different
        }
        // Drawn, not empty squares, at menu and desktop sizes.
        for (const QIcon& icon : {programIcon(), notificationIcon()}) {
            for (const int size : {16, 256})
                QVERIFY(qAlpha(icon.pixmap(QSize(size, size)).toImage().pixel(size / 2, size / 2)) > 0);
        }
    }
};

QTEST_MAIN(tst_Artwork)
#include "tst_Artwork.moc"
