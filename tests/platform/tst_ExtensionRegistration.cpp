#include "platform/ExtensionRegistration.h"
#include "support/TestFiles.h"

#include <QRegularExpression>
#include <cerrno>
#include <csignal>

class tst_ExtensionRegistration : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { qputenv("ZORVANE_TESTLIB_NOTE", QFile::encodeName(m_dir.filePath("note.txt"))); }
    void init() { QFile::remove(m_dir.filePath("note.txt")); }

    // An entry that returned counts, whatever it returned; one that overruns the time limit is stopped.
    void registerLibrary_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<bool>("doRegister");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QString>("ran"); // the entries the test libraries noted, without their pids
        QTest::newRow("missing file") << "/nonexistent/MWShlExt.so" << true << false << "";
        QTest::newRow("no unregister entry") << TESTLIB_REGISTERONLY << false << false << "";
        QTest::newRow("register") << TESTLIB_QUICK << true << true << "register";
        QTest::newRow("entry returns E_FAIL") << TESTLIB_FAILING << false << true << "unregister";
        QTest::newRow("entry overruns") << TESTLIB_SLOW << true << false << "register";
    }

    void registerLibrary()
    {
        QFETCH(QString, library);
        QFETCH(bool, doRegister);
        QFETCH(bool, expected);
        QFETCH(QString, ran);
        QCOMPARE(ExtensionRegistration::run(library, doRegister), expected);
        const QString note = QString::fromUtf8(readFile(m_dir.filePath("note.txt")));
        QCOMPARE(QString(note).remove(QRegularExpression(" \\d+\n")), ran);
        // Whatever ran the entry is gone, neither running nor left unreaped.
        for (const QString& line : note.split(u'\n', Qt::SkipEmptyParts))
            QVERIFY(::kill(line.section(u' ', 1).toInt(), 0) == -1 && errno == ESRCH);
    }
};

QTEST_GUILESS_MAIN(tst_ExtensionRegistration)
#include "tst_ExtensionRegistration.moc"
