#include "core/update/AppVersion.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/TrayIcon.h"
#include "support/DataRow.h"
#include "support/LocalHttpServer.h"
#include "support/PromptScript.h"

#include <QMessageBox>
#include <QTemporaryDir>

class tst_AppMenus : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.filePath("config")));
        SettingsStore().setValues("General", {{"First Run", "False"}, {"No Instructions", "1"}});
    }

    // Each item is chosen the way the user does: in the menu of the link, or in
    // the icon's right-button menu while the window is in the tray (whose Exit
    // tray-exit.sh tries on the real program). No browser on the test desktop;
    // the server has the running version.
    void itemsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shown");
        dataRow("options", "mnuopt", "frmopt");
        dataRow("tray tips", "mnutraytip", "frmSplash");
        dataRow("tray about", "mnutrayabt", "frmAbt");
        dataRow("web link", "mnuweblink", "QMessageBox:Error opening Web browser.");
        dataRow("update", "mnuupd", "QMessageBox:You have the latest version of the program.");
        dataRow("about", "mnuabout", "frmAbt");
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
        if (item.startsWith("mnutray")) {
            TrayIcon::hideToTray(&main);
            main.handleTrayMessage(TrayIcon::RightButtonUp);
        } else {
            QTest::mouseClick(main.findChild<QWidget*>("Label3"), Qt::LeftButton);
        }
        PromptScript::chooseMenuItem(item);
        QTRY_COMPARE(script.seen.value(0) + text, shown);
        TrayIcon::restoreFromTray();
    }
};

QTEST_MAIN(tst_AppMenus)
#include "tst_AppMenus.moc"
