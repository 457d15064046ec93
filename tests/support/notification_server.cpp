// A desktop notification server for tests: owns org.freedesktop.Notifications
// on the bus it is given, records every notification and answers it as told.
//
// Usage: notification_server ADDRESS [--capabilities LIST] [--answer KIND] [--stray] [--before-reply]
//                            [--output FILE]
//   ADDRESS              the bus to serve, in the form of DBUS_SESSION_BUS_ADDRESS
//   --capabilities LIST  what GetCapabilities returns, comma-separated; default "body".
//                        "body,actions" lets clients offer actions, "body-markup" asks for escaped bodies
//   --answer KIND        how each notification is answered, after Notify's reply:
//                          none    nothing, the notification stays open (the default)
//                          close   NotificationClosed (reason 2, dismissed)
//                          invoke  ActionInvoked with the key of the action labelled "Open folder",
//                                  when there is one, then NotificationClosed (reason 2)
//   --stray              before that answer, the same answer for an id never given out
//   --before-reply       answers before Notify returns the id, as a server that closes at once may
//   --output FILE        appends the records to FILE instead of standard output
// It prints "ready" on standard error once it owns the name (replacing an earlier
// owner) and runs until it is killed. Ids count up from 1.
//
// Records: one line per Notify, flushed at once, with tab-separated fields
//   APP_NAME  ICON  SUMMARY  BODY  [ACTION_KEY  ACTION_LABEL]...
// where a backslash, tab or newline inside a field is written \\, \t or \n.
// In a shell, `cut -f3` gives the summary and `cut -f5-` the actions.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
constexpr uint ReasonDismissed = 2;
constexpr uint ReasonClosedByCall = 3;
constexpr uint StrayIdOffset = 1000;

QString recordField(QString text)
{
    return text.replace(u'\\', QLatin1String("\\\\"))
        .replace(u'\t', QLatin1String("\\t"))
        .replace(u'\n', QLatin1String("\\n"));
}

// The key of the action labelled "Open folder" in a list of key and label pairs.
QString openFolderKey(const QStringList& actions)
{
    for (qsizetype i = 0; i + 1 < actions.size(); i += 2) {
        if (actions[i + 1] == QLatin1String("Open folder"))
            return actions[i];
    }
    return {};
}

class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    NotificationServer(QStringList capabilities, QString answer, bool stray, bool beforeReply, QFile& output)
        : m_capabilities(std::move(capabilities))
        , m_answer(std::move(answer))
        , m_stray(stray)
        , m_beforeReply(beforeReply)
        , m_output(output)
    {}

public slots:
    QStringList GetCapabilities() const { return m_capabilities; }

    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) const
    {
        vendor = QStringLiteral("Zorvane tests");
        version = QStringLiteral("1.0");
        specVersion = QStringLiteral("1.2");
        return QStringLiteral("notification_server");
    }

    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap&, int)
    {
        const uint id = replacesId ? replacesId : ++m_lastId;
        const auto answers = [this, id, key = openFolderKey(actions)] {
            if (m_stray)
                answer(id + StrayIdOffset, key);
            answer(id, key);
        };
        // Normally after the reply, as a real server answers; queued before the
        // record is written, so a call made after seeing the record is answered
        // after these signals.
        if (m_beforeReply)
            answers();
        else
            QTimer::singleShot(0, this, answers);
        QStringList fields{appName, appIcon, summary, body};
        fields += actions;
        std::transform(fields.begin(), fields.end(), fields.begin(), recordField);
        m_output.write(fields.join(u'\t').toUtf8() + '\n');
        m_output.flush();
        return id;
    }

    void CloseNotification(uint id) { emit NotificationClosed(id, ReasonClosedByCall); }

signals:
    void NotificationClosed(uint id, uint reason);
    void ActionInvoked(uint id, const QString& actionKey);

private:
    void answer(uint id, const QString& openFolderKey)
    {
        if (m_answer == QLatin1String("invoke") && !openFolderKey.isEmpty())
            emit ActionInvoked(id, openFolderKey);
        if (m_answer != QLatin1String("none"))
            emit NotificationClosed(id, ReasonDismissed);
    }

    const QStringList m_capabilities;
    const QString m_answer;
    const bool m_stray;
    const bool m_beforeReply;
    QFile& m_output;
    uint m_lastId = 0;
};

int fail(const char* message)
{
    std::fprintf(stderr, "notification_server: %s\n", message);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A desktop notification server for tests."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("address"), QStringLiteral("The bus to serve."));
    const QCommandLineOption capabilities(QStringLiteral("capabilities"),
                                          QStringLiteral("Capabilities, comma-separated."), QStringLiteral("list"),
                                          QStringLiteral("body"));
    const QCommandLineOption answer(QStringLiteral("answer"), QStringLiteral("none, close or invoke."),
                                    QStringLiteral("kind"), QStringLiteral("none"));
    const QCommandLineOption stray(QStringLiteral("stray"), QStringLiteral("Answer for another id first."));
    const QCommandLineOption beforeReply(QStringLiteral("before-reply"), QStringLiteral("Answer before the reply."));
    const QCommandLineOption output(QStringLiteral("output"), QStringLiteral("Append records to file."),
                                    QStringLiteral("file"));
    parser.addOptions({capabilities, answer, stray, beforeReply, output});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    if (!QStringList{"none", "close", "invoke"}.contains(parser.value(answer)))
        return fail("--answer takes none, close or invoke");

    QFile records(parser.value(output));
    const bool opened = parser.isSet(output) ? records.open(QIODevice::WriteOnly | QIODevice::Append)
                                             : records.open(stdout, QIODevice::WriteOnly);
    if (!opened)
        return fail("cannot open the output file");
    QDBusConnection bus = QDBusConnection::connectToBus(parser.positionalArguments().constFirst(), Service);
    if (!bus.isConnected())
        return fail("cannot connect to the bus");
    NotificationServer server(parser.value(capabilities).split(u',', Qt::SkipEmptyParts), parser.value(answer),
                              parser.isSet(stray), parser.isSet(beforeReply), records);
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
        bus.interface()->registerService(Service, QDBusConnectionInterface::ReplaceExistingService,
                                         QDBusConnectionInterface::AllowReplacement) !=
            QDBusConnectionInterface::ServiceRegistered)
        return fail("cannot own org.freedesktop.Notifications");
    std::fputs("ready\n", stderr);
    return app.exec();
}

#include "notification_server.moc"
