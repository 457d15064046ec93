#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

// Shows desktop notifications through the notification server on the session
// bus. Every bus call is asynchronous, so the caller never waits for the bus;
// without a bus or a server nothing is shown and nothing is printed.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifier(QObject* parent = nullptr);

    // Sends summary and body under the program's name and icon. When folder is
    // not empty and the server offers actions, the notification offers "Open
    // folder".
    void notify(const QString& summary, const QString& body, const QString& folder);

signals:
    // The user chose "Open folder" on the notification sent for folder.
    void openFolderRequested(const QString& folder);
    // Once per notify(), never before it returns: the notification was closed
    // or its action used, or it could not be shown. A server may keep a
    // notification open for as long as it likes, so callers set their own limit.
    void finished();

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id);

private:
    enum class Answer
    {
        Closed,
        OpenFolder
    };

    void listenForAnswers();
    void send(const QString& summary, const QString& body, const QString& folder, const QStringList& capabilities);
    void onReply(std::optional<uint> id, const QString& folder); // no id: nothing could be shown
    void handleAnswer(uint id, Answer answer);
    void finishLater();

    bool m_listening = false;
    QHash<uint, QString> m_shownFolders; // the folder of each notification still on screen, by its id
    int m_pendingReplies = 0;            // Notify calls whose id has not come back yet
    QHash<uint, Answer> m_earlyAnswers;  // the first answer for each unknown id while a reply is due
};
