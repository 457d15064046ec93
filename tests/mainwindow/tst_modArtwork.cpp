#include "mainwindow/modArtwork.h"

#include <QTest>

using namespace modArtwork;

class tst_modArtwork : public QObject
{
    Q_OBJECT

private slots:
    void formPicture_data() { ratios(); }
    void formPicture();
    void buttonsAndFrames_data() { ratios(); }
    void buttonsAndFrames();
    void iconsAtSmallAndLargeSizes();

private:
    void ratios()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("1x") << qreal(1);
        QTest::newRow("2x") << qreal(2);
    }
};

void tst_modArtwork::formPicture()
{
    QFETCH(qreal, ratio);
    const QImage picture = FormPicture(ratio);
    QCOMPARE(picture.size(), FormPictureSize * ratio);
    QCOMPARE(picture.deviceIndependentSize(), QSizeF(FormPictureSize));

    const auto at = [&](int x, int y) { return picture.pixel(QPoint(x, y) * ratio); };
    const int right = FormPictureSize.width() - 1;
    const int bottom = FormPictureSize.height() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
        QCOMPARE(at(corner.x(), corner.y()), TransparentColor);
    // The badge rises above the body, so the outline is not a rectangle.
    QCOMPARE(at(110, 10), TransparentColor);
    QVERIFY(at(54, 46) != TransparentColor);
    QVERIFY(at(54, 12) != TransparentColor);
    QVERIFY(at(220, 150) != TransparentColor);

    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (line[x] == FormBackColor || qAlpha(line[x]) != 255)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(line[x], 8, 16)));
        }
    }
}

void tst_modArtwork::buttonsAndFrames()
{
    QFETCH(qreal, ratio);
    QList<QImage> buttons;
    for (int i = 1; i <= 4; ++i) {
        const QPixmap button = ButtonImage(i, ratio);
        QCOMPARE(button.size(), ButtonSize * ratio);
        QCOMPARE(button.devicePixelRatio(), ratio);
        QVERIFY(button.hasAlphaChannel());
        buttons.append(button.toImage());
    }
    QVERIFY(ButtonImage(0, ratio).isNull());
    QVERIFY(ButtonImage(5, ratio).isNull());
    QVERIFY(buttons[1] != buttons[0]);
    QVERIFY(buttons[3] != buttons[2]);
    QVERIFY(buttons[2] != buttons[0]);

    const QPixmap dim = TipsFrame(1, ratio);
    const QPixmap lit = TipsFrame(2, ratio);
    QCOMPARE(dim.size(), TipsFrameSize * ratio);
    QCOMPARE(lit.size(), TipsFrameSize * ratio);
    QVERIFY(dim.toImage() != lit.toImage());
    QVERIFY(TipsFrame(0, ratio).isNull());
    QVERIFY(TipsFrame(3, ratio).isNull());
}

void tst_modArtwork::iconsAtSmallAndLargeSizes()
{
    for (const QIcon& icon : {ProgramIcon(), TrayIcon()}) {
        for (const int size : {16, 256}) {
            const QImage image = icon.pixmap(QSize(size, size)).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // Drawn, not an empty square: the centre is covered.
            QVERIFY(qAlpha(image.pixel(size / 2, size / 2)) > 0);
        }
    }
}

QTEST_MAIN(tst_modArtwork)
#include "tst_modArtwork.moc"
