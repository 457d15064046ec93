#include "core/update/AppVersion.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/TrayIcon.h"
#include "support/LocalHttpServer.h"
#include "support/PromptScript.h"

#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>

class tst_AppMenus : public QObject
{
    Q_OBJECT

    // Opens the menu the item is in the way the user does and clicks the item:
    // the menu link, or the icon's right button while the window is in the tray.
    static void choose(MainWindow& main, const QString& name)
    {
        if (name.startsWith("mnutray")) {
            TrayIcon::hideToTray(&main);
            main.handleTrayMessage(TrayIcon::RightButtonUp);
        } else {
            QTest::mouseClick(main.findChild<QWidget*>("Label3"), Qt::LeftButton);
        }
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QAction* action = menu ? menu->findChild<QAction*>(name) : nullptr;
        QVERIFY(action && menu->actions().contains(action));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }

    QTemporaryDir m_tmp;

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.filePath("config")));
        SettingsStore settings;
        settings.setCompany("Quenmarsh");
        settings.setAppName("Zorvane");
        settings.setValue("General", "First Run", "False");
        settings.setValue("General", "No Instructions", "1");
    }

    // No browser on the test desktop; the server has the running version; Exit closes every window.
    void itemsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shown");
        QTest::newRow("options") << "mnuopt" << QString("frmopt");
        QTest::newRow("tray tips") << "mnutraytip" << QString("frmSplash");
        QTest::newRow("tray about") << "mnutrayabt" << QString("frmAbt");
        QTest::newRow("web link") << "mnuweblink" << QString("QMessageBox:Error opening Web browser.");
        QTest::newRow("update") << "mnuupd" << QString("QMessageBox:You have the latest version of the program.");
        QTest::newRow("about") << "mnuabout" << QString("frmAbt");
        QTest::newRow("tray exit") << "mnutrayex" << QString();
    }

    void itemsOpenTheirWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, shown);
        LocalHttpServer server;
        server.route("/versionfiles/zorvane_version.html", {200, AppVersion::text().toUtf8()});
        qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8());
        MainWindow main;
        main.start({}); // shows the window
        TrayIcon::icon()->show();
        QTRY_COMPARE(server.requests.size(), 1);
        PromptScript script;
        QString text;
        script.then([&](QWidget* w) {
            text = qobject_cast<QMessageBox*>(w) ? ':' + qobject_cast<QMessageBox*>(w)->text() : "";
            w->close();
        });
        choose(main, item);
        QTRY_COMPARE(script.seen.value(0) + text, shown);
        QCOMPARE(TrayIcon::icon()->isVisible(), item != u"mnutrayex");
        TrayIcon::restoreFromTray();
    }
};

QTEST_MAIN(tst_AppMenus)
#include "tst_AppMenus.moc"
