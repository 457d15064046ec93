#include "core/update/Downloader.h"
#include "support/LocalHttpServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_Downloader : public QObject
{
    Q_OBJECT

private slots:
    void downloads()
    {
        LocalHttpServer server;
        server.route("/silent", {200, {}, true});
        server.route("/version", {200, "1.62"});
        Downloader downloader;
        downloader.setTimeout(1500);
        QSignalSpy complete(&downloader, &Downloader::completed);
        QSignalSpy failed(&downloader, &Downloader::failed);
        QSignalSpy progress(&downloader, &Downloader::progress);
        // The owner's handler may start the next download, so isBusy is already off there.
        bool busyInHandler = true;
        connect(&downloader, &Downloader::completed, [&] { busyInHandler = downloader.isBusy(); });
        downloader.start(QString(), Downloader::ForceUpdate);
        QVERIFY(!downloader.isBusy());
        downloader.start(server.url() + "/silent", Downloader::ForceUpdate);
        QTRY_COMPARE(server.requests.size(), 1);
        // A new start replaces the running request, which ends without an event.
        downloader.start(server.url() + "/version", Downloader::ForceUpdate);
        QTRY_COMPARE(complete.size(), 1);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(downloader.bytes(), "1.62");
        QVERIFY(!busyInHandler);
        // The forced mode must reach the server as a request that no cache may answer.
        QVERIFY(server.requests.value(1).toLower().contains("cache-control: no-cache"));

        // A missing file and a server that never answers both fail; nothing is left to save.
        progress.clear();
        for (const char* path : {"/missing", "/silent"}) {
            downloader.start(server.url() + path, Downloader::ForceUpdate);
            QTRY_VERIFY_WITH_TIMEOUT(!downloader.isBusy(), 10000);
        }
        QCOMPARE(failed.size(), 2);
        QVERIFY(progress.isEmpty());            // an error page is no data
        QVERIFY(downloader.duration() >= 1400); // counted up to the time-out
        QTemporaryDir dir;
        QVERIFY(!downloader.saveAs(dir.filePath("zvsetup.exe")));
    }
};

QTEST_MAIN(tst_Downloader)
#include "tst_Downloader.moc"
