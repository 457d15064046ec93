#include "settings/CRegSettings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

const QString WriterPath = QStringLiteral(ZORVANE_TEST_BIN "/settings_writer");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeRaw(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QStringList names(const QList<CRegSettings::SettingRow>& rows)
{
    QStringList out;
    for (const auto& row : rows)
        out.append(row.name);
    return out;
}

} // namespace

class tst_CRegSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void roundTripsExactText_data();
    void roundTripsExactText();
    void namesIgnoreCaseAndKeepTheirPlace();
    void onlySavingCreatesFilesAndSections();
    void namesMakeASafeFileName();
    void starNamesTheDefaultValueAndDeletes();
    void enumRegistryKeys();
    void fileIsPrivateReadableAndEditable();
    void damagedFilesKeepWhatCanBeRead_data();
    void damagedFilesKeepWhatCanBeRead();
    void unreadableFileAndSymbolicLinkAreKept();
    void concurrentProcessesLoseNoValue();
    void killedWriterLeavesAWholeFile();
    void runNextBoot();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_config;
    QString m_file;
};

void tst_CRegSettings::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_config = m_home->filePath(QStringLiteral("config"));
    m_file = m_config + QStringLiteral("/Quenmarsh/Zorvane.conf");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_home->filePath(QStringLiteral("etc-xdg"))));
}

void tst_CRegSettings::roundTripsExactText_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");

    const auto row = [](const char* name, const QString& key, const QString& text) {
        QTest::newRow(name) << key << text;
    };
    // Values the file syntax must quote or escape, and keys it must escape.
    row("empty text is not missing", "Auto Open", "");
    row("edge blanks", "Folder", "  spaced out  ");
    row("non-ASCII", "Name", "ünïcödé ✓ 日本語");
    row("key with equals", "a=b", "c=d");
    row("key that is the default marker", "@", "not the default");
}

void tst_CRegSettings::roundTripsExactText()
{
    QFETCH(QString, key);
    QFETCH(QString, text);

    QVERIFY(CRegSettings().SaveSetting("General", "Before", "1"));
    QVERIFY(CRegSettings().SaveSetting("General", key, text));
    QVERIFY(CRegSettings().SaveSetting("General", "After", "2"));

    const CRegSettings reader;
    QCOMPARE(reader.GetSetting("General", key, "default"), text);
    QCOMPARE(names(reader.GetAllSettings("General")), (QStringList{"Before", key, "After"}));
}

void tst_CRegSettings::namesIgnoreCaseAndKeepTheirPlace()
{
    CRegSettings settings;
    for (const char* key : {"Number", "0", "1"})
        QVERIFY(settings.SaveSetting("Extract Folders", key, "old"));
    QVERIFY(settings.SaveSetting("extract folders", "NUMBER", "new"));

    QCOMPARE(settings.GetSetting("EXTRACT FOLDERS", "number"), QString("new"));
    const auto rows = settings.GetAllSettings("Extract Folders");
    QCOMPARE(names(rows), (QStringList{"Number", "0", "1"}));
    QCOMPARE(rows.first().text, QString("new"));
}

void tst_CRegSettings::onlySavingCreatesFilesAndSections()
{
    CRegSettings settings;
    QCOMPARE(settings.GetSetting("General", "First Run", "True"), QString("True"));
    QVERIFY(!settings.DeleteSetting("General", "First Run"));
    QVERIFY(!QFileInfo::exists(m_config));

    QVERIFY(settings.SaveSetting("Deep\\Nested\\Section", "k", "v"));
    QCOMPARE(settings.GetSetting("Deep\\Nested\\Section", "k"), QString("v"));
    const QByteArray before = readAll(m_file);
    QVERIFY(!settings.SaveSetting("Bad\\\\Path", "k", "v"));
    QVERIFY(!settings.DeleteSetting("Nowhere", "Key"));
    QCOMPARE(readAll(m_file), before);
}

