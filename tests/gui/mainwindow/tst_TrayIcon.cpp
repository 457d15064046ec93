#include "gui/mainwindow/TrayIcon.h"

#include <QTest>

class tst_TrayIcon : public QObject
{
    Q_OBJECT

private slots:
    void hideAndRestore()
    {
        // Offscreen there is no notification area: hidden, nothing would bring the window back.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QWidget window;
        window.show();
        TrayIcon::add(&window, QString(62, 'x') + QStringLiteral("\U0001F600"), QIcon(QPixmap(16, 16)));
        QCOMPARE(TrayIcon::icon()->toolTip(), QString(62, 'x')); // cut to 63 units, never inside a character
        QVERIFY(window.isMinimized() && window.isVisible() && !TrayIcon::icon()->isVisible() && !TrayIcon::isInTray());

        TrayIcon::icon()->show();
        TrayIcon::hideToTray(&window);
        QVERIFY(!window.isVisible() && TrayIcon::isInTray());
        TrayIcon::restoreFromTray();
        QVERIFY(window.isVisible() && !TrayIcon::isInTray() && !TrayIcon::icon()->isVisible());
        QCOMPARE(window.windowType(), Qt::Tool); // the task-list entry does not come back
    }
};

QTEST_MAIN(tst_TrayIcon)
#include "tst_TrayIcon.moc"
