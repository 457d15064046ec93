#include "engine/RunState.h"
#include "settings/modSysTray.h"

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

    void gestureMessages_data()
    {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<qint32>("message");
        QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << 515;
        QTest::newRow("menu gesture") << QSystemTrayIcon::Context << 517;
        QTest::newRow("single click") << QSystemTrayIcon::Trigger << 514;
        QTest::newRow("middle button") << QSystemTrayIcon::MiddleClick << 520;
    }

    void gestureMessages()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(qint32, message);
        QCOMPARE(TrayMessageFor(reason), message);
    }

    void restoreUndoesHiding()
    {
        QWidget form;
        form.show();
        TrayIconData()->setIcon(icon());
        TrayIconData()->show();
        HideToTray(&form);
        QVERIFY(!form.isVisible() && RunState::instance().InTray);
        RestoreFromTray();
        QVERIFY(form.isVisible() && !RunState::instance().InTray && !TrayIconData()->isVisible());
        QCOMPARE(form.windowType(), Qt::Tool); // the task-list entry does not come back
    }
};

QTEST_MAIN(tst_modSysTray)
#include "tst_modSysTray.moc"
