#include "gui/mainwindow/TrayIcon.h"

#include <QTest>

using namespace TrayIcon;

class tst_modSysTray : public QObject
{
    Q_OBJECT

private slots:
    void hideAndRestore()
    {
        // Offscreen there is no notification area: hidden, nothing would bring the window back.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QWidget form;
        form.show();
        AddTrayIcon(&form, QString(62, 'x') + QStringLiteral("\U0001F600"), QIcon(QPixmap(16, 16)));
        QCOMPARE(TrayIconData()->toolTip(), QString(62, 'x')); // cut to 63 units, never inside a character
        QVERIFY(form.isMinimized() && form.isVisible() && !TrayIconData()->isVisible() && !isInTray());

        TrayIconData()->show();
        HideToTray(&form);
        QVERIFY(!form.isVisible() && isInTray());
        RestoreFromTray();
        QVERIFY(form.isVisible() && !isInTray() && !TrayIconData()->isVisible());
        QCOMPARE(form.windowType(), Qt::Tool);                           // the task-list entry does not come back
        QCOMPARE(TrayMessageFor(QSystemTrayIcon::Context), TrayRightUp); // on every desktop, opens the menu
    }
};

QTEST_MAIN(tst_modSysTray)
#include "tst_TrayIcon.moc"
