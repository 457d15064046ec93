#include "settings/CRegSettings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

const QString WriterPath = QStringLiteral(ZORVANE_TEST_BIN "/settings_writer");

CRegSettings store()
{
    CRegSettings settings;
    settings.setCompany(QStringLiteral("Quenmarsh"));
    settings.setAppName(QStringLiteral("Zorvane"));
    return settings;
}

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
    void emptyTextIsNotMissing();
    void namesIgnoreCaseAndKeepTheirCase();
    void readingCreatesNothing();
    void savingCreatesTheSectionAndItsParents();
    void nameProperties_data();
    void nameProperties();
    void namesCannotLeaveTheConfigFolder();
    void starIsTheDefaultValue();
    void deleteSetting();
    void getAllSettingsKeepsStoredOrder();
    void enumRegistryKeys();
    void instancesSeeEachOthersWrites();
    void fileIsPrivateAndReadable();
    void damagedFilesKeepWhatCanBeRead_data();
    void damagedFilesKeepWhatCanBeRead();
    void unreadableFileIsNeverReplaced();
    void symbolicLinkIsKept();
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

    QTest::newRow("plain") << "First Run"
                           << "True";
    QTest::newRow("edge blanks") << "Folder"
                                 << "  spaced out  ";
    QTest::newRow("edge tabs") << "Folder"
                               << "\tx\t";
    QTest::newRow("line breaks") << "Multi"
                                 << "one\ntwo\r\nthree";
    QTest::newRow("quotation marks") << "Quoted"
                                     << R"("starts" and "ends")";
    QTest::newRow("backslashes") << "Path"
                                 << R"(C:\dir\sub\)";
    QTest::newRow("escape look-alikes") << "Esc"
                                        << R"(\n \x41 \")";
    QTest::newRow("non-ASCII") << "Name"
                               << "ünïcödé ✓ 日本語 العربية";
    QTest::newRow("equals and brackets") << "Eq"
                                         << "=[x]=; #";
    QTest::newRow("control characters") << "Ctl" << QString("a") + QChar(1) + QChar(0x7f) + QChar(0) + "b";
    QTest::newRow("key with edge blanks") << "  key  "
                                          << "v";
    QTest::newRow("key that looks like a section") << "[General]"
                                                   << "v";
    QTest::newRow("key that looks like a comment") << "; note"
                                                   << "v";
    QTest::newRow("key with equals") << "a=b"
                                     << "c=d";
    QTest::newRow("key that is the default marker") << "@"
                                                    << "not the default";
    QTest::newRow("key with a line break") << "two\nlines"
                                           << "v";
    QTest::newRow("long text") << "Long" << QString(100000, u'y');
}

void tst_CRegSettings::roundTripsExactText()
{
    QFETCH(QString, key);
    QFETCH(QString, text);

    QVERIFY(store().SaveSetting("General", "Before", "1"));
    QVERIFY(store().SaveSetting("General", key, text));
    QVERIFY(store().SaveSetting("General", "After", "2"));

    const CRegSettings reader = store();
    QCOMPARE(reader.GetSetting("General", key, "default"), text);
    QCOMPARE(reader.GetSetting("General", "Before"), QString("1"));
    QCOMPARE(reader.GetSetting("General", "After"), QString("2"));
    QCOMPARE(names(reader.GetAllSettings("General")), (QStringList{"Before", key, "After"}));
    QCOMPARE(reader.GetSetting("", key, "default"), QString("default"));
}

void tst_CRegSettings::emptyTextIsNotMissing()
{
    CRegSettings settings = store();
    QCOMPARE(settings.GetSetting("Options", "Auto Open", "1"), QString("1"));
    QCOMPARE(settings.GetSetting("Options", "Auto Open"), QString());

    QVERIFY(settings.SaveSetting("Options", "Auto Open", ""));
    QCOMPARE(settings.GetSetting("Options", "Auto Open", "1"), QString(""));
    QVERIFY(!settings.GetSetting("Options", "Auto Open", "1").isNull());
}

