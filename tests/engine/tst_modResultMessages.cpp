#include "engine/UnrarApi.h"
#include "engine/modResultMessages.h"

#include <QTest>

using namespace modResultMessages;

// The texts the session's own tests do not already meet when extracting real
// archives, and the codes each kind of failure deliberately does not know.
class tst_modResultMessages : public QObject
{
    Q_OBJECT

private slots:
    void messages_data();
    void messages();
};

void tst_modResultMessages::messages_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    const auto row = [](const QString& kind, const char* name, int code, const QString& message) {
        QTest::newRow(qPrintable(kind + ": " + name)) << kind << code << message;
    };
    row("comment", "no memory", ERAR_NO_MEMORY, "Not enough memory");
    row("comment", "bad data", ERAR_BAD_DATA, "Broken comment");
    row("comment", "bad archive", ERAR_BAD_ARCHIVE, "Unknown error");
    row("comment", "unknown format", ERAR_UNKNOWN_FORMAT, "Unknown comment format");
    row("open", "no memory", ERAR_NO_MEMORY, "Not enough memory");
    row("open", "bad data", ERAR_BAD_DATA, "Archive header broken");
    row("open", "unknown format", ERAR_UNKNOWN_FORMAT, "Unknown error");
    row("open", "create", ERAR_ECREATE, "Unknown error");
    row("open", "negative", -1, "Unknown error");
    row("process", "bad volume", ERAR_BAD_ARCHIVE, "Bad volume");
    row("process", "unknown format", ERAR_UNKNOWN_FORMAT, "Unknown archive format");
    row("process", "close", ERAR_ECLOSE, "File close error");
    row("process", "read", ERAR_EREAD, "Read error");
    row("process", "write", ERAR_EWRITE, "Write error");
    row("process", "library's missing password", ERAR_MISSING_PASSWORD, "No password supplied");
    row("process", "no memory", ERAR_NO_MEMORY, "Unknown error");
    row("process", "small buffer", ERAR_SMALL_BUF, "Unknown error");
}

void tst_modResultMessages::messages()
{
    QFETCH(QString, kind);
    QFETCH(int, code);
    QFETCH(QString, message);
    if (kind == u"comment")
        QCOMPARE(CommentErrorMessage(code), message);
    else if (kind == u"open")
        QCOMPARE(OpenErrorMessage(code), message);
    else
        QCOMPARE(ProcessErrorMessage(code, false), message);
}

QTEST_APPLESS_MAIN(tst_modResultMessages)
#include "tst_modResultMessages.moc"
