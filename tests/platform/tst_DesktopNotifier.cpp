#include "platform/DesktopNotifier.h"
#include "support/DataRow.h"
#include "support/TestFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>

namespace {

// Set for the child process that the cases without a server start: Qt opens the
// session bus once per process, and this one has a bus of its own.
constexpr char WithoutServerVariable[] = "ZORVANE_NOTIFY_WITHOUT_SERVER";

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Body = QStringLiteral("Extracted 2 file(s) to /tmp/<Tom> & Jerry");

} // namespace

// A private session bus with the test notification server on it, started anew for each case.
class tst_DesktopNotifier : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_server;
    QString records() const { return m_dir.filePath("records"); }

private slots:
    void initTestCase()
    {
        // The socket lives in the test's folder, so the killed bus leaves nothing behind.
        m_bus.start("dbus-daemon", {"--config-file=" PRIVATE_BUS_CONFIG, "--address=unix:dir=" + m_dir.path(),
                                    "--nofork", "--print-address"});
        QTRY_VERIFY(m_bus.canReadLine());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
    }
    void init() { QTest::failOnWarning(QRegularExpression(".")); }
    void cleanup()
    {
        m_server.kill();
        m_server.waitForFinished();
        QFile::remove(records());
    }
    void cleanupTestCase()
    {
        m_bus.kill();
        m_bus.waitForFinished();
    }

    void notify_data()
    {
        QTest::addColumn<QStringList>("server");  // its options
        QTest::addColumn<QStringList>("folders"); // one notification each
        QTest::addColumn<QString>("sentBody");
        QTest::addColumn<QStringList>("opened"); // by "Open folder", offered when not empty
        QTest::addColumn<int>("finished");
        const QStringList actions{"--capabilities", "body,actions"},
            invoke = actions + QStringList{"--answer", "invoke"};
        const QStringList one{"/tmp/<Tom> & Jerry"}, none;
        dataRow("no actions, closed", QStringList{"--answer", "close"}, one, Body, none, 1);
        dataRow("body escaped for markup", QStringList{"--capabilities", "body,body-markup"}, one,
                "Extracted 2 file(s) to /tmp/&lt;Tom&gt; &amp; Jerry", none, 0);
        dataRow("actions, no folder", invoke, QStringList{""}, Body, none, 1);
        // Another program's notification is answered just before ours: once our id is known, and before it is.
        dataRow("answers for another id first", invoke + QStringList{"--stray"}, one, Body, one, 1);
        dataRow("answered before the reply", invoke + QStringList{"--stray", "--before-reply"}, one, Body, one, 1);
        dataRow("two at once, each its own folder", invoke, QStringList{"/tmp/a", "/tmp/b"}, Body,
                QStringList{"/tmp/a", "/tmp/b"}, 2);
    }

    void notify()
    {
        QFETCH(QStringList, server);
        QFETCH(QStringList, folders);
        QFETCH(QString, sentBody);
        QFETCH(QStringList, opened);
        QFETCH(int, finished);
        m_server.setReadChannel(QProcess::StandardError);
        m_server.start(NOTIFICATION_SERVER,
                       QStringList{qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), "--output", records()} + server);
        QVERIFY(m_server.waitForReadyRead(10000));
        QCOMPARE(m_server.readAll(), "ready\n");
        DesktopNotifier notifier;
        QStringList openedFolders;
        connect(&notifier, &DesktopNotifier::openFolderRequested, this, [&](const QString& f) { openedFolders << f; });
        QSignalSpy finishedSpy(&notifier, &DesktopNotifier::finished);
        for (const QString& folder : folders)
            notifier.notify("Extraction done", Body, folder);

        const auto recorded = [this] { return QString::fromUtf8(readFile(records())).split('\n', Qt::SkipEmptyParts); };
        QTRY_COMPARE(recorded().size(), folders.size());
        const QStringList action = !opened.isEmpty() ? QStringList{"open-folder", "Open folder"} : QStringList();
        for (const QString& line : recorded())
            QCOMPARE(line.split('\t'), QStringList({"Zorvane", "zorvane", "Extraction done", sentBody}) + action);
        QTRY_COMPARE(openedFolders, opened);
        QTRY_COMPARE(finishedSpy.count(), finished);
        // And nothing more comes: once a call to the server returns, every signal it sent
        // before answering is queued in this process, and a short turn of the event loop delivers it.
        const QDBusMessage call =
            QDBusMessage::createMethodCall(Service, "/org/freedesktop/Notifications", Service, "GetCapabilities");
        QCOMPARE(QDBusConnection::sessionBus().call(call).type(), QDBusMessage::ReplyMessage);
        QTest::qWait(50);
        QCOMPARE(openedFolders, opened);
        QCOMPARE(finishedSpy.count(), finished);
    }

    void withoutServer_data()
    {
        QTest::addColumn<QString>("address"); // empty: none set
        dataRow("no address", QString());
        dataRow("bus without a server", qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
    }

    // In a child process, which must end with finished() and print nothing.
    void withoutServer()
    {
        QFETCH(QString, address);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // With a display, the bus library would start a bus of its own.
        for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        if (!address.isEmpty())
            environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        environment.insert("XDG_RUNTIME_DIR", m_dir.path());
        environment.insert(WithoutServerVariable, "1");
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath());
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.readAll(), QByteArray());
        QCOMPARE(child.exitCode(), 0);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!qEnvironmentVariableIsSet(WithoutServerVariable)) {
        tst_DesktopNotifier test;
        return QTest::qExec(&test, argc, argv);
    }
    // The child of withoutServer(): exits 0 once finished() came, 1 after ten seconds without it.
    DesktopNotifier notifier;
    QObject::connect(&notifier, &DesktopNotifier::finished, &app, &QCoreApplication::quit);
    QTimer::singleShot(10000, &app, [] { QCoreApplication::exit(1); });
    notifier.notify("Extraction done", "Extracted 1 file(s) to /tmp", "/tmp");
    return app.exec();
}

#include "tst_DesktopNotifier.moc"
