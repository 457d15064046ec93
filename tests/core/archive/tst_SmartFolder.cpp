#include "core/archive/ExtractionRun.h"
#include "core/archive/SmartFolder.h"
#include "gui/prompts/DialogPrompts.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs from the command line: which folder each archive lands in.
class tst_SmartFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_archives = m_dir.filePath("archives");

    static void rar(const QStringList& arguments, const QString& folder)
    {
        QProcess rar;
        rar.setWorkingDirectory(folder);
        rar.start("rar", QStringList{"a", "-idq", "-ep1", "-m0"} + arguments);
        QVERIFY(rar.waitForFinished() && rar.exitCode() == 0);
    }

private slots:
    void initTestCase()
    {
        const QString src = m_dir.filePath("src");
        writeFile(src + "/plain/a.txt", "a");
        writeFile(src + "/plain/b.txt", "b");
        writeFile(src + "/big.bin", QByteArray(60000, 'x') + QByteArray::number(qHash(src)));
        QVERIFY(QDir().mkpath(m_archives));
        rar({"-r", m_archives + "/plain.rar", "plain"}, src);
        rar({m_archives + "/loose.rar", "plain/a.txt", "plain/b.txt"}, src);
        rar({"-v20k", m_archives + "/set.rar", "big.bin", "plain/b.txt"}, src);
        rar({"-hpsecret", m_archives + "/secret.rar", "plain/a.txt", "plain/b.txt"}, src);
    }

    void archiveName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        dataRow("plain", "/x/photos.rar", "photos");
        dataRow("upper case", "/x/Photos.RAR", "Photos");
        dataRow("volume", "/x/photos.part01.rar", "photos");
        dataRow("old volume", "/x/photos.r00", "photos");
        dataRow("part not a volume", "/x/photos.part1.zip", "photos.part1");
        dataRow("dots", "/x/a.b.part2.rar", "a.b");
        dataRow("only extension", "/x/.rar", ".rar");
    }

    void archiveName()
    {
        QFETCH(QString, path);
        QTEST(SmartFolder::archiveName(path), "name");
    }

    // Loose files, a single file and --extract-to with loose files are run
    // through the real program by command-line.sh.
    void placesEachArchive_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("target"); // empty: beside the archive
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QStringList>("made"); // below the target, archives left out
        const QStringList none, plain{"plain/", "plain/a.txt", "plain/b.txt"};
        dataRow("one top-level folder", "plain.rar", "", none, plain);
        dataRow("volume set", "set.part1.rar", "", none, QStringList{"set/", "set/b.txt", "set/big.bin"});
        dataRow("name taken", "loose.rar", "", QStringList{"loose", "loose (2)/"},
                QStringList{"loose (2)/", "loose (3)/", "loose (3)/a.txt", "loose (3)/b.txt", "loose"});
        dataRow("encrypted names", "secret.rar", "", none, QStringList{"secret/", "secret/a.txt", "secret/b.txt"});
        dataRow("one folder into a new folder", "plain.rar", "to/be/made", none, plain);
    }

    void placesEachArchive()
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
        QStringList made = tree(folder).filter(QRegularExpression("^(?!.*\\.r)"));
        QTEST(made.replaceInStrings(QRegularExpression(" [0-9a-f]{32}$"), ""), "made");
    }
};

QTEST_MAIN(tst_SmartFolder)
#include "tst_SmartFolder.moc"
