#include "platform/DocumentLauncher.h"
#include "support/TestFiles.h"

using namespace DocumentLauncher;

// A desktop of the test's own: a script, default for folders and mail links and the browser, notes "<how> <target>".
class tst_DocumentLauncher : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString inDir(QString text) const { return text.replace("{dir}", m_dir.path()); }
    void write(const QString& name, const QString& content)
    {
        writeFile(m_dir.filePath(name), inDir(content).toUtf8());
    }

private slots:
    void initTestCase()
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
            qputenv(name, m_dir.filePath(name).toUtf8());
        // No desktop environment to detect; xdg-open reads the defaults only when it sees a display.
        qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
        qputenv("DISPLAY", ":zorvane-no-server");
        qputenv("BROWSER", inDir("{dir}/record.sh browser").toUtf8());
        write("record.sh", "#!/bin/sh\nprintf '%s\\n' \"$*\" >> {dir}/record\n");
        QVERIFY(QFile::setPermissions(m_dir.filePath("record.sh"), QFile::ReadOwner | QFile::ExeOwner));
        write("XDG_DATA_HOME/applications/recorder.desktop",
              "[Desktop Entry]\nType=Application\nName=Recorder\nExec={dir}/record.sh entry %u\n");
        write("XDG_CONFIG_HOME/mimeapps.list",
              "[Default Applications]\ninode/directory=recorder.desktop\nx-scheme-handler/mailto=recorder.desktop\n");
        QVERIFY(QDir(m_dir.path()).mkpath("my docs") && QDir(m_dir.path()).mkpath("-docs"));
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void init() { QFile::remove(m_dir.filePath("record")); }

    void open_data()
    {
        QTest::addColumn<QString>("target"); // "{dir}": the temporary folder, also the current folder
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("received"); // by the default application
        QTest::newRow("relative folder named like an option") << "-docs" << ResultLaunched << "{dir}/-docs";
        QTest::newRow("file URL, folder with a blank") << "file://{dir}/my%20docs" << ResultLaunched << "{dir}/my docs";
        QTest::newRow("mail link") << "mailto:a@b.c?subject=a b;c" << ResultLaunched << "mailto:a@b.c?subject=a b;c";
        QTest::newRow("document without a default") << "{dir}/record.sh" << ResultNoAssociation << "";
        QTest::newRow("missing file") << "{dir}/gone.txt" << ResultFileNotFound << "";
    }

    void open()
    {
        QFETCH(QString, target);
        QFETCH(int, result);
        QFETCH(QString, received);
        QCOMPARE(DocumentLauncher::open(inDir(target)), result);
        const auto recorded = [this] { return QString::fromUtf8(readFile(m_dir.filePath("record"))); };
        if (!received.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(recorded(), "entry " + inDir(received) + u'\n', 5000);
    }
};

QTEST_MAIN(tst_DocumentLauncher)
#include "tst_DocumentLauncher.moc"
