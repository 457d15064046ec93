#include "core/update/AppVersion.h"
#include "core/update/Downloader.h"
#include "gui/update/UpdateChecker.h"
#include "gui/update/UpdateDialog.h"
#include "support/LocalHttpServer.h"
#include "support/PromptScript.h"

#include <QLabel>
#include <QMessageBox>

class tst_UpdateChecker : public QObject
{
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("content"); // "{v}" is the running program's version
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<QString>("outcome"); // the update window, the "latest" box, or nothing
        // The version rules themselves are AppVersion's; here, what the user gets to see.
        QTest::newRow("newer, from the menu") << 200 << "{v}1" << true << QString("window");
        QTest::newRow("newer, ended by CR LF") << 200 << "{v}1\r\n" << false << QString("window");
        QTest::newRow("equal") << 200 << "{v}" << false << QString();
        QTest::newRow("equal, trailing zeros, from the menu") << 200 << "{v}00" << true << QString("latest");
        QTest::newRow("missing, from the menu") << 404 << "{v}1" << true << QString();
    }

    void check()
    {
        QFETCH(int, status);
        QFETCH(QString, content);
        QFETCH(bool, fromMenu);
        QFETCH(QString, outcome);
        content.replace("{v}", AppVersion::text());
        LocalHttpServer server;
        server.route("/versionfiles/zorvane_version.html", {status, content.toUtf8()});
        qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8() + "/"); // a trailing "/" is no part of the paths
        QWidget mainWindow;
        UpdateChecker check(&mainWindow);
        check.fromMenu = fromMenu;
        PromptScript script;
        QString shown;
        script.then([&](QWidget* w) {
            shown = w->windowTitle() + '|' + qobject_cast<QMessageBox*>(w)->text();
            QTest::mouseClick(qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok), Qt::LeftButton);
        });
        check.start();
        QTRY_VERIFY(!check.findChild<Downloader*>("ng")->isBusy());
        QCOMPARE(shown, outcome == u"latest" ? "Latest Version|You have the latest version of the program." : "");
        auto* update = mainWindow.findChild<UpdateDialog*>();
        QCOMPARE(update != nullptr, outcome == u"window");
        QVERIFY(!update || (update->isVisible() && !update->isModal()));
        // The line break that ends the file is no part of the number shown.
        if (update)
            QCOMPARE(update->findChild<QLabel*>("lblnew")->text(), "New version: " + content.trimmed());
        qputenv("ZORVANE_UPDATE_URL", ""); // set but empty turns the checks off
        QVERIFY(AppVersion::versionFileUrl().isEmpty());
    }
};

QTEST_MAIN(tst_UpdateChecker)
#include "tst_UpdateChecker.moc"
