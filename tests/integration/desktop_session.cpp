// The main window and its notification-area icon on a real X display, driven
// with real pointer events. desktop-session.sh runs it under Xvfb with trayer
// as the notification area and settings that bring up no other window; the
// screenshots are kept for people to look at.
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/TrayIcon.h"
#include "support/ShapeCheck.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QtTest>

class DesktopSession : public QObject
{
    Q_OBJECT

    static constexpr int Patience = 15000;
    const QPoint m_position{150, 240};
    QWidget m_backdrop; // below every other window, so the tray stays in view above it

    static QImage grabScreen() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }
    QString waitForShape(const QWidget& form, const QString& name) const
    {
        return ShapeCheck::waitForShape(
            form, grabScreen, [this](const QImage&) { return m_position; }, name);
    }

    static QString run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        const bool ok = process.waitForFinished(Patience) && process.exitStatus() == QProcess::NormalExit &&
                        process.exitCode() == 0;
        return ok ? QString::fromLocal8Bit(process.readAllStandardOutput()) : QString();
    }
    // Real pointer clicks, `count` of them, at p on the screen.
    static void clickAt(QPoint p, int count)
    {
        run("xdotool", {"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "--repeat",
                        QString::number(count), "--delay", "80", "1"});
    }
    // Where the window id sits on screen while a tray holds it: mapped and
    // reparented away from the root window; empty otherwise. Qt cannot tell,
    // as it does not follow the tray's reparenting.
    static QRect dockedPlace(WId id)
    {
        const QString info = run("xwininfo", {"-children", "-stats", "-id", QString::number(id)});
        if (!info.contains("IsViewable") || info.contains(QRegularExpression("Parent window id: .*the root window")))
            return {};
        const auto number = [&](const QString& label) {
            return QRegularExpression(label + ":\\s*(-?\\d+)").match(info).captured(1).toInt();
        };
        return {number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"), number("Height")};
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), "xcb");
        m_backdrop.setWindowFlag(Qt::FramelessWindowHint);
        m_backdrop.setPalette(QPalette(Qt::black, QColor(ShapeCheck::Backdrop)));
        m_backdrop.setAutoFillBackground(true);
        m_backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
        m_backdrop.show();
        m_backdrop.lower();
        QVERIFY(QTest::qWaitForWindowExposed(&m_backdrop));
    }

    // The window comes up cut to its outline. Its button sends it to trayer's
    // panel, 32 pixels high along the top edge, where the icon is drawn; a
    // double click on the icon brings the window back where it was, still cut
    // to its outline.
    void shapedWindowAndTrayIcon()
    {
        MainWindow form;
        form.move(m_position);
        form.start({});
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.mapToGlobal(QPoint(0, 0)), m_position);
        QCOMPARE(waitForShape(form, "main-window.png"), QString());
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), Patience);
        auto* button = form.findChild<QLabel*>("Picture2");
        clickAt(button->mapToGlobal(button->rect().center()), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible() && TrayIcon::isInTray(), Patience);
        QVERIFY(TrayIcon::icon()->isVisible());
        WId dock = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            dock = widget->inherits("QSystemTrayIconSys") && widget->isVisible() ? widget->winId() : dock;
        QRect place;
        QTRY_VERIFY_WITH_TIMEOUT(dock && !(place = dockedPlace(dock)).isEmpty(), Patience);
        QVERIFY(QRect(0, 0, QGuiApplication::primaryScreen()->geometry().width(), 32).contains(place));
        QImage shot;
        const bool drawn = QTest::qWaitFor(
            [&] {
                shot = grabScreen();
                QSet<QRgb> colours;
                for (int y = place.top(); y <= place.bottom(); ++y)
                    for (int x = place.left(); x <= place.right(); ++x)
                        colours.insert(shot.pixel(x, y));
                return colours.size() >= 8; // more than a flat background
            },
            Patience);
        QVERIFY(ShapeCheck::save(shot, "tray.png"));
        QVERIFY2(drawn, "the icon is not on screen");

        clickAt(place.center(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(form.isVisible() && !TrayIcon::isInTray(), Patience);
        QCOMPARE(form.mapToGlobal(QPoint(0, 0)), m_position);
        QCOMPARE(waitForShape(form, "main-window-back.png"), QString());
    }
};

QTEST_MAIN(DesktopSession)
#include "desktop_session.moc"
