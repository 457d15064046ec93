#include "core/archive/ExtractionRun.h"
#include "core/archive/SmartFolder.h"
#include "gui/prompts/DialogPrompts.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <QProcess>

// Runs from the command line: which folder each archive lands in.
class tst_SmartFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir; // folder.rar: no fixture keeps to one top-level folder

private slots:
    void initTestCase()
    {
        writeFile(m_dir.filePath("plain/a.txt"), "a");
        writeFile(m_dir.filePath("plain/b.txt"), "b");
        QProcess rar;
        rar.setWorkingDirectory(m_dir.path());
        rar.start("rar", {"a", "-idq", "-r", "folder.rar", "plain"});
        QVERIFY(rar.waitForFinished() && rar.exitCode() == 0);
    }

    void archiveName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
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
        QTest::addColumn<QString>("archive"); // a fixture, or folder.rar
        QTest::addColumn<QString>("target");  // empty: beside the archive
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QStringList>("made"); // below the target, archives left out
        const QStringList none, plain{"plain/", "plain/a.txt", "plain/b.txt"};
        dataRow("one top-level folder", "folder.rar", "", none, plain);
        dataRow("volume set", "rar4/multivol.part1.rar", "", none,
                QStringList{"multivol/", "multivol/LibarchiveAddingTest.html", "multivol/LibarchiveAddingTest2.html"});
        dataRow("name taken", "plain.rar", "", QStringList{"plain", "plain (2)/"},
                QStringList{"plain (2)/", "plain (3)/", "plain (3)/a.txt", "plain (3)/b.txt", "plain"});
        dataRow("encrypted names", "enc-header.rar", "", none,
                QStringList{"enc-header/", "enc-header/a.txt", "enc-header/b.txt"});
        dataRow("one folder into a new folder", "folder.rar", "to/be/made", none, plain);
    }

    void placesEachArchive()
    {
        QFETCH(QString, archive);
        QFETCH(QString, target);
        QFETCH(QStringList, taken);
        QTemporaryDir work;
        const QString folder = target.isEmpty() ? work.path() : work.filePath(target);
        const QFileInfo source(archive == "folder.rar" ? m_dir.filePath(archive) : ZORVANE_FIXTURES "/" + archive);
        for (const QString& volume : source.dir().entryList({source.fileName().section(u'.', 0, 0) + ".*"}))
            QVERIFY(QFile::copy(source.dir().filePath(volume), work.filePath(volume)));
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
        if (archive == "enc-header.rar")
            script.then(PromptScript::password("secret"));
        run.extract({work.filePath(source.fileName())});
        QVERIFY(!script.unexpected && !run.errorsLogged());
        QStringList made = tree(folder).filter(QRegularExpression("^(?!.*\\.r)"));
        QTEST(made.replaceInStrings(QRegularExpression(" [0-9a-f]{32}$"), ""), "made");
    }
};

QTEST_MAIN(tst_SmartFolder)
#include "tst_SmartFolder.moc"