void tst_CRegSettings::namesIgnoreCaseAndKeepTheirCase()
{
    CRegSettings settings = store();
    QVERIFY(settings.SaveSetting("Extract Folders", "Number", "1"));
    QVERIFY(settings.SaveSetting("extract folders", "NUMBER", "2"));

    QCOMPARE(settings.GetSetting("EXTRACT FOLDERS", "number"), QString("2"));
    const auto rows = settings.GetAllSettings("Extract Folders");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().name, QString("Number"));
}

void tst_CRegSettings::readingCreatesNothing()
{
    CRegSettings settings = store();
    QCOMPARE(settings.GetSetting("General", "First Run", "True"), QString("True"));
    QVERIFY(settings.GetAllSettings("General").isEmpty());
    QVERIFY(settings.EnumRegistryKeys(CRegSettings::RootKey::CurrentUser, "General").isEmpty());
    QVERIFY(!QFileInfo::exists(m_config));

    QVERIFY(settings.SaveSetting("General", "First Run", "False"));
    const QByteArray before = readAll(m_file);
    QCOMPARE(settings.GetSetting("Nowhere", "Key", "d"), QString("d"));
    QCOMPARE(readAll(m_file), before);
    QVERIFY(!settings.DeleteSetting("Nowhere", "Key"));
    QCOMPARE(readAll(m_file), before);
}

void tst_CRegSettings::savingCreatesTheSectionAndItsParents()
{
    CRegSettings settings = store();
    QVERIFY(settings.SaveSetting("Deep\\Nested\\Section", "k", "v"));
    QCOMPARE(settings.GetSetting("Deep\\Nested\\Section", "k"), QString("v"));
    QCOMPARE(settings.EnumRegistryKeys(CRegSettings::RootKey::CurrentUser, "Deep"), QStringList{"Nested"});
    QCOMPARE(settings.EnumRegistryKeys(CRegSettings::RootKey::CurrentUser, "Deep\\Nested"), QStringList{"Section"});

    QVERIFY(!settings.SaveSetting("Bad\\\\Path", "k", "v"));
    QVERIFY(!settings.SaveSetting("Trailing\\", "k", "v"));
    QCOMPARE(settings.GetSetting("Bad\\\\Path", "k", "d"), QString("d"));
}

void tst_CRegSettings::nameProperties_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("appName");

    QTest::newRow("plain") << "Acme"
                           << "Acme"
                           << "Acme";
    QTest::newRow("edge blanks removed") << "  Acme Inc  "
                                         << "Acme Inc"
                                         << "Acme Inc";
    QTest::newRow("blanks only store empty") << "   "
                                             << ""
                                             << "";
    QTest::newRow("empty restores the default") << ""
                                                << "Quenmarsh"
                                                << "Zorvane";
    QTest::newRow("tabs are not blanks") << "\tAcme\t"
                                         << "\tAcme\t"
                                         << "\tAcme\t";
}

void tst_CRegSettings::nameProperties()
{
    QFETCH(QString, written);
    QFETCH(QString, company);
    QFETCH(QString, appName);

    CRegSettings settings;
    settings.setCompany("Other");
    settings.setAppName("Other");
    settings.setCompany(written);
    settings.setAppName(written);
    QCOMPARE(settings.Company(), company);
    QCOMPARE(settings.AppName(), appName);
}

