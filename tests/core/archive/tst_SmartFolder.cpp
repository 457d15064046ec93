#include "core/archive/ExtractionRun.h"
#include "core/archive/SmartFolder.h"
#include "gui/prompts/DialogPrompts.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs from the command line: which folder each archive lands in.
class tst_SmartFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void archiveName_data();
    void archiveName();
    void placesEachArchive_data();
    void placesEachArchive();

private:
    void rar(const QStringList& arguments, const QString& folder);
    QTemporaryDir m_dir;
    QString m_archives;
};

void tst_SmartFolder::rar(const QStringList& arguments, const QString& folder)
{
    QProcess rar;
    rar.setWorkingDirectory(folder);
    rar.start("rar", QStringList{"a", "-idq", "-ep1", "-m0"} + arguments);
    QVERIFY(rar.waitForFinished() && rar.exitCode() == 0);
}

void tst_SmartFolder::initTestCase()
{
    m_archives = m_dir.filePath("archives");
    const QString src = m_dir.filePath("src");
    writeFile(src + "/plain/a.txt", "a");
    writeFile(src + "/plain/b.txt", "b");
    writeFile(src + "/big.bin", QByteArray(60000, 'x') + QByteArray::number(qHash(src)));
    QVERIFY(QDir().mkpath(m_archives));
    rar({"-r", m_archives + "/plain.rar", "plain"}, src);
    rar({m_archives + "/loose.rar", "plain/a.txt", "plain/b.txt"}, src);
    rar({m_archives + "/single.rar", "plain/a.txt"}, src);
    rar({"-v20k", m_archives + "/set.rar", "big.bin", "plain/b.txt"}, src);
    rar({"-hpsecret", m_archives + "/secret.rar", "plain/a.txt", "plain/b.txt"}, src);
}

void tst_SmartFolder::archiveName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "/x/photos.rar"
                           << "photos";
    QTest::newRow("upper case") << "/x/Photos.RAR"
                                << "Photos";
    QTest::newRow("volume") << "/x/photos.part01.rar"
                            << "photos";
    QTest::newRow("old volume") << "/x/photos.r00"
                                << "photos";
    QTest::newRow("part not a volume") << "/x/photos.part1.zip"
                                       << "photos.part1";
    QTest::newRow("dots") << "/x/a.b.part2.rar"
                          << "a.b";
    QTest::newRow("only extension") << "/x/.rar"
                                    << ".rar";
}

void tst_SmartFolder::archiveName()
{
    QFETCH(QString, path);
    QTEST(SmartFolder::archiveName(path), "name");
}

void tst_SmartFolder::placesEachArchive_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("target"); // empty: beside the archive
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QStringList>("made"); // below the target, archives left out

    const QStringList loose{"loose/", "loose/a.txt", "loose/b.txt"};
    QTest::newRow("one top-level folder") << "plain.rar"
                                          << "" << QStringList() << QStringList{"plain/", "plain/a.txt", "plain/b.txt"};
    QTest::newRow("loose files") << "loose.rar"
                                 << "" << QStringList() << loose;
    QTest::newRow("single file") << "single.rar"
                                 << "" << QStringList() << QStringList{"a.txt"};
    QTest::newRow("volume set") << "set.part1.rar"
                                << "" << QStringList() << QStringList{"set/", "set/b.txt", "set/big.bin"};
    QTest::newRow("name taken") << "loose.rar"
                                << "" << QStringList{"loose", "loose (2)/"}
                                << QStringList{"loose", "loose (2)/", "loose (3)/", "loose (3)/a.txt",
                                               "loose (3)/b.txt"};
    QTest::newRow("encrypted names") << "secret.rar"
                                     << "" << QStringList() << QStringList{"secret/", "secret/a.txt", "secret/b.txt"};
    QTest::newRow("into a new folder") << "loose.rar"
                                       << "to/be/made" << QStringList() << loose;
}

void tst_SmartFolder::placesEachArchive()
{
    QFETCH(QString, archive);
    QFETCH(QString, target);
    QFETCH(QStringList, taken);
    QTemporaryDir work;
    const QString folder = target.isEmpty() ? work.path() : work.filePath(target);
    for (const QString& archiveFile : QDir(m_archives).entryList({archive.section(u'.', 0, 0) + ".*"}))
        QVERIFY(QFile::copy(m_archives + u'/' + archiveFile, work.filePath(archiveFile)));
    for (const QString& name : taken) {
        if (name.endsWith(u'/'))
            QVERIFY(QDir(work.path()).mkdir(name));
        else
            writeFile(work.filePath(name), "mine");
    }

    DialogPrompts prompts;
    ExtractionRun run(prompts);
    run.setTarget(target.isEmpty() ? LaunchOptions::Target::BesideArchive : LaunchOptions::Target::Folder, folder);
    PromptScript script;
    if (archive == "secret.rar")
        script.then(PromptScript::password("secret"));
    run.extract({work.filePath(archive)});
    QVERIFY(!script.unexpected && !run.errorsLogged());

    QStringList made;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (!info.fileName().contains(".r"))
            made << QDir(folder).relativeFilePath(info.filePath()) + (info.isDir() ? "/" : "");
    }
    made.sort();
    QTEST(made, "made");
}

QTEST_MAIN(tst_SmartFolder)
#include "tst_SmartFolder.moc"
