#include "engine/UnrarApi.h"
#include "engine/modResultMessages.h"

#include <QTest>

using namespace modResultMessages;

class tst_modResultMessages : public QObject
{
    Q_OBJECT

private slots:
    void commentMessages_data();
    void commentMessages();
    void openMessages_data();
    void openMessages();
    void processMessages_data();
    void processMessages();
};

void tst_modResultMessages::commentMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("no memory") << ERAR_NO_MEMORY << "Not enough memory";
    QTest::newRow("bad data") << ERAR_BAD_DATA << "Broken comment";
    QTest::newRow("bad archive is not known here") << ERAR_BAD_ARCHIVE << "Unknown error";
    QTest::newRow("unknown format") << ERAR_UNKNOWN_FORMAT << "Unknown comment format";
    QTest::newRow("small buffer") << ERAR_SMALL_BUF << "Buffer too small, comments not completely read";
    QTest::newRow("unexpected") << 99 << "Unknown error";
}

void tst_modResultMessages::commentMessages()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QCOMPARE(CommentErrorMessage(code), message);
}

void tst_modResultMessages::openMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("no memory") << ERAR_NO_MEMORY << "Not enough memory";
    QTest::newRow("bad data") << ERAR_BAD_DATA << "Archive header broken";
    QTest::newRow("bad archive") << ERAR_BAD_ARCHIVE << "File is not a RAR archive";
    QTest::newRow("unknown format is unknown here") << ERAR_UNKNOWN_FORMAT << "Unknown error";
    QTest::newRow("open") << ERAR_EOPEN << "Cannot open file";
    QTest::newRow("create is not an open failure") << ERAR_ECREATE << "Unknown error";
    QTest::newRow("negative") << -1 << "Unknown error";
}

void tst_modResultMessages::openMessages()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QCOMPARE(OpenErrorMessage(code), message);
}

void tst_modResultMessages::processMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("passwordInvolved");
    QTest::addColumn<QString>("message");

    QTest::newRow("crc, no password") << ERAR_BAD_DATA << false << "CRC error";
    QTest::newRow("crc, password") << ERAR_BAD_DATA << true << "CRC error - Wrong password?";
    QTest::newRow("bad password") << ERAR_BAD_PASSWORD << true << "CRC error - Wrong password?";
    QTest::newRow("bad volume") << ERAR_BAD_ARCHIVE << false << "Bad volume";
    QTest::newRow("unknown format") << ERAR_UNKNOWN_FORMAT << false << "Unknown archive format";
    QTest::newRow("volume open") << ERAR_EOPEN << false << "Volume open error";
    QTest::newRow("create") << ERAR_ECREATE << false << "File creation error";
    QTest::newRow("close") << ERAR_ECLOSE << false << "File close error";
    QTest::newRow("read") << ERAR_EREAD << false << "Read error";
    QTest::newRow("write") << ERAR_EWRITE << true << "Write error";
    QTest::newRow("program's own no password") << NoPasswordSupplied << true << "No password supplied";
    QTest::newRow("library's missing password") << ERAR_MISSING_PASSWORD << false << "No password supplied";
    QTest::newRow("no memory is unknown here") << ERAR_NO_MEMORY << false << "Unknown error";
    QTest::newRow("small buffer") << ERAR_SMALL_BUF << false << "Unknown error";
    QTest::newRow("unknown") << ERAR_UNKNOWN << true << "Unknown error";
}

void tst_modResultMessages::processMessages()
{
    QFETCH(int, code);
    QFETCH(bool, passwordInvolved);
    QFETCH(QString, message);
    QCOMPARE(ProcessErrorMessage(code, passwordInvolved), message);
}

QTEST_APPLESS_MAIN(tst_modResultMessages)
#include "tst_modResultMessages.moc"
