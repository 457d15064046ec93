#include "core/settings/SettingsStore.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <sys/stat.h>

class tst_SettingsStore : public QObject
{
    Q_OBJECT

    const QString m_writer = ZORVANE_TEST_BIN "/settings_writer";
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_config, m_file;

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        m_config = m_home->filePath("config");
        m_file = m_config + "/Quenmarsh/Zorvane.conf";
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
    }

    void namesStayInsideAndOtherCallsWork()
    {
        SettingsStore settings;
        settings.setCompany("../../escape");
        settings.setAppName("a/../../b");
        QVERIFY(settings.setValue("S", "k", "v"));
        QCOMPARE(QDir(m_config).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
        settings.setCompany("  ..  "); // blanks are trimmed first
        QVERIFY(!settings.setValue("S", "k", "v") && !settings.runAtNextLogOn("..", "x", 1));

        // Nothing in the program deletes, enumerates or starts at log-on yet: one case each.
        settings = SettingsStore();
        QVERIFY(settings.setValue("Options", "*", "default text") && settings.setValue("options\\Sub", "k", "v"));
        QCOMPARE(settings.value("OPTIONS", ""), "default text"); // "*" and "" name the default value
        QCOMPARE(settings.subkeys(SettingsStore::RootKey::CurrentUser, "Options"), QStringList{"Sub"});
        QVERIFY2(!settings.remove("Options"), "a section with subsections stays");
        QVERIFY(settings.remove("Options\\Sub") && settings.remove("Options", "*"));
        QVERIFY(settings.remove("Options") && !settings.remove("Options", "*"));
        const QString entry = m_config + "/autostart/Zorvane.desktop";
        QVERIFY(settings.runAtNextLogOn("Zorvane", R"(/usr/bin/zorvane "/home/u/a b.rar")", 1));
        QVERIFY(readFile(entry).contains("\nExec=/usr/bin/zorvane \"/home/u/a b.rar\"\n"));
        QVERIFY(settings.runAtNextLogOn("Zorvane", QString(), 0) && !QFileInfo::exists(entry));
    }

    // Every write waits for the disk: values go in together, and a save that
    // changes nothing leaves the file as it is. A write gives the file a new
    // inode, where two writes could bring the first one back.
    void unchangedValuesAreNotWrittenAgain()
    {
        const auto inode = [this] {
            struct stat st;
            return ::stat(QFile::encodeName(m_file).constData(), &st) == 0 ? st.st_ino : ino_t(0);
        };
        SettingsStore settings;
        QVERIFY(settings.setValues("Options", {{"a", "1"}, {"*", "d"}, {"b", "2"}}));
        QCOMPARE(readFile(m_file), "[Options]\na=1\n@=d\nb=2\n");
        const ino_t written = inode();
        QVERIFY(settings.setValue("options", "A", "1")); // names compare without regard to case
        QCOMPARE(inode(), written);
        QVERIFY(settings.setValues("Options", {{"b", "2"}, {"", "d"}}));
        QCOMPARE(inode(), written);
        QVERIFY(settings.setValues("Options", {{"b", "2"}, {"c", "3"}}));
        QVERIFY(inode() != written);
        QCOMPARE(readFile(m_file), "[Options]\na=1\n@=d\nb=2\nc=3\n");
        QVERIFY(!settings.setValues("\\Options", {{"k", "v"}})); // an empty level
    }

    void symbolicLinkAndUnreadableFileAreKept()
    {
        // Users keep dotfiles elsewhere: saving goes through the link and keeps it.
        const QString real = m_home->filePath("Zorvane.conf");
        QVERIFY(SettingsStore().setValue("General", "Old", "1"));
        QVERIFY(QFile::rename(m_file, real) && QFile::link(real, m_file));
        QVERIFY(SettingsStore().setValue("General", "New", "2"));
        QVERIFY(QFileInfo(m_file).isSymLink());
        QCOMPARE(readFile(real), "[General]\nOld=1\nNew=2\n");
        QVERIFY(QFile::remove(m_file) && QDir().mkpath(m_file)); // a folder cannot be read as the file
        QCOMPARE(SettingsStore().value("General", "Old", "default"), "default");
        QVERIFY(!SettingsStore().setValue("General", "k", "v") && QFileInfo(m_file).isDir());
    }

    // A writer killed at any point of a save must leave the old or the new file,
    // private whatever the umask, never a torn one; the next saves clear leftovers,
    // and saves from concurrent processes lose no value.
    void otherProcessesWriteSafely()
    {
        constexpr int ValueSize = 200000;
        const mode_t oldMask = ::umask(0); // the writers inherit it
        for (int kill = 0; kill < 25; ++kill) {
            QProcess writer;
            writer.start(m_writer, {"Kill", "k", "100000", QString::number(ValueSize)});
            QByteArray output;
            QTRY_VERIFY((output += writer.readAllStandardOutput()).contains("saved"));
            QTest::qWait(7 * kill % 60); // the kills land at different points of a save
            writer.kill();
            QVERIFY(writer.waitForFinished());
            const auto saved = SettingsStore().values("Kill");
            QVERIFY(!saved.isEmpty());
            for (int i = 0; i < saved.size(); ++i)
                QVERIFY(saved[i].name == QString("k%1").arg(i) &&
                        saved[i].text.size() == ValueSize + QString::number(i).size());
            QCOMPARE(QFileInfo(m_file).permissions(),
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        }
        ::umask(oldMask);
        QVERIFY(SettingsStore().remove("Kill"));
        QProcess writers[4];
        for (int w = 0; w < 4; ++w)
            writers[w].start(m_writer, {"Race", QString("w%1-").arg(w), "40", "8"});
        for (QProcess& writer : writers)
            QVERIFY(writer.waitForFinished(120000) && writer.exitCode() == 0);
        QCOMPARE(SettingsStore().values("Race").size(), 4 * 40);
        QCOMPARE(QDir(m_config + "/Quenmarsh").entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"Zorvane.conf", "Zorvane.conf.lock"}));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
