#include "settings/modRegister.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <dlfcn.h>
#include <memory>

// The context-menu extension, loaded from a copy in a temporary folder so the
// test decides what lies beside it, registering into a temporary home.
class tst_shellext : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void registerInstallsEveryFileManager();
    void configFile_data();
    void configFile();
    void unregisterKeepsUsersFiles();

private:
    QString home(const QString& relative) const { return m_dir->filePath("home/" + relative); }
    // Runs the extension's entry in this process, for its result code.
    long callEntry(const char* name) const;
    // Runs a menu command the way the file managers do: %F becomes the quoted
    // selection, %% a percent sign; returns the arguments the program got.
    QStringList runCommand(const QString& command, const QStringList& selection) const;
    QStringList homeFiles() const;
    QList<QMap<QString, QString>> thunarActions() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_library;
};

namespace {

const QString kDolphin = "kio/servicemenus/zorvane-menuweave.desktop";

const char* const kRarTypes = "application/vnd.rar;application/x-rar;application/x-rar-compressed;";

// Menuweave.ini as the program writes it.
QByteArray programIni(const QString& program, const QString& caption, int checked = 1, const QString& icon = {})
{
    return QString("[Dynamic Items]\r\nParent1 = 0\r\nApplication1=%1\r\nCaption1=%2\r\n"
                   "Hint1=Extract archive using Zorvane\r\nIconFile1=%4\r\nIconIndex1 = 0\r\nChecked1 = %3\r\n"
                   "FileType1 = Zorvane\r\nCount = 1\r\n")
        .arg(program, caption, QString::number(checked), icon.isEmpty() ? program : icon)
        .toUtf8();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString unescapeDesktop(QString value)
{
    static const QMap<QChar, QChar> codes{{u's', u' '}, {u'n', u'\n'}, {u't', u'\t'}};
    for (qsizetype i = 0; i + 1 < value.size(); ++i) {
        if (value[i] == u'\\')
            value.replace(i, 2, codes.value(value[i + 1], value[i + 1]));
    }
    return value;
}

// Desktop-entry style groups, values unescaped.
QMap<QString, QMap<QString, QString>> desktopGroups(const QString& path)
{
    QMap<QString, QMap<QString, QString>> groups;
    QString group;
    for (const QString& line : QString::fromUtf8(readFile(path)).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'['))
            group = line.mid(1, line.size() - 2);
        else
            groups[group][line.section(u'=', 0, 0)] = unescapeDesktop(line.section(u'=', 1));
    }
    return groups;
}

QString shellQuote(QString text)
{
    return "'" + text.replace("'", "'\\''") + "'";
}

} // namespace

void tst_shellext::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("HOME", QFile::encodeName(home("")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home(".local/share")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home(".config")));
    qputenv("ZORVANE_RECORD", QFile::encodeName(m_dir->filePath("record.txt")));
    QVERIFY(QDir().mkpath(home("")) && QDir().mkpath(m_dir->filePath("lib")));
    m_library = m_dir->filePath("lib/MWShlExt.so");
    QVERIFY(QFile::copy(ZORVANE_MWSHLEXT, m_library));
}

long tst_shellext::callEntry(const char* name) const
{
    void* library = dlopen(QFile::encodeName(m_library).constData(), RTLD_NOW | RTLD_LOCAL);
    const auto entry = library ? reinterpret_cast<long (*)()>(dlsym(library, name)) : nullptr;
    const long result = entry ? entry() : 1;
    if (library)
        dlclose(library);
    return result;
}

QStringList tst_shellext::runCommand(const QString& command, const QStringList& selection) const
{
    QStringList quoted;
    for (const QString& path : selection)
        quoted << shellQuote(path);
    QString line;
    for (qsizetype i = 0; i < command.size(); ++i) {
        if (command[i] == u'%' && i + 1 < command.size())
            line += command[++i] == u'F' ? quoted.join(u' ') : QString(command[i]);
        else
            line += command[i];
    }
    QFile::remove(m_dir->filePath("record.txt"));
    if (QProcess::execute("sh", {"-c", line}) != 0)
        return {"failed: " + line};
    return QString::fromUtf8(readFile(m_dir->filePath("record.txt"))).split(u'\n', Qt::SkipEmptyParts);
}

