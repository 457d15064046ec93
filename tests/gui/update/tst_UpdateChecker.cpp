#include "core/update/AppVersion.h"
#include "core/update/Downloader.h"
#include "gui/update/UpdateChecker.h"
#include "gui/update/UpdateDialog.h"
#include "support/DataRow.h"
#include "support/LocalHttpServer.h"
#include "support/PromptScript.h"

#include <QLabel>
#include <QMessageBox>

class tst_UpdateChecker : public QObject
{
    Q_OBJECT

private slots:
    // The version rules themselves are AppVersion's; here, what the user gets to see:
    // the update window, the "latest" box, or nothing.
    void check_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("content"); // "{v}" is the running program's version
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<QString>("outcome");
        dataRow("newer, ended by CR LF, at start-up", 200, "{v}1\r\n", false, "window");
        dataRow("equal, at start-up", 200, "{v}", false, "");
        dataRow("equal, trailing zeros, from the menu", 200, "{v}00", true, "latest");
        dataRow("missing, from the menu", 404, "{v}1", true, "");
    }

    void check()
    {
        QFETCH(int, status);
        QFETCH(QString, content);
        QFETCH(bool, fromMenu);
        QFETCH(QString, outcome);
        LocalHttpServer server;
        server.route("/versionfiles/zorvane_version.html",
                     {status, content.replace("{v}", AppVersion::text()).toUtf8()});
        qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8() + "/"); // a trailing "/" is no part of the paths
        QWidget mainWindow;
        UpdateChecker check(&mainWindow);
        check.fromMenu = fromMenu;
        PromptScript script;
        QString shown;
        script.then([&](QWidget* w) {
            shown = w->windowTitle() + '|' + qobject_cast<QMessageBox*>(w)->text();
            PromptScript::leave(w, "Enter");
        });
        check.start();
        QTRY_VERIFY(!check.findChild<Downloader*>("ng")->isBusy());
        QCOMPARE(shown, outcome == u"latest" ? "Latest Version|You have the latest version of the program." : "");
        auto* update = mainWindow.findChild<UpdateDialog*>();
        QCOMPARE(update && update->isVisible() && !update->isModal(), outcome == u"window");
        // The line break that ends the file is no part of the number shown.
        QVERIFY(!update || update->findChild<QLabel*>("lblnew")->text() == "New version: " + content.trimmed());
        qputenv("ZORVANE_UPDATE_URL", ""); // set but empty turns the checks off
        QVERIFY(AppVersion::versionFileUrl().isEmpty());
    }
};

QTEST_MAIN(tst_UpdateChecker)
#include "tst_UpdateChecker.moc"