void tst_CRegSettings::namesMakeASafeFileName()
{
    CRegSettings settings;
    settings.setCompany("  Acme Inc  ");
    settings.setAppName("\tApp\t"); // only blanks are trimmed
    QCOMPARE(settings.Company(), QString("Acme Inc"));
    QCOMPARE(settings.AppName(), QString("\tApp\t"));
    settings.setAppName("");
    QCOMPARE(settings.AppName(), QString("Zorvane"));

    settings.setCompany("../../escape");
    settings.setAppName("a/../../b");
    QVERIFY(settings.SaveSetting("S", "k", "v"));
    QVERIFY(QFileInfo(settings.fileName()).absolutePath().startsWith(m_config + '/'));
    QCOMPARE(QDir(m_config).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    settings.setCompany("..");
    QVERIFY(!settings.SaveSetting("S", "k", "v"));
}

void tst_CRegSettings::starNamesTheDefaultValueAndDeletes()
{
    CRegSettings settings;
    QVERIFY(settings.SaveSetting("Options", "*", "default text"));
    QVERIFY(settings.SaveSetting("Options", "@", "a key named at"));
    QVERIFY(settings.SaveSetting("Options\\Sub", "k", "v"));
    QVERIFY(settings.SaveSetting("General", "First Run", "False"));
    QCOMPARE(settings.GetSetting("Options", "*"), QString("default text"));
    QCOMPARE(names(settings.GetAllSettings("Options")), (QStringList{"", "@"}));

    QVERIFY(settings.DeleteSetting("Options", "*"));
    QCOMPARE(names(settings.GetAllSettings("Options")), QStringList{"@"});
    QVERIFY2(!settings.DeleteSetting("Options"), "a section with subsections stays");
    QVERIFY(settings.DeleteSetting("Options\\Sub"));
    QVERIFY(settings.DeleteSetting("Options"));
    QCOMPARE(settings.GetSetting("General", "First Run"), QString("False"));
}

void tst_CRegSettings::enumRegistryKeys()
{
    using Root = CRegSettings::RootKey;
    CRegSettings settings;
    QVERIFY(settings.SaveSetting("Options", "k", "v"));
    QVERIFY(settings.SaveSetting("General\\Window", "k", "v"));
    QCOMPARE(settings.EnumRegistryKeys(Root::CurrentUser, ""), QStringList{"Software"});
    QCOMPARE(settings.EnumRegistryKeys(Root::CurrentUser, "General"), QStringList{"Window"});

    // The system-wide tree is read from the XDG configuration folders.
    QVERIFY(writeRaw(m_home->filePath("etc-xdg/Quenmarsh/Zorvane.conf"), "[Policies]\n[Policies\\Lock]\nx=1\n"));
    QCOMPARE(settings.EnumRegistryKeys(Root::LocalMachine, "Policies"), QStringList{"Lock"});
    QVERIFY(settings.EnumRegistryKeys(Root::CurrentUser, "Policies").isEmpty());
}

void tst_CRegSettings::fileIsPrivateReadableAndEditable()
{
    const mode_t oldMask = ::umask(0);
    CRegSettings settings;
    const bool saved = settings.SaveSetting("General", "First Run", "False") &&
                       settings.SaveSetting("Extract Folders", "0", " /home/u/with edge blank");
    ::umask(oldMask);
    QVERIFY(saved);

    QCOMPARE(settings.fileName(), m_file);
    QCOMPARE(QFileInfo(m_file).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(readAll(m_file), QByteArray("[General]\nFirst Run=False\n\n"
                                         "[Extract Folders]\n0=\" /home/u/with edge blank\"\n"));

    // A change made by another program is seen at once.
    QVERIFY(writeRaw(m_file, "[General]\nFirst Run=edited\n"));
    QCOMPARE(CRegSettings().GetSetting("General", "First Run"), QString("edited"));
}

void tst_CRegSettings::damagedFilesKeepWhatCanBeRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("readable"); // "key=text" of General that must survive, or empty

    const auto row = [](const char* name, const QByteArray& content, const QString& readable) {
        QTest::newRow(name) << content << readable;
    };
    row("binary garbage", QByteArray("\x00\xff\xfe[\x01\x02=\x03\n\xc3\x28", 11), "");
    row("truncated quoted value", "[General]\nKeep=yes\nCut=\"unterminated", "Keep=yes");
    row("hand-edited nonsense", "junk line\n[General\nNot=here\n[General]\n  Keep = yes  \n=no name\n[[]]\n",
        "Keep=yes");
    row("windows line endings", "[General]\r\nKeep=yes\r\n", "Keep=yes");
}

void tst_CRegSettings::damagedFilesKeepWhatCanBeRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, readable);

    QVERIFY(writeRaw(m_file, content));
    CRegSettings settings;
    QCOMPARE(settings.GetSetting("General", "Cut", "default"), QString("default"));
    QCOMPARE(settings.GetSetting("General", "Not", "default"), QString("default"));
    QVERIFY(settings.SaveSetting("General", "New", "value"));
    QCOMPARE(settings.GetSetting("General", "New"), QString("value"));
    if (!readable.isEmpty())
        QCOMPARE(settings.GetSetting("General", readable.section('=', 0, 0)), readable.section('=', 1));
}

