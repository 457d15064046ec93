#include "core/update/AppVersion.h"
#include "gui/about/AboutDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/TrayIcon.h"
#include "support/LocalHttpServer.h"
#include "support/PromptScript.h"

#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>

class tst_frmAbt : public QObject
{
    Q_OBJECT

    // Opens the menu the item is in and clicks the item.
    static void choose(AboutDialog* abt, const QString& name)
    {
        const bool tray = name.startsWith("mnutray");
        tray ? abt->PopupTray(QPoint(10, 10)) : abt->PopupMain(QPoint(10, 10));
        QMenu* menu = tray ? abt->tray : abt->main;
        QAction* action = menu->findChild<QAction*>(name);
        QVERIFY(action && QApplication::activePopupWidget() == menu && menu->actions().contains(action));
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
        settings.SaveSetting("General", "First Run", "False");
        settings.SaveSetting("General", "No Instructions", "1");
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
        QTest::newRow("tray exit") << "mnutrayex" << QString();
    }

    void itemsOpenTheirWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, shown);
        LocalHttpServer server;
        server.route("/versionfiles/zorvane_version.html", {200, AppVersion::VersionText().toUtf8()});
        qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8());
        MainWindow main;
        main.Form_Load({}); // shows the window
        TrayIcon::TrayIconData()->show();
        QTRY_COMPARE(server.requests.size(), 1);
        QPointer<AboutDialog> abt = new AboutDialog(&main);
        PromptScript script;
        QString text;
        script.then([&](QWidget* w) {
            text = qobject_cast<QMessageBox*>(w) ? ':' + qobject_cast<QMessageBox*>(w)->text() : "";
            w->close();
        });
        choose(abt, item);
        QTRY_COMPARE(script.seen.value(0) + text, shown);
        // The About window is unloaded once closed; the menus load it again.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(abt.isNull(), shown == u"frmAbt");
        delete abt;
        QCOMPARE(main.isVisible() && TrayIcon::TrayIconData()->isVisible(), item != u"mnutrayex");
    }
};

QTEST_MAIN(tst_frmAbt)
#include "tst_AboutDialog.moc"
