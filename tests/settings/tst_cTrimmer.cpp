#include "settings/cTrimmer.h"

#include <QTest>
#include <QWidget>

constexpr QRgb Back = 0xC0C0C0;

// A pixel a character: '.' outline magenta, ',' the same magenta almost
// see-through, 'b' the background colour, anything else a picture colour.
static QImage picture(const QStringList& rows)
{
    QImage img(rows.value(0).size(), rows.size(), QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QChar c = rows[y][x];
            img.setPixel(x, y,
                         c == '.'   ? 0xFFFF00FF
                         : c == ',' ? 0x20FF00FF
                         : c == 'b' ? 0xFF000000 | Back
                                    : 0xFF203040);
        }
    return img;
}

static QRegion runs(std::initializer_list<QRect> rects)
{
    QRegion region;
    for (const QRect& rect : rects)
        region += rect;
    return region;
}

class tst_cTrimmer : public QObject
{
    Q_OBJECT

private slots:
    void scansRuns_data()
    {
        QTest::addColumn<QImage>("surface");
        QTest::addColumn<uint>("back");
        QTest::addColumn<QRegion>("expected");
        QTest::newRow("solid shape") << picture({"..#..", ".###.", "#####"}) << Back
                                     << runs({{2, 0, 1, 1}, {1, 1, 3, 1}, {0, 2, 5, 1}});
        QTest::newRow("hole, single pixels")
            << picture({".....", ".#.#."}) << Back << runs({{1, 1, 1, 1}, {3, 1, 1, 1}});
        QTest::newRow("run reaches the right edge") << picture({"..##"}) << Back << runs({{2, 0, 2, 1}});
        QTest::newRow("all transparent") << picture({"...", "..."}) << Back << QRegion();
        QTest::newRow("top-left decides what is transparent")
            << picture({"##.", ".##"}) << Back << runs({{2, 0, 1, 1}, {0, 1, 1, 1}});
        QTest::newRow("alpha is ignored") << picture({".,#,b#"}) << Back << runs({{2, 0, 1, 1}});
        QTest::newRow("background ends the row")
            << picture({".##b#", ".#.b#", "b###."}) << Back << runs({{1, 0, 2, 1}, {1, 1, 1, 1}});
        QTest::newRow("background equals transparent")
            << picture({".#", "#.", "##"}) << 0xFF00FFu << runs({{0, 1, 1, 1}, {0, 2, 2, 1}});
    }

    void scansRuns()
    {
        QFETCH(QImage, surface);
        QFETCH(uint, back);
        QFETCH(QRegion, expected);
        QCOMPARE(cTrimmer::TrimRegion(surface, back), expected);
    }

    void shapesTheWindow_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRegion>("expected");
        QTest::newRow("window of the picture's size")
            << picture({".#.", "###"}) << QSize(3, 2) << runs({{1, 0, 1, 1}, {0, 1, 3, 1}});
        QTest::newRow("larger window is cut to the picture")
            << picture({".##", "##."}) << QSize(6, 4) << runs({{1, 0, 2, 1}, {0, 1, 2, 1}});
        QImage highDensity = picture({"..##", "..##", "####", "####"});
        highDensity.setDevicePixelRatio(2);
        QTest::newRow("double-density picture") << highDensity << QSize(2, 2) << runs({{1, 0, 1, 1}, {0, 1, 2, 1}});
    }

    void shapesTheWindow()
    {
        QFETCH(QImage, picture);
        QFETCH(QSize, window);
        QFETCH(QRegion, expected);
        QWidget form;
        QPalette palette = form.palette();
        palette.setColor(form.backgroundRole(), QColor(Back));
        form.setPalette(palette);
        form.setFixedSize(window);
        form.show();
        cTrimmer::TrimForm(&form, picture);
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint) && form.isVisible());
        QCOMPARE(form.mask(), expected);
    }

    void withoutPictureNothingChanges()
    {
        QWidget form;
        form.resize(4, 4);
        cTrimmer::TrimForm(&form, QImage());
        QVERIFY(!form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(form.mask().isEmpty());

        // Whereas an all-transparent picture takes the whole window out of view.
        cTrimmer::TrimForm(&form, picture({"..", ".."}));
        QVERIFY(!form.mask().isEmpty() && !form.mask().intersects(form.rect()));
    }

    void grabReleasesTheMouse()
    {
        QWidget form;
        QVERIFY(!cTrimmer::GrabForm(&form)); // never shown: no window to move
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.grabMouse();
        QCOMPARE(QWidget::mouseGrabber(), &form);
        QVERIFY(!cTrimmer::GrabForm(&form)); // offscreen, no window manager carries out the move
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }
};

QTEST_MAIN(tst_cTrimmer)
#include "tst_cTrimmer.moc"
