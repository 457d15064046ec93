#include "engine/ArchiveSession.h"
#include "engine/MUnrarCallback.h"
#include "engine/RunState.h"
#include "engine/UnrarApi.h"
#include "support/PromptScript.h"

#include <QTemporaryDir>
#include <QTest>

using MUnrarCallback::RarCallback;

namespace {
long userData(ArchiveSession& session)
{
    return reinterpret_cast<long>(&session);
}
long address(QByteArray& buffer)
{
    return reinterpret_cast<long>(buffer.data());
}
} // namespace

class tst_MUnrarCallback : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void passwordIsWrittenWithinTheBuffer_data();
    void passwordIsWrittenWithinTheBuffer();
    void volumeMessages_data();
    void volumeMessages();
    void unknownMessagesAreNotHandled_data();
    void unknownMessagesAreNotHandled();
    void dataBlocksOfAnEmptyEntryRaiseNothing();

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
};

void tst_MUnrarCallback::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath("config")));
    RunState::instance() = RunState{};
}

void tst_MUnrarCallback::passwordIsWrittenWithinTheBuffer_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("short") << "abc" << 8 << QByteArray("abc");
    QTest::newRow("size - 1 fills it exactly") << "abcdefg" << 8 << QByteArray("abcdefg");
    QTest::newRow("longer is cut") << "abcdefghij" << 8 << QByteArray("abcdefg");
    QTest::newRow("no character is cut in two") << "abcdeé" << 7 << QByteArray("abcde");
    QTest::newRow("UTF-8 fits") << "ключ" << 9 << QByteArray("ключ");
}

void tst_MUnrarCallback::passwordIsWrittenWithinTheBuffer()
{
    QFETCH(QString, typed);
    QFETCH(int, size);
    QFETCH(QByteArray, written);

    ArchiveSession session;
    QStringList events;
    connect(&session, &ArchiveSession::MissingPassword, this, [&](QString& pw) { events << "MissingPassword " + pw; });
    connect(&session, &ArchiveSession::gotpw, this, [&](QString& pw, bool& useforall) {
        events << "gotpw " + pw;
        useforall = true; // a handler's change reaches the run state
    });
    PromptScript script;
    script.then(PromptScript::password(typed));

    QByteArray buffer(size + 4, 'X');
    QCOMPARE(RarCallback(UCM_NEEDPASSWORD, userData(session), address(buffer), size), 1);
    QCOMPARE(QByteArray(buffer.constData()), written);
    QCOMPARE(buffer.mid(size), QByteArray(4, 'X'));
    QCOMPARE(events, (QStringList{"MissingPassword " + typed, "gotpw " + typed}));
    QVERIFY(RunState::instance().UsePasswordForAll);
}

void tst_MUnrarCallback::volumeMessages_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("answer"); // "continue" for a notification, or the replacement name
    QTest::addColumn<int>("result");

    QTest::newRow("notify, handler goes on") << int(RAR_VOL_NOTIFY) << "continue" << 1;
    QTest::newRow("notify, handler stops") << int(RAR_VOL_NOTIFY) << "" << -1;
    QTest::newRow("ask, replacement that is missing") << int(RAR_VOL_ASK) << "/no/such/volume.rar" << -1;
    QTest::newRow("ask, existing replacement") << int(RAR_VOL_ASK) << "existing" << 1;
}

void tst_MUnrarCallback::volumeMessages()
{
    QFETCH(int, mode);
    QFETCH(QString, answer);
    QFETCH(int, result);

    const QString existing = m_tmp->filePath("set.part2.rar");
    QVERIFY(QFile(existing).open(QIODevice::WriteOnly));
    if (answer == "existing")
        answer = existing;

    ArchiveSession session;
    QString asked;
    connect(&session, &ArchiveSession::NextVolumne, this, [&](QString& name, bool& blnContinue) {
        asked = name;
        blnContinue = answer == "continue";
    });
    connect(&session, &ArchiveSession::MissingFile, this, [&](QString& name, QString& strNewFilename) {
        asked = name;
        strNewFilename = answer;
    });
    const QByteArray volume("/in/s\xc3\xa9t.part2.rar");
    QByteArray buffer = volume;
    buffer.resize(1024);
    QCOMPARE(RarCallback(UCM_CHANGEVOLUME, userData(session), address(buffer), mode), result);
    QCOMPARE(asked, QString("/in/sét.part2.rar"));
    QCOMPARE(QByteArray(buffer.constData()), result == 1 && mode == RAR_VOL_ASK ? existing.toUtf8() : volume);
}

void tst_MUnrarCallback::unknownMessagesAreNotHandled_data()
{
    QTest::addColumn<uint>("msg");
    QTest::addColumn<long>("p2");

    QTest::newRow("volume, odd mode") << uint(UCM_CHANGEVOLUME) << 7L;
    QTest::newRow("wide volume") << uint(UCM_CHANGEVOLUMEW) << long(RAR_VOL_ASK);
    QTest::newRow("wide password") << uint(UCM_NEEDPASSWORDW) << 128L;
    QTest::newRow("unknown") << 99u << 0L;
}

void tst_MUnrarCallback::unknownMessagesAreNotHandled()
{
    QFETCH(uint, msg);
    QFETCH(long, p2);

    ArchiveSession session;
    int events = 0;
    connect(&session, &ArchiveSession::MissingFile, this, [&] { ++events; });
    connect(&session, &ArchiveSession::NextVolumne, this, [&] { ++events; });
    connect(&session, &ArchiveSession::MissingPassword, this, [&] { ++events; });
    PromptScript script; // any prompt would be unexpected
    QByteArray buffer(256, '\0');
    QCOMPARE(RarCallback(msg, userData(session), address(buffer), p2), 0);
    QCOMPARE(events, 0);
    QVERIFY(script.seen.isEmpty());
}

void tst_MUnrarCallback::dataBlocksOfAnEmptyEntryRaiseNothing()
{
    ArchiveSession session;
    int progress = 0;
    connect(&session, &ArchiveSession::Progress, this, [&] { ++progress; });
    QCOMPARE(RarCallback(UCM_PROCESSDATA, userData(session), 0, 4096), 1);
    QCOMPARE(progress, 0);
}

QTEST_MAIN(tst_MUnrarCallback)
#include "tst_MUnrarCallback.moc"
