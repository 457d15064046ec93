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
#include <QSet>
#include <QSystemTrayIcon>
#include <QtTest>
#include <memory>

namespace {

const QPoint FormPosition(150, 240);
constexpr int Patience = 15000;

QImage grabScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

bool xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(Patience) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool pointTo(QPoint p)
{
    return xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
}

QWidget* shownTopLevel(const char* className)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// Where the window id sits on screen while a tray holds it: mapped and
// reparented away from the root window. Empty otherwise, and once it is gone.
// Qt cannot tell, as it does not follow the tray's reparenting.
QRect dockedPlace(WId id)
{
    QProcess process;
    process.start(QStringLiteral("xwininfo"),
                  {QStringLiteral("-children"), QStringLiteral("-stats"), QStringLiteral("-id"), QString::number(id)});
    if (!process.waitForFinished(Patience) || process.exitCode() != 0)
        return {};
    const QString info = QString::fromLocal8Bit(process.readAllStandardOutput());
    const auto number = [&](const QString& label) {
        return QRegularExpression(label + QStringLiteral(":\\s*(-?\\d+)")).match(info).captured(1).toInt();
    };
    if (!info.contains(QStringLiteral("IsViewable")) ||
        QRegularExpression(QStringLiteral("Parent window id: .*the root window")).match(info).hasMatch())
        return {};
    return QRect(number(QStringLiteral("Absolute upper-left X")), number(QStringLiteral("Absolute upper-left Y")),
                 number(QStringLiteral("Width")), number(QStringLiteral("Height")));
}

QString shapeMismatch(const QImage& shot, const QWidget& form)
{
    return ShapeCheck::mismatch(shot, form, form.mapToGlobal(QPoint(0, 0)));
}

} // namespace

class DesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shapedWindow();
    void trayIcon();
    void cleanupTestCase();

private:
    // Below every other window, so the tray stays in view above it.
    QWidget m_backdrop;
    std::unique_ptr<MainWindow> m_form;
};

void DesktopSession::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_backdrop.setWindowFlag(Qt::FramelessWindowHint);
    m_backdrop.setAutoFillBackground(true);
    QPalette colours = m_backdrop.palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(ShapeCheck::Backdrop));
    m_backdrop.setPalette(colours);
    m_backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    m_backdrop.show();
    m_backdrop.lower();
    QVERIFY(QTest::qWaitForWindowExposed(&m_backdrop));
}

void DesktopSession::shapedWindow()
{
    m_form = std::make_unique<MainWindow>();
    m_form->move(FormPosition);
    m_form->start({});
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(m_form->mapToGlobal(QPoint(0, 0)), FormPosition);

    QImage shot;
    QString mismatch;
    const bool shaped =
        QTest::qWaitFor([&] { return (mismatch = shapeMismatch(shot = grabScreen(), *m_form)).isEmpty(); }, Patience);
    QVERIFY(ShapeCheck::save(shot, QStringLiteral("main-window.png")));
    QVERIFY2(shaped, qPrintable(mismatch));
}

void DesktopSession::trayIcon()
{
    QVERIFY2(m_form && m_form->isVisible(), "needs the window of shapedWindow()");
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), Patience);
    QVERIFY(!TrayIcon::isInTray());

    auto* button = m_form->findChild<QLabel*>(QStringLiteral("Picture2"));
    QVERIFY(button);
    QVERIFY(pointTo(button->mapToGlobal(button->rect().center())));
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->isVisible() && TrayIcon::isInTray(), Patience);

    // The icon is docked once trayer has reparented it into its panel.
    QSystemTrayIcon* icon = TrayIcon::icon();
    QVERIFY(icon->isVisible());
    QWidget* dock = shownTopLevel("QSystemTrayIconSys");
    QVERIFY(dock);
    const WId dockId = dock->winId();
    QRect place;
    QTRY_VERIFY_WITH_TIMEOUT(!(place = dockedPlace(dockId)).isEmpty(), Patience);
    // trayer's panel runs along the top edge, 32 pixels high.
    const QRect trayBand(0, 0, QGuiApplication::primaryScreen()->geometry().width(), 32);
    QVERIFY2(trayBand.contains(place), qPrintable(ShapeCheck::at(place.topLeft())));

    QCOMPARE(icon->toolTip(), QStringLiteral("Zorvane"));

    // The icon drawn in its place, more than a flat background.
    QImage shot;
    const auto drawn = [&] {
        shot = grabScreen();
        QSet<QRgb> colours;
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x)
                colours.insert(shot.pixel(x, y));
        return colours.size() >= 8;
    };
    const bool inView = QTest::qWaitFor(drawn, Patience);
    QVERIFY(ShapeCheck::save(shot, QStringLiteral("tray.png")));
    QVERIFY2(inView, "the icon is not on screen");

    // A double click on the icon brings the window back where it was, still
    // cut to its outline.
    QVERIFY(pointTo(place.center()));
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                     QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")}));
    QTRY_VERIFY_WITH_TIMEOUT(m_form->isVisible() && !TrayIcon::isInTray(), Patience);
    QCOMPARE(m_form->mapToGlobal(QPoint(0, 0)), FormPosition);
    QTRY_COMPARE_WITH_TIMEOUT(shapeMismatch(grabScreen(), *m_form), QString(), Patience);
}

void DesktopSession::cleanupTestCase()
{
    m_form.reset();
}

QTEST_MAIN(DesktopSession)
#include "desktop_session.moc"