void tst_CRegSettings::namesCannotLeaveTheConfigFolder()
{
    CRegSettings settings;
    settings.setCompany("../../escape");
    settings.setAppName("a/../../b");
    QVERIFY(settings.SaveSetting("S", "k", "v"));
    QCOMPARE(settings.GetSetting("S", "k"), QString("v"));
    QVERIFY(QFileInfo(settings.fileName()).absolutePath().startsWith(m_config + '/'));
    QCOMPARE(QDir(m_config).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    QVERIFY(!QFileInfo::exists(m_home->filePath("escape")));

    settings.setCompany("  ");
    QVERIFY(settings.fileName().isEmpty());
    QVERIFY(!settings.SaveSetting("S", "k", "v"));
    settings.setCompany("..");
    QVERIFY(!settings.SaveSetting("S", "k", "v"));
}

void tst_CRegSettings::starIsTheDefaultValue()
{
    CRegSettings settings = store();
    QVERIFY(settings.SaveSetting("Section", "Named", "n"));
    QVERIFY(settings.SaveSetting("Section", "*", "default text"));
    QVERIFY(settings.SaveSetting("Section", "@", "a key named at"));

    QCOMPARE(settings.GetSetting("Section", "*"), QString("default text"));
    QCOMPARE(settings.GetSetting("Section", "@"), QString("a key named at"));
    QCOMPARE(names(settings.GetAllSettings("Section")), (QStringList{"Named", "", "@"}));

    QVERIFY(settings.DeleteSetting("Section", "*"));
    QCOMPARE(settings.GetSetting("Section", "*", "gone"), QString("gone"));
    QCOMPARE(settings.GetSetting("Section", "Named"), QString("n"));
    QCOMPARE(settings.GetSetting("Section", "@"), QString("a key named at"));
    QVERIFY(!settings.DeleteSetting("Section", "*"));
}

void tst_CRegSettings::deleteSetting()
{
    CRegSettings settings = store();
    QVERIFY(!settings.DeleteSetting("Options"));
    QVERIFY(!QFileInfo::exists(m_file));

    QVERIFY(settings.SaveSetting("Options", "Auto Open", "0"));
    QVERIFY(settings.SaveSetting("Options", "Shell Integration", "1"));
    QVERIFY(settings.SaveSetting("Options\\Sub", "k", "v"));
    QVERIFY(settings.SaveSetting("General", "First Run", "False"));

    QVERIFY(settings.DeleteSetting("Options", "Auto Open"));
    QCOMPARE(settings.GetSetting("Options", "Auto Open", "gone"), QString("gone"));
    QCOMPARE(settings.GetSetting("Options", "Shell Integration"), QString("1"));
    QVERIFY(!settings.DeleteSetting("Options", "Auto Open"));

    QVERIFY2(!settings.DeleteSetting("Options"), "a section with subsections stays");
    QVERIFY(settings.DeleteSetting("Options\\Sub"));
    QVERIFY(settings.DeleteSetting("Options"));
    QVERIFY(settings.GetAllSettings("Options").isEmpty());
    QCOMPARE(settings.GetSetting("General", "First Run"), QString("False"));
    QVERIFY(!settings.DeleteSetting(""));
}

void tst_CRegSettings::getAllSettingsKeepsStoredOrder()
{
    CRegSettings settings = store();
    const QStringList keys{"Number", "0", "1", "2"};
    for (const QString& key : keys)
        QVERIFY(settings.SaveSetting("Saved Passwords", key, key + "-text"));
    QVERIFY(settings.SaveSetting("Saved Passwords", "0", "changed"));

    const auto rows = settings.GetAllSettings("Saved Passwords");
    QCOMPARE(names(rows), keys);
    QCOMPARE(rows.at(1).text, QString("changed"));
    QCOMPARE(rows.at(3).text, QString("2-text"));

    QVERIFY(settings.SaveSetting("Empty\\Child", "k", "v"));
    QVERIFY(settings.GetAllSettings("Empty").isEmpty());
}

void tst_CRegSettings::enumRegistryKeys()
{
    using Root = CRegSettings::RootKey;
    CRegSettings settings = store();
    QVERIFY(settings.EnumRegistryKeys(Root::CurrentUser, "").isEmpty());

    for (const char* section : {"Options", "General", "Extract Folders"})
        QVERIFY(settings.SaveSetting(section, "k", "v"));
    QVERIFY(settings.SaveSetting("General\\Window", "k", "v"));
    QCOMPARE(settings.EnumRegistryKeys(Root::CurrentUser, ""), QStringList{"Software"});
    QCOMPARE(settings.EnumRegistryKeys(Root::CurrentUser, "General"), QStringList{"Window"});
    QVERIFY(settings.EnumRegistryKeys(Root::CurrentUser, "Options").isEmpty());
    QVERIFY(settings.EnumRegistryKeys(Root::CurrentUser, "Missing").isEmpty());

    // The system-wide tree is read from the XDG configuration folders.
    QVERIFY(writeRaw(m_home->filePath("etc-xdg/Quenmarsh/Zorvane.conf"), "[Policies]\n[Policies\\Lock]\nx=1\n"));
    QCOMPARE(settings.EnumRegistryKeys(Root::LocalMachine, "Policies"), QStringList{"Lock"});
    QVERIFY(settings.EnumRegistryKeys(Root::CurrentUser, "Policies").isEmpty());
}

void tst_CRegSettings::instancesSeeEachOthersWrites()
{
    CRegSettings first = store();
    CRegSettings second = store();
    QVERIFY(first.SaveSetting("General", "No Instructions", "1"));
    QCOMPARE(second.GetSetting("General", "No Instructions", "0"), QString("1"));
    QVERIFY(second.SaveSetting("General", "No Instructions", "0"));
    QCOMPARE(first.GetSetting("General", "No Instructions", "1"), QString("0"));

    // A change made by another program is seen at once as well.
    QVERIFY(writeRaw(m_file, "[General]\nNo Instructions=edited\n"));
    QCOMPARE(first.GetSetting("General", "No Instructions"), QString("edited"));
}

void tst_CRegSettings::fileIsPrivateAndReadable()
{
    const mode_t oldMask = ::umask(0);
    CRegSettings settings = store();
    const bool saved = settings.SaveSetting("General", "First Run", "False") &&
                       settings.SaveSetting("Options", "Default Extract Folder", "Last used") &&
                       settings.SaveSetting("Extract Folders", "0", " /home/u/with edge blank");
    ::umask(oldMask);
    QVERIFY(saved);

    QCOMPARE(settings.fileName(), m_file);
    QCOMPARE(QFileInfo(m_file).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(readAll(m_file), QByteArray("[General]\nFirst Run=False\n\n"
                                         "[Options]\nDefault Extract Folder=Last used\n\n"
                                         "[Extract Folders]\n0=\" /home/u/with edge blank\"\n"));
}

void tst_CRegSettings::damagedFilesKeepWhatCanBeRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("readable"); // "key=text" of General that must survive, or empty

    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[\x01\x02=\x03\n\xc3\x28", 11) << "";
    QTest::newRow("truncated quoted value") << QByteArray("[General]\nKeep=yes\nCut=\"unterminated") << "Keep=yes";
    QTest::newRow("hand-edited nonsense")
        << QByteArray("junk line\n[General\nNot=here\n[General]\n  Keep = yes  \n=no name\n[[]]\n") << "Keep=yes";
    QTest::newRow("windows line endings") << QByteArray("[General]\r\nKeep=yes\r\n") << "Keep=yes";
    QTest::newRow("duplicate keys, last wins") << QByteArray("[General]\nKeep=no\n[general]\nkeep=yes\n") << "Keep=yes";
    QTest::newRow("bad escape") << QByteArray("[General]\nKeep=yes\nBad=\"\\xZZ\"\n") << "Keep=yes";
    QTest::newRow("empty file") << QByteArray() << "";
}

void tst_CRegSettings::damagedFilesKeepWhatCanBeRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, readable);

    QVERIFY(writeRaw(m_file, content));
    CRegSettings settings = store();
    QCOMPARE(settings.GetSetting("General", "Missing", "default"), QString("default"));
    QCOMPARE(settings.GetSetting("General", "Cut", "default"), QString("default"));
    QCOMPARE(settings.GetSetting("General", "Not", "default"), QString("default"));
    const QString key = readable.section('=', 0, 0);
    const QString text = readable.section('=', 1);
    if (!readable.isEmpty())
        QCOMPARE(settings.GetSetting("General", key), text);

    QVERIFY(settings.SaveSetting("General", "New", "value"));
    QCOMPARE(settings.GetSetting("General", "New"), QString("value"));
    if (!readable.isEmpty())
        QCOMPARE(settings.GetSetting("General", key), text);
}

