#include "engine/RunState.h"
#include "settings/modSysTray.h"

#include <QMenu>
#include <QTest>

using namespace modSysTray;

static QIcon icon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkRed);
    return QIcon(pixmap);
}

class tst_modSysTray : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DeleteTrayIcon();
        RunState::instance().InTray = false;
    }

    void cutsTheTip_data()
    {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << "Zorvane"
                               << "Zorvane";
        QTest::newRow("63 fits") << QString(63, 'a') << QString(63, 'a');
        QTest::newRow("64 is cut") << QString(64, 'a') << QString(63, 'a');
        QTest::newRow("ends at a zero") << QString("Zor") + QChar(0) + "vane"
                                        << "Zor";
        QTest::newRow("pair across the limit") << QString(62, 'a') + QStringLiteral("\U0001F600") << QString(62, 'a');
    }

    void cutsTheTip()
    {
        QFETCH(QString, tip);
        QFETCH(QString, shown);
        QCOMPARE(TrayTip(tip), shown);
    }

    void withoutTrayTheWindowIsMinimised()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QWidget form;
        form.show();
        AddTrayIcon(&form, QString(70, 'x'), icon());
        QCOMPARE(TrayIconData()->toolTip(), QString(63, 'x'));
        QVERIFY(!TrayIconData()->icon().isNull() && !TrayIconData()->isVisible());
        QVERIFY(form.isVisible() && form.isMinimized() && form.windowType() != Qt::Tool);
        QVERIFY(!RunState::instance().InTray);
    }

    void iconGestures_data()
    {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<bool>("inTray");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<bool>("menuShown");
        QTest::newRow("double click restores") << QSystemTrayIcon::DoubleClick << true << true << false;
        QTest::newRow("single click does nothing") << QSystemTrayIcon::Trigger << true << false << false;
        QTest::newRow("menu gesture opens the menu") << QSystemTrayIcon::Context << true << false << true;
        QTest::newRow("double click, InTray clear") << QSystemTrayIcon::DoubleClick << false << false << false;
        QTest::newRow("menu gesture, InTray clear") << QSystemTrayIcon::Context << false << false << false;
    }

    void iconGestures()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(bool, inTray);
        QFETCH(bool, restored);
        QFETCH(bool, menuShown);
        QWidget form;
        QMenu mnuTray;
        mnuTray.addAction("Restore");
        SetTrayMenu(&mnuTray);
        form.show();
        TrayIconData()->setIcon(icon());
        TrayIconData()->show();
        HideToTray(&form);
        RunState::instance().InTray = inTray; // the flag alone decides, even for a hidden window

        emit TrayIconData()->activated(reason);
        QCOMPARE(form.isVisible(), restored);
        QCOMPARE(RunState::instance().InTray, inTray && !restored);
        QCOMPARE(mnuTray.isVisible(), menuShown);
        QCOMPARE(TrayIconData()->isVisible(), !restored);
        QCOMPARE(form.windowType(), Qt::Tool); // the task-list entry does not come back
    }
};

QTEST_MAIN(tst_modSysTray)
#include "tst_modSysTray.moc"
