// A desktop notification server for tests. It owns org.freedesktop.Notifications
// on the bus ADDRESS, appends a record of each notification to FILE and answers it as told.
// Usage: notification_server ADDRESS --output FILE [--capabilities LIST] [--answer none|close|invoke]
//                            [--stray] [--before-reply]
// --capabilities: what GetCapabilities returns, comma-separated (default "body"). --answer: none
// leaves the notification open (the default), close closes it, invoke first uses its action labelled
// "Open folder", if any. --stray: the same answer for an id never given out comes first.
// --before-reply: the answers come before Notify returns the id. It prints "ready" on standard error
// once it owns the name. A record is one line of tab-separated fields, APP_NAME ICON SUMMARY BODY
// [ACTION_KEY ACTION_LABEL]..., with \\, \t and \n for a backslash, tab or newline inside a field.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");

class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    NotificationServer(const QCommandLineParser& options, QFile& output)
        : m_capabilities(options.value("capabilities").split(u',', Qt::SkipEmptyParts))
        , m_answer(options.value("answer"))
        , m_stray(options.isSet("stray"))
        , m_beforeReply(options.isSet("before-reply"))
        , m_output(output)
    {}

public slots:
    QStringList GetCapabilities() const { return m_capabilities; }

    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap&, int)
    {
        const uint id = replacesId ? replacesId : ++m_lastId;
        const qsizetype label = actions.indexOf("Open folder");
        const auto answers = [this, id, key = label % 2 == 1 ? actions[label - 1] : QString()] {
            if (m_stray)
                answer(id + 1000, key);
            answer(id, key);
        };
        // Queued before the record is written, so a call made after seeing the
        // record is answered after these signals.
        if (m_beforeReply)
            answers();
        else
            QTimer::singleShot(0, this, answers);
        QStringList fields = QStringList{appName, appIcon, summary, body} + actions;
        for (QString& field : fields)
            field.replace(u'\\', "\\\\").replace(u'\t', "\\t").replace(u'\n', "\\n");
        m_output.write(fields.join(u'\t').toUtf8() + '\n');
        m_output.flush();
        return id;
    }

signals:
    void NotificationClosed(uint id, uint reason);
    void ActionInvoked(uint id, const QString& actionKey);

private:
    void answer(uint id, const QString& openFolderKey)
    {
        if (m_answer == u"invoke" && !openFolderKey.isEmpty())
            emit ActionInvoked(id, openFolderKey);
        if (m_answer != u"none")
            emit NotificationClosed(id, 2); // dismissed by the user
    }

    const QStringList m_capabilities;
    const QString m_answer;
    const bool m_stray;
    const bool m_beforeReply;
    QFile& m_output;
    uint m_lastId = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument("address", "The bus to serve.");
    parser.addOptions({{"output", "Append records to file.", "file"},
                       {"capabilities", "Capabilities, comma-separated.", "list", "body"},
                       {"answer", "none, close or invoke.", "kind", "none"},
                       {"stray", "Answer for another id first."},
                       {"before-reply", "Answer before the reply."}});
    parser.process(app);
    QFile records(parser.value("output"));
    if (parser.positionalArguments().size() != 1 ||
        !QStringList{"none", "close", "invoke"}.contains(parser.value("answer")))
        parser.showHelp(2);
    QDBusConnection bus = QDBusConnection::connectToBus(parser.positionalArguments().constFirst(), Service);
    NotificationServer server(parser, records);
    if (!records.open(QIODevice::WriteOnly | QIODevice::Append) ||
        !bus.registerObject("/org/freedesktop/Notifications", &server,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
        // An earlier server, just killed, may not have let go of the name yet.
        bus.interface()->registerService(Service, QDBusConnectionInterface::ReplaceExistingService,
                                         QDBusConnectionInterface::AllowReplacement) !=
            QDBusConnectionInterface::ServiceRegistered) {
        std::fputs("notification_server: cannot open the output file or own the name on the bus\n", stderr);
        return 1;
    }
    std::fputs("ready\n", stderr);
    return app.exec();
}

#include "notification_server.moc"