void tst_CRegSettings::unreadableFileIsNeverReplaced()
{
    QVERIFY(QDir().mkpath(m_file)); // a folder where the file should be cannot be read as one
    CRegSettings settings = store();
    QCOMPARE(settings.GetSetting("General", "k", "default"), QString("default"));
    QVERIFY(!settings.SaveSetting("General", "k", "v"));
    QVERIFY(!settings.DeleteSetting("General", "k"));
    QVERIFY(QFileInfo(m_file).isDir());
}

void tst_CRegSettings::symbolicLinkIsKept()
{
    const QString real = m_home->filePath("dotfiles/Zorvane.conf");
    QVERIFY(writeRaw(real, "[General]\nOld=1\n"));
    QVERIFY(QDir().mkpath(QFileInfo(m_file).absolutePath()));
    QVERIFY(QFile::link(real, m_file));

    QVERIFY(store().SaveSetting("General", "New", "2"));
    QVERIFY(QFileInfo(m_file).isSymLink());
    QCOMPARE(readAll(real), QByteArray("[General]\nOld=1\nNew=2\n"));
}

void tst_CRegSettings::concurrentProcessesLoseNoValue()
{
    constexpr int Writers = 4;
    constexpr int PerWriter = 40;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 0; w < Writers; ++w) {
        auto process = std::make_unique<QProcess>();
        process->start(WriterPath, {"Race", QStringLiteral("w%1-").arg(w), QString::number(PerWriter)});
        writers.push_back(std::move(process));
    }
    for (auto& process : writers) {
        QVERIFY(process->waitForFinished(120000));
        QCOMPARE(process->exitCode(), 0);
    }

    const CRegSettings settings = store();
    QCOMPARE(settings.GetAllSettings("Race").size(), Writers * PerWriter);
    for (int w = 0; w < Writers; ++w)
        for (int i = 0; i < PerWriter; ++i)
            QVERIFY(!settings.GetSetting("Race", QStringLiteral("w%1-%2").arg(w).arg(i)).isEmpty());
}