QStringList tst_shellext::homeFiles() const
{
    QStringList files;
    QDirIterator it(home(""), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(home("")).relativeFilePath(it.next());
    files.sort();
    return files;
}

QList<QMap<QString, QString>> tst_shellext::thunarActions() const
{
    QList<QMap<QString, QString>> actions;
    QXmlStreamReader xml(readFile(home(".config/Thunar/uca.xml")));
    while (xml.readNextStartElement()) {
        if (xml.name() == u"actions")
            continue;
        QMap<QString, QString> action;
        while (xml.readNextStartElement())
            action[xml.name().toString()] = xml.readElementText();
        actions << action;
    }
    return actions;
}

void tst_shellext::registerInstallsEveryFileManager()
{
    const QString program = m_dir->filePath("my tools/100% it's \"$rec\".sh");
    // It writes the arguments it gets, one a line, to $ZORVANE_RECORD.
    writeFile(program, "#!/bin/sh\nfor arg in \"$@\"; do printf '%s\\n' \"$arg\"; done > \"$ZORVANE_RECORD\"\n");
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    writeFile(home(".local/share/zorvane/Menuweave.ini"), programIni(program, "E&xtract with Zorvane..."));
    QVERIFY(modRegister::RegisterLibrary(m_library, true));
    const QStringList selection = {m_dir->filePath("a b/first  archive.rar"), "/tmp/it's \"q\" $HOME\\x.rar"};

    const QString dolphin = home(".local/share/" + kDolphin);
    QVERIFY(QFileInfo(dolphin).isExecutable());
    QCOMPARE(readFile(home(".local/share/kservices5/ServiceMenus/zorvane-menuweave.desktop")), readFile(dolphin));
    auto groups = desktopGroups(dolphin);
    QCOMPARE(groups["Desktop Entry"]["MimeType"], QString(kRarTypes));
    QCOMPARE(groups["Desktop Entry"]["Actions"], QStringLiteral("zorvane1;"));
    auto action = groups["Desktop Action zorvane1"];
    QCOMPARE(action["Name"], QStringLiteral("E&xtract with Zorvane..."));
    QCOMPARE(runCommand(action["Exec"], selection), selection);

    action = desktopGroups(home(".local/share/nemo/actions/zorvane.nemo_action"))["Nemo Action"];
    QCOMPARE(action["Selection"] + action["Extensions"] + action["Mimetypes"], "notnonerar;" + QString(kRarTypes));
    QCOMPARE(runCommand(action["Exec"], selection), selection);

    const auto thunar = thunarActions();
    QCOMPARE(thunar.size(), 1);
    QCOMPARE(thunar[0]["name"], QStringLiteral("E_xtract with Zorvane..."));
    QCOMPARE(thunar[0]["patterns"], QStringLiteral("*.rar;*.RAR"));
    QCOMPARE(runCommand(thunar[0]["command"], selection), selection);

    // Nautilus hands the selection over in a variable, one path a line.
    const QString script = home(".local/share/nautilus/scripts/Extract with Zorvane...");
    QVERIFY(QFileInfo(script).isExecutable());
    qputenv("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", (selection.join(u'\n') + u'\n').toUtf8());
    QCOMPARE(runCommand(shellQuote(script), {}), selection);
    qunsetenv("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS");
}

void tst_shellext::configFile_data()
{
    // Which Menuweave.ini files exist (empty: none) and what registering makes of
    // them: its result, the Nemo actions as "file=Name [icon]", the Nautilus scripts.
    QTest::addColumn<QByteArray>("besideLibrary");
    QTest::addColumn<QByteArray>("inDataFolder");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QStringList>("nemoActions");
    QTest::addColumn<QStringList>("scripts");

    const QByteArray none;
    QTest::newRow("beside the library first")
        << programIni("/bin/true", "&Beside") << programIni("/bin/true", "&Data") << true
        << QStringList{"zorvane.nemo_action=_Beside [zorvane]"} << QStringList{"Beside"};
    QTest::newRow("none") << none << none << false << QStringList() << QStringList();
    QTest::newRow("not checked") << none << programIni("/bin/true", "&Data", 0) << true << QStringList()
                                 << QStringList();
    // Nemo doubles a literal "_" and takes "_" for the accelerator; a script name has neither and no path.
    QTest::newRow("escapes, slash, leading dot, image icon")
        << none << programIni("/bin/true", ".hidden/Save && _&go", 1, "/opt/z/icon.PNG") << true
        << QStringList{"zorvane.nemo_action=.hidden/Save & ___go [/opt/z/icon.PNG]"}
        << QStringList{"hidden-Save & _go"};
    QTest::newRow("lenient syntax") << none
                                    << QByteArray(
                                           "; by hand\n[Other]\nCount=5\nCaption4=Elsewhere\n[ dynamic ITEMS ]\n"
                                           "COUNT = 2\ncaption2 =  \"&Unpack\"  \napplication2=/bin/true\nchecked2=1\n"
                                           "Checked1=1\nApplication1 = /bin/true\nCaption1=One\nIconFile1=icon.png\n"
                                           "Caption3=Beyond\nApplication3=/bin/true\nChecked3=1\n")
                                    << true
                                    << QStringList{"zorvane-2.nemo_action=_Unpack [zorvane]",
                                                   "zorvane.nemo_action=One [zorvane]"}
                                    << QStringList{"One", "Unpack"};
}

void tst_shellext::configFile()
{
    QFETCH(QByteArray, besideLibrary);
    QFETCH(QByteArray, inDataFolder);
    QFETCH(bool, succeeds);
    QFETCH(QStringList, nemoActions);
    QFETCH(QStringList, scripts);

    if (!besideLibrary.isEmpty())
        writeFile(m_dir->filePath("lib/Menuweave.ini"), besideLibrary);
    if (!inDataFolder.isEmpty())
        writeFile(home(".local/share/zorvane/Menuweave.ini"), inDataFolder);
    const QStringList before = homeFiles();

    const long result = callEntry("DllRegisterServer");
    QCOMPARE(result == 0, succeeds);
    QVERIFY(result <= 0);
    QStringList found;
    const QDir actions(home(".local/share/nemo/actions"));
    for (const QString& name : actions.entryList(QDir::Files, QDir::Name)) {
        auto action = desktopGroups(actions.filePath(name))["Nemo Action"];
        found << name + "=" + action["Name"] + " [" + action["Icon-Name"] + "]";
    }
    QCOMPARE(found, nemoActions);
    QCOMPARE(QDir(home(".local/share/nautilus/scripts")).entryList(QDir::Files, QDir::Name), scripts);
    if (nemoActions.isEmpty())
        QCOMPARE(homeFiles(), before);
}

void tst_shellext::unregisterKeepsUsersFiles()
{
    // The user's own actions, beside and among ours, one under the very name our script takes.
    const QByteArray uca = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<icon>x</icon>\n"
                           "\t<name>Mine &amp; yours</name>\n\t<unique-id>1700000000-1</unique-id>\n"
                           "\t<command>mine %f</command>\n\t<patterns>*</patterns>\n\t<other-files/>\n"
                           "</action>\n  </actions>\n";
    writeFile(home(".config/Thunar/uca.xml"), uca);
    writeFile(home(".local/share/nemo/actions/zorvane-mine.nemo_action"), "[Nemo Action]\nName=Mine\n");
    writeFile(home(".local/share/kio/servicemenus/mine.desktop"), "[Desktop Entry]\n");
    writeFile(home(".local/share/nautilus/scripts/Extract with Zorvane..."), "#!/bin/sh\necho mine\n");
    writeFile(home(".local/share/zorvane/Menuweave.ini"), programIni("/bin/true", "E&xtract with Zorvane..."));
    const QStringList before = homeFiles();

    QVERIFY2(callEntry("DllRegisterServer") < 0, "the user's script keeps its name, so not everything was done");
    QVERIFY(callEntry("DllRegisterServer") < 0); // replaces ours rather than adding to them
    QCOMPARE(readFile(home(".local/share/nautilus/scripts/Extract with Zorvane...")), "#!/bin/sh\necho mine\n");
    const auto thunar = thunarActions();
    QCOMPARE(thunar.size(), 2);
    QCOMPARE(thunar[0]["name"], QStringLiteral("Mine & yours"));
    QCOMPARE(homeFiles().size(), before.size() + 3);

    QVERIFY(modRegister::RegisterLibrary(m_library, false));
    QCOMPARE(homeFiles(), before);
    QCOMPARE(readFile(home(".config/Thunar/uca.xml")), uca);
    QCOMPARE(callEntry("DllUnregisterServer"), 0L);
}

QTEST_GUILESS_MAIN(tst_shellext)
#include "tst_shellext.moc"
