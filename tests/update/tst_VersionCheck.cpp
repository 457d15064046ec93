#include "support/PromptScript.h"
#include "update/LocalHttpServer.h"
#include "update/NetGrab.h"
#include "update/VersionCheck.h"
#include "update/modVersion.h"
#include "update/newversion.h"

#include <QLabel>
#include <QMessageBox>

class tst_VersionCheck : public QObject
{
    Q_OBJECT

private slots:
    void versionNumbers();
    void addresses();
    void check_data();
    void check();
};

void tst_VersionCheck::versionNumbers()
{
    QCOMPARE(modVersion::VersionText(1, 6, 1), "1.61");
    QCOMPARE(modVersion::VersionText(2, 10, 0), "2.100");
    QVERIFY(modVersion::IsNewer("1.62", "1.61"));
    QVERIFY(!modVersion::IsNewer("1.6", "1.61"));
    QVERIFY(!modVersion::IsNewer("1.6100", "1.61"));
    QVERIFY(modVersion::IsNewer("10.0", "9.99"));
    QVERIFY(modVersion::IsNewer("1.61000000000000000001", "1.61")); // beyond a double's precision
    // What a server sends instead of a plain number is never an offer.
    for (const char* content : {"<html><body>9.9</body></html>", "9.9\n", ""})
        QVERIFY2(!modVersion::IsNewer(content, "1.61"), content);
}

void tst_VersionCheck::addresses()
{
    qunsetenv("ZORVANE_UPDATE_URL");
    QCOMPARE(modVersion::VersionFileUrl(), "https://quenmarsh.example/versionfiles/zorvane_version.html");
    qputenv("ZORVANE_UPDATE_URL", "http://127.0.0.1:8080/");
    QCOMPARE(modVersion::InstallerUrl(), "http://127.0.0.1:8080/download/zvsetup.exe");
    // Set but empty turns the check off.
    qputenv("ZORVANE_UPDATE_URL", "");
    QCOMPARE(modVersion::VersionFileUrl(), QString());
}

void tst_VersionCheck::check_data()
{
    // "{v}" is the running program's version; "{v}1" is just above it.
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<bool>("window");
    QTest::addColumn<bool>("latestBox");

    QTest::newRow("newer") << 200 << "{v}1" << false << true << false;
    QTest::newRow("newer, from the menu") << 200 << "{v}1" << true << true << false;
    QTest::newRow("equal") << 200 << "{v}" << false << false << false;
    QTest::newRow("equal, from the menu") << 200 << "{v}" << true << false << true;
    QTest::newRow("lower, from the menu") << 200 << "0.5" << true << false << true;
    QTest::newRow("error page, from the menu") << 200 << "<html>{v}1</html>" << true << false << true;
    QTest::newRow("missing, from the menu") << 404 << "{v}1" << true << false << false;
}

void tst_VersionCheck::check()
{
    QFETCH(int, status);
    QFETCH(QString, content);
    QFETCH(bool, fromMenu);
    QFETCH(bool, window);
    QFETCH(bool, latestBox);
    content.replace("{v}", modVersion::VersionText());
    LocalHttpServer server;
    server.route("/versionfiles/zorvane_version.html", {status, content.toUtf8()});
    qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8());
    QWidget mainWindow;
    mainWindow.show();
    VersionCheck check(&mainWindow);
    check.frommenu = fromMenu;
    PromptScript script;
    QString strBox;
    if (latestBox)
        script.then([&](QWidget* prompt) {
            auto* box = qobject_cast<QMessageBox*>(prompt);
            QVERIFY(box && box->icon() == QMessageBox::NoIcon && box->standardButtons() == QMessageBox::Ok);
            strBox = box->windowTitle() + '|' + box->text();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });

    check.Start();
    QTRY_VERIFY(!check.findChild<NetGrab*>("ng")->Busy());

    QCOMPARE(server.requests.size(), 1);
    QCOMPARE(strBox, latestBox ? "Latest Version|You have the latest version of the program." : "");
    QCOMPARE(script.seen.size(), latestBox ? 1 : 0);
    auto* update = mainWindow.findChild<newversion*>();
    QCOMPARE(update != nullptr, window);
    if (!update)
        return;
    QVERIFY(update->isVisible() && update->isWindow() && !update->isModal());
    QCOMPARE(update->findChild<QLabel*>("lblold")->text(), "Installed version: " + modVersion::VersionText());
    QCOMPARE(update->findChild<QLabel*>("lblnew")->text(), "New version: " + content);
}

QTEST_MAIN(tst_VersionCheck)
#include "tst_VersionCheck.moc"