// Each write replaces the whole file; a writer killed at any moment must leave
// either the old or the new file, never a torn one.
void tst_CRegSettings::killedWriterLeavesAWholeFile()
{
    constexpr int ValueSize = 200000;
    for (int round = 0; round < 3; ++round) {
        QProcess writer;
        writer.start(WriterPath, {"Kill", "k", "100000", QString::number(ValueSize)});
        QVERIFY(writer.waitForStarted());
        QByteArray output;
        QTRY_VERIFY((output += writer.readAllStandardOutput()).contains("saved"));
        QTest::qWait(50 + 40 * round);
        writer.kill();
        QVERIFY(writer.waitForFinished());

        const auto rows = store().GetAllSettings("Kill");
        QVERIFY(!rows.isEmpty());
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows.at(i).name, QStringLiteral("k%1").arg(i));
            QCOMPARE(rows.at(i).text.size(), ValueSize + QString::number(i).size());
        }
    }
}

void tst_CRegSettings::runNextBoot()
{
    CRegSettings settings = store();
    const QString entry = m_config + "/autostart/Zorvane.desktop";
    int action = 1;
    QVERIFY(settings.RunNextBoot("Zorvane", R"(/usr/bin/zorvane "/home/u/a b.rar")", action));
    const QByteArray text = readAll(entry);
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY(text.contains("\nExec=/usr/bin/zorvane \"/home/u/a b.rar\"\n"));
    QVERIFY(text.contains("\nName=Zorvane\n"));
    QCOMPARE(action, 1);

    action = 0;
    QVERIFY(settings.RunNextBoot("Zorvane", QString(), action));
    QVERIFY(!QFileInfo::exists(entry));
    QVERIFY(!settings.RunNextBoot("Zorvane", QString(), action));

    action = 2;
    QVERIFY(!settings.RunNextBoot("Zorvane", "x", action));
    QVERIFY(!QFileInfo::exists(entry));
    action = 1;
    QVERIFY(!settings.RunNextBoot("..", "x", action));
    QVERIFY(settings.RunNextBoot("../x", "x", action));
    QCOMPARE(QDir(m_config + "/autostart").entryList(QDir::Files | QDir::Hidden), QStringList{"..%2Fx.desktop"});
}

QTEST_GUILESS_MAIN(tst_CRegSettings)
#include "tst_CRegSettings.moc"
