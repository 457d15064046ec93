#include "gui/mainwindow/WindowShape.h"

#include <QTest>
#include <QWidget>

using Runs = QList<QRect>;

// A character a logical pixel: '.' magenta, anything else a picture colour.
static QImage picture(const QStringList& rows, int ratio = 1)
{
    QImage img(rows.value(0).size() * ratio, rows.size() * ratio, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, rows[y / ratio][x / ratio] == '.' ? 0xFFFF00FF : 0xFF203040);
    img.setDevicePixelRatio(ratio);
    return img;
}

class tst_WindowShape : public QObject
{
    Q_OBJECT

private slots:
    // The window, larger than the picture, keeps the rows' runs of picture pixels.
    void shapesTheWindow_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<Runs>("runs");
        const Runs runs{{2, 0, 1, 1}, {1, 1, 1, 1}, {3, 1, 2, 1}};
        QTest::newRow("top-left colour is transparent, holes") << picture({"##.##", "#.#.."}) << runs;
        QTest::newRow("double density") << picture({"##.##", "#.#.."}, 2) << runs;
        QTest::newRow("no picture: left as it was") << QImage() << Runs{};
    }

    void shapesTheWindow()
    {
        QFETCH(QImage, picture);
        QFETCH(Runs, runs);
        QWidget window;
        window.setFixedSize(6, 4);
        window.show();
        WindowShape::apply(&window, picture);
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowFlags().testFlag(Qt::FramelessWindowHint), !picture.isNull());
        QRegion expected;
        expected.setRects(runs.constData(), runs.size());
        QCOMPARE(window.mask() & window.rect(), expected);
    }

    void grabReleasesTheMouse()
    {
        QWidget window;
        window.grabMouse();
        QVERIFY(!WindowShape::startMove(&window)); // no window manager to carry out the move
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }
};

QTEST_MAIN(tst_WindowShape)
#include "tst_WindowShape.moc"
