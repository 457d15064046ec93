#include "engine/ArchiveSession.h"
#include "engine/RunState.h"
#include "engine/modEntryPath.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

// Crafted archives (tests/fixtures/hostile, see its README) extracted for real:
// nothing outside the extract folder may change, whatever their names and links
// say, and every entry left out is reported as such.
class tst_HostileArchives : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void staysInside_data();
    void staysInside();
    void libraryCrashIsContained();
    void cleanedNames_data();
    void cleanedNames();

private:
    // Everything below the run folder but the extract folder, with contents.
    QStringList outsideState() const;
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dest;
};

void tst_HostileArchives::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    m_dest = m_tmp->filePath("dest");
    QVERIFY(QDir().mkpath(m_dest) && QDir().mkpath(m_tmp->filePath("outside")));
    QFile victim(m_tmp->filePath("outside/victim.txt"));
    QVERIFY(victim.open(QIODevice::WriteOnly) && victim.write("victim\n") == 7);
    RunState::instance() = RunState{};
    RunState::instance().ExtractFolder = m_dest;
    RunState::instance().UseFolderForAll = true;
}

QStringList tst_HostileArchives::outsideState() const
{
    QStringList state;
    QDirIterator it(m_tmp->path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path == m_dest || path.startsWith(m_dest + '/'))
            continue;
        QFile file(path);
        state.append(path + ' ' + (file.open(QIODevice::ReadOnly) ? file.readAll().toHex() : QByteArray()));
    }
    state.sort();
    return state;
}

void tst_HostileArchives::staysInside_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("preset");      // "name -> target", a link of the user's in the folder
    QTest::addColumn<QStringList>("leftOut"); // entries reported as unsafe, in order
    QTest::addColumn<int>("tooLong");         // entries reported as too long
    QTest::addColumn<QString>("failure");     // the library's own error, if any

    const QStringList none;
    for (const char* kind : {"r4", "r5"}) {
        const auto row = [kind](const char* name) -> QTestData& {
            return QTest::addRow("%s-%s", kind, name) << QStringLiteral("%1-%2.rar").arg(kind, name);
        };
        row("dotdot-start") << QString() << none << 0 << QString();
        row("dotdot-middle") << QString() << none << 0 << QString();
        row("dotdot-end") << QString() << QStringList{"end/..", "end2/sub/..", "enddir/.."} << 0 << QString();
        row("absolute") << QString() << none << 0 << QString();
        row("dotnames") << QString() << QStringList{"..", ".", "..", "."} << 0 << QString();
        row("symlink-rel") << QString() << QStringList{"link"} << 0 << QString();
        row("symlink-abs") << QString() << QStringList{"etclink", "rootlink"} << 0 << QString();
        row("symlink-chain") << QString() << QStringList{"c1/c2", "c1/c2/zh-chain.txt"} << 0 << QString();
        row("devices") << QString() << none << 0 << QString();
        row("control") << QString() << none << 0 << QString();
        row("longnames") << QString() << none << 3 << QString();
        row("8gib") << QString() << none << 0 << QString();
        row("preset-dirlink") << "link -> ../outside" << QStringList{"link/zh-preset.txt"} << 0 << QString();
        row("preset-filelink") << "victimlink -> ../outside/victim.txt" << QStringList{"victimlink"} << 0 << QString();
    }
    for (const char* name : {"r4-uniname", "r4-namesize-overrun", "r4-hugesize", "r4-bigcomment", "r5-bigcomment",
                             "r5-backslash-win", "r5-many"})
        QTest::newRow(name) << QString(name) + ".rar" << QString() << none << 0 << QString();
    // Nothing to extract, and no error from the library either: the session's
    // result says so.
    for (const char* name : {"r4-signature-only", "r5-signature-only", "r5-truncated-header"})
        QTest::newRow(name) << QString(name) + ".rar" << QString() << none << 0 << QString();
    QTest::newRow("r4-backslash") << "r4-backslash.rar" << QString() << QStringList{"bsend/.."} << 0 << QString();
    QTest::newRow("r4-overlong") << "r4-overlong.rar" << QString() << QStringList{} << 0 << QString();
    QTest::newRow("r5-overlong") << "r5-overlong.rar" << QString() << QStringList{""} << 0 << QString();
    QTest::newRow("r5-backslash-unix") << "r5-backslash-unix.rar" << QString() << QStringList{} << 0 << QString();
    QTest::newRow("r5-symlink-backslash")
        << "r5-symlink-backslash.rar" << QString() << QStringList{"bslink/zh-bs-through.txt"} << 0 << QString();
    QTest::newRow("r5-winlink") << "r5-winlink.rar" << QString()
                                << QStringList{"wlink", "wabs", "wslash", "junction", "junction2"} << 0 << QString();
    QTest::newRow("r5-hardlink") << "r5-hardlink.rar" << QString() << QStringList{"hl-rel", "hl-abs", "hl-etc"} << 0
                                 << QString();
    QTest::newRow("r5-filecopy") << "r5-filecopy.rar" << QString() << QStringList{"cp-rel", "cp-abs", "cp-etc"} << 0
                                 << QString();
    QTest::newRow("r5-preset-redirect") << "r5-preset-redirect.rar"
                                        << "link -> ../outside" << QStringList{"hl-preset", "cp-preset", "sl-preset"}
                                        << 0 << QString();
    QTest::newRow("r5-hugesize") << "r5-hugesize.rar" << QString() << QStringList{} << 0 << "12 huge.bin";
    QTest::newRow("r4-truncated-header") << "r4-truncated-header.rar" << QString() << QStringList{""} << 0
                                         << "12 r4-truncated-header.rar";
}

