#include "settings/modRegister.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <memory>

class tst_modRegister : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void registerLibrary_data();
    void registerLibrary();
    void overrunningEntryIsStopped();

private:
    // "what pid" lines the test libraries' entries have written.
    QStringList noteLines() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_modRegister::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("ZORVANE_TESTLIB_NOTE", QFile::encodeName(m_dir->filePath("note.txt")));
}

QStringList tst_modRegister::noteLines() const
{
    QFile note(m_dir->filePath("note.txt"));
    if (!note.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(note.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void tst_modRegister::registerLibrary_data()
{
    // "{dir}" is the test's temporary folder; "notlib.so" there holds text.
    QTest::addColumn<QString>("library");
    QTest::addColumn<bool>("doRegister");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<QString>("entryRun");

    QTest::newRow("empty path") << "" << true << false << "";
    QTest::newRow("missing file") << "{dir}/missing.so" << true << false << "";
    QTest::newRow("not a library") << "{dir}/notlib.so" << true << false << "";
    QTest::newRow("no unregister entry") << TESTLIB_REGISTERONLY << false << false << "";
    QTest::newRow("register-only library registers") << TESTLIB_REGISTERONLY << true << true << "register";
    QTest::newRow("register") << TESTLIB_QUICK << true << true << "register";
    QTest::newRow("unregister") << TESTLIB_QUICK << false << true << "unregister";
    QTest::newRow("register returns E_FAIL") << TESTLIB_FAILING << true << true << "register";
    QTest::newRow("unregister returns E_FAIL") << TESTLIB_FAILING << false << true << "unregister";
}

void tst_modRegister::registerLibrary()
{
    QFETCH(QString, library);
    QFETCH(bool, doRegister);
    QFETCH(bool, expected);
    QFETCH(QString, entryRun);

    QFile text(m_dir->filePath("notlib.so"));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a library\n") > 0);
    text.close();

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(modRegister::RegisterLibrary(library.replace("{dir}", m_dir->path()), doRegister), expected);
    QVERIFY2(timer.elapsed() < 3000, "an entry that returns at once is not waited for");

    const QStringList lines = noteLines();
    if (entryRun.isEmpty()) {
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(u'|')));
    } else {
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().section(u' ', 0, 0), entryRun);
    }
}

void tst_modRegister::overrunningEntryIsStopped()
{
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!modRegister::RegisterLibrary(TESTLIB_SLOW, true));
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= 9500 && elapsed <= 13000, qPrintable(QString::number(elapsed)));

    // The entry had started, and whatever ran it is gone: neither running nor left unreaped.
    const QStringList lines = noteLines();
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first().section(u' ', 0, 0), QStringLiteral("register"));
    const pid_t runner = lines.first().section(u' ', 1, 1).toInt();
    QVERIFY(runner > 0);
    QCOMPARE(::kill(runner, 0), -1);
    QCOMPARE(errno, ESRCH);

    // The calling program carries on as before.
    QVERIFY(modRegister::RegisterLibrary(TESTLIB_QUICK, false));
    QCOMPARE(noteLines().size(), 2);
}

QTEST_GUILESS_MAIN(tst_modRegister)
#include "tst_modRegister.moc"