void tst_CRegSettings::unreadableFileAndSymbolicLinkAreKept()
{
    QVERIFY(QDir().mkpath(m_file)); // a folder where the file should be cannot be read as one
    QCOMPARE(CRegSettings().GetSetting("General", "k", "default"), QString("default"));
    QVERIFY(!CRegSettings().SaveSetting("General", "k", "v"));
    QVERIFY(QFileInfo(m_file).isDir());

    const QString real = m_home->filePath("dotfiles/Zorvane.conf");
    QVERIFY(writeRaw(real, "[General]\nOld=1\n"));
    QVERIFY(QDir(m_file).removeRecursively());
    QVERIFY(QFile::link(real, m_file));
    QVERIFY(CRegSettings().SaveSetting("General", "New", "2"));
    QVERIFY(QFileInfo(m_file).isSymLink());
    QCOMPARE(readAll(real), QByteArray("[General]\nOld=1\nNew=2\n"));
}

void tst_CRegSettings::concurrentProcessesLoseNoValue()
{
    constexpr int Writers = 4;
    constexpr int PerWriter = 40;
    QProcess writers[Writers];
    for (int w = 0; w < Writers; ++w)
        writers[w].start(WriterPath, {"Race", QStringLiteral("w%1-").arg(w), QString::number(PerWriter)});
    for (QProcess& process : writers) {
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
    }

    const CRegSettings settings;
    QCOMPARE(settings.GetAllSettings("Race").size(), Writers * PerWriter);
}

// Each write replaces the whole file; a writer killed at any moment, again and
// again, must leave either the old or the new file, private, never a torn one.
void tst_CRegSettings::killedWriterLeavesAWholeFile()
{
    constexpr int ValueSize = 200000;
    constexpr int Kills = 25;
    const QString file = m_config + "/Quenmarsh/Zorvane.conf";
    for (int kill = 0; kill < Kills; ++kill) {
        QProcess writer;
        writer.start(WriterPath, {"Kill", "k", "100000", QString::number(ValueSize)});
        QVERIFY(writer.waitForStarted());
        QByteArray output;
        QTRY_VERIFY((output += writer.readAllStandardOutput()).contains("saved"));
        QTest::qWait(7 * kill % 60); // the kills land at different points of a save
        writer.kill();
        QVERIFY(writer.waitForFinished());

        const auto rows = CRegSettings().GetAllSettings("Kill");
        QVERIFY(!rows.isEmpty());
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows.at(i).name, QStringLiteral("k%1").arg(i));
            QCOMPARE(rows.at(i).text.size(), ValueSize + QString::number(i).size());
        }
        QCOMPARE(QFileInfo(file).permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }
    // The copies killed writers left are gone after the next save.
    QVERIFY(CRegSettings().SaveSetting("Kill", "after", "x"));
    QCOMPARE(QDir(m_config + "/Quenmarsh").entryList(QDir::Files | QDir::Hidden),
             (QStringList{"Zorvane.conf", "Zorvane.conf.lock"}));
}

void tst_CRegSettings::runNextBoot()
{
    CRegSettings settings;
    const QString entry = m_config + "/autostart/Zorvane.desktop";
    int action = 1;
    QVERIFY(settings.RunNextBoot("Zorvane", R"(/usr/bin/zorvane "/home/u/a b.rar")", action));
    QVERIFY(readAll(entry).contains("\nExec=/usr/bin/zorvane \"/home/u/a b.rar\"\n"));

    action = 0;
    QVERIFY(settings.RunNextBoot("Zorvane", QString(), action));
    QVERIFY(!QFileInfo::exists(entry));
    action = 1;
    QVERIFY(!settings.RunNextBoot("..", "x", action));
    QVERIFY(settings.RunNextBoot("../x", "x", action));
    QCOMPARE(QDir(m_config + "/autostart").entryList(QDir::Files | QDir::Hidden), QStringList{"..%2Fx.desktop"});
}

QTEST_GUILESS_MAIN(tst_CRegSettings)
#include "tst_CRegSettings.moc"