void tst_HostileArchives::staysInside()
{
    QFETCH(QString, archive);
    QFETCH(QString, preset);
    QFETCH(QStringList, leftOut);
    QFETCH(int, tooLong);
    QFETCH(QString, failure);
    if (!preset.isEmpty())
        QVERIFY(QFile::link(preset.section(" -> ", 1), m_dest + '/' + preset.section(" -> ", 0, 0)));
    const QStringList before = outsideState();
    struct stat folderBefore;
    QCOMPARE(::stat(QFile::encodeName(m_dest).constData(), &folderBefore), 0);

    ArchiveSession session;
    QStringList unsafe;
    QStringList failures;
    int longNames = 0;
    connect(&session, &ArchiveSession::ProcessError, this, [&](qint32& code, QString&, QString& file) {
        if (code == 5004)
            unsafe.append(file);
        else if (code == 5005)
            ++longNames;
        else
            failures.append(QString::number(code) + ' ' + file.section('/', -1));
    });
    const bool extracted = session.ExtractRarFiles(QStringLiteral(ZORVANE_FIXTURES "/hostile/") + archive);

    QCOMPARE(outsideState(), before);
    QCOMPARE(unsafe, leftOut);
    QCOMPARE(longNames, tooLong);
    QCOMPARE(failures.join(','), failure);
    struct stat folderAfter;
    QCOMPARE(::stat(QFile::encodeName(m_dest).constData(), &folderAfter), 0);
    QCOMPARE(folderAfter.st_mode, folderBefore.st_mode);
    // The user's own link is still there, and no link made leads out.
    if (!preset.isEmpty())
        QVERIFY(QFileInfo(m_dest + '/' + preset.section(" -> ", 0, 0)).isSymLink());
    QDirIterator it(m_dest, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (entry.isSymLink() && entry.fileName() != preset.section(" -> ", 0, 0))
            QVERIFY2(modEntryPath::ResolvesInside(QFile::encodeName(m_dest), QFile::encodeName(entry.filePath())),
                     qPrintable(entry.filePath()));
    }
    const bool empty = archive.contains("signature") || archive.contains("r5-truncated");
    QCOMPARE(extracted, !empty && failure.isEmpty());
    if (!empty && failure.isEmpty() && !archive.contains("many") && !archive.contains("comment"))
        QVERIFY(QFileInfo::exists(m_dest + "/ok.txt")); // the archive went on after its hostile entries
}

// The library crashes opening this one; the program must not go with it.
void tst_HostileArchives::libraryCrashIsContained()
{
    ArchiveSession session;
    QStringList errors;
    connect(&session, &ArchiveSession::OpenError, this, [&](qint32& code, QString& message, QString&) {
        errors.append(QString::number(code) + ' ' + message);
    });
    QVERIFY(!session.ExtractRarFiles(QStringLiteral(ZORVANE_FIXTURES "/hostile/r5-metadata-noname.rar")));
    QCOMPARE(errors, QStringList{"5006 The archive makes the UnRAR library crash; it was not opened"});
}

void tst_HostileArchives::cleanedNames_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("cleaned");
    QTest::newRow("parent first") << QByteArray("../../x") << QByteArray("x");
    QTest::newRow("absolute through parents") << QByteArray("/../../tmp/x") << QByteArray("tmp/x");
    QTest::newRow("up to the last parent") << QByteArray("a/b/../../../x") << QByteArray("x");
    QTest::newRow("network path") << QByteArray("//server/share/x") << QByteArray("x");
    QTest::newRow("trailing parent kept") << QByteArray("end/..") << QByteArray("end/..");
    QTest::newRow("dot alone") << QByteArray(".") << QByteArray();
    QTest::newRow("three dots are a name") << QByteArray("...") << QByteArray("...");
    QTest::newRow("control before the dots") << QByteArray("\x07../x") << QByteArray("\x07../x");
    QTest::newRow("invalid UTF-8 kept") << QByteArray("\xC0\xAE\xC0\xAE/x") << QByteArray("\xC0\xAE\xC0\xAE/x");
}

void tst_HostileArchives::cleanedNames()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, cleaned);
    QCOMPARE(modEntryPath::CleanedName(stored), cleaned);
}

QTEST_MAIN(tst_HostileArchives)
#include "tst_HostileArchives.moc"
