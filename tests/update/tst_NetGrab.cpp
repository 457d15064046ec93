#include "update/LocalHttpServer.h"
#include "update/NetGrab.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using How = LocalHttpServer::How;

class tst_NetGrab : public QObject
{
    Q_OBJECT

private slots:
    void busyAndDurationThroughADownload();
    void startWhileBusyReplacesTheRequest();
    void failuresEndWithoutFreezing_data();
    void failuresEndWithoutFreezing();
    void saveAs_data();
    void saveAs();
};

void tst_NetGrab::busyAndDurationThroughADownload()
{
    LocalHttpServer server;
    const QByteArray body = QByteArray(1000, 'a') + QByteArray(1000, 'b');
    server.route("/slow", {200, body, How::Slow});
    NetGrab ng;
    QSignalSpy progress(&ng, &NetGrab::DownloadProgress);
    bool blnBusyInHandler = true;
    connect(&ng, &NetGrab::DownloadComplete, [&] { blnBusyInHandler = ng.Busy(); });
    QSignalSpy complete(&ng, &NetGrab::DownloadComplete);

    ng.DownloadStart(QString(), NetGrab::ForceUpdate);
    QVERIFY(!ng.Busy());
    ng.DownloadStart(server.url() + "/slow", NetGrab::ForceUpdate);
    QVERIFY(ng.Busy());
    QCOMPARE(ng.Duration(), 0);

    QTRY_COMPARE(complete.size(), 1);
    QCOMPARE(complete.first().first().toInt(), 2000);
    QVERIFY(!blnBusyInHandler);
    QCOMPARE(ng.Bytes(), body);
    QVERIFY2(!progress.isEmpty() && progress.first().first().toInt() < 2000, "no progress before the end");
    QVERIFY2(ng.Duration() >= LocalHttpServer::SlowPauseMs - 50 && ng.Duration() < 10000,
             qPrintable(QString::number(ng.Duration())));
    // Mode 16 must reach the server as a request that no cache may answer.
    QVERIFY(server.requests.value(0).toLower().contains("cache-control: no-cache"));
}

void tst_NetGrab::startWhileBusyReplacesTheRequest()
{
    LocalHttpServer server;
    server.route("/silent", {200, {}, How::Silent});
    server.route("/version", {200, "1.62"});
    NetGrab ng;
    QSignalSpy complete(&ng, &NetGrab::DownloadComplete);
    QSignalSpy failed(&ng, &NetGrab::DownloadFailed);

    ng.DownloadStart(server.url() + "/silent", NetGrab::ForceUpdate);
    QTest::qWait(1000);
    ng.DownloadStart(server.url() + "/version", NetGrab::ForceUpdate);
    QTRY_COMPARE(complete.size(), 1);
    QTest::qWait(300); // room for a late event of the replaced request

    QCOMPARE(complete.size() + failed.size(), 1);
    QCOMPARE(ng.Bytes(), QByteArray("1.62"));
    QVERIFY2(ng.Duration() < 1000, "the duration was not counted from the second start");
}

void tst_NetGrab::failuresEndWithoutFreezing_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<How>("how");

    QTest::newRow("never answers") << 200 << How::Silent;
    QTest::newRow("drops the connection") << 200 << How::Drop;
    QTest::newRow("missing file") << 404 << How::Answer;
}

void tst_NetGrab::failuresEndWithoutFreezing()
{
    QFETCH(int, status);
    QFETCH(How, how);
    LocalHttpServer server;
    server.route("/file", {status, "<html>gone</html>", how});
    NetGrab ng;
    ng.setTimeout(1500);
    QSignalSpy failed(&ng, &NetGrab::DownloadFailed);
    QSignalSpy progress(&ng, &NetGrab::DownloadProgress);
    int intBeats = 0;
    QTimer heartbeat;
    connect(&heartbeat, &QTimer::timeout, [&] { ++intBeats; });
    heartbeat.start(50);

    ng.DownloadStart(server.url() + "/file", NetGrab::ForceUpdate);
    QTRY_VERIFY_WITH_TIMEOUT(!ng.Busy(), 10000);

    QCOMPARE(failed.size(), 1);
    QVERIFY(failed.first().first().toInt() != 0);
    QVERIFY(progress.isEmpty());
    // The loop kept turning for the whole wait.
    QVERIFY2(intBeats >= ng.Duration() / 100,
             qPrintable(QStringLiteral("%1 in %2 ms").arg(intBeats).arg(ng.Duration())));
}

void tst_NetGrab::saveAs_data()
{
    QTest::addColumn<QByteArrayList>("downloads");
    QTest::addColumn<bool>("saved");

    QTest::newRow("before any download") << QByteArrayList{} << false;
    QTest::newRow("after a failure") << QByteArrayList{"/data", "/missing"} << false;
    QTest::newRow("after an empty body") << QByteArrayList{"/empty"} << false;
    QTest::newRow("over a longer file") << QByteArrayList{"/data"} << true;
}

void tst_NetGrab::saveAs()
{
    QFETCH(QByteArrayList, downloads);
    QFETCH(bool, saved);
    const QByteArray data("new\0\r\nbytes", 11);
    const QByteArray old("an older and much longer file that was there before the download\n");
    LocalHttpServer server;
    server.route("/data", {200, data});
    server.route("/empty", {200, {}});
    QTemporaryDir dir;
    QFile file(dir.filePath("zvsetup.exe"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    file.close();

    NetGrab ng;
    for (const QByteArray& path : downloads) {
        ng.DownloadStart(server.url() + path, NetGrab::ForceUpdate);
        QTRY_VERIFY(!ng.Busy());
    }

    QCOMPARE(ng.SaveAs(file.fileName()), saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved ? data : old);
}

QTEST_MAIN(tst_NetGrab)
#include "tst_NetGrab.moc"
