#include "platform/ExtensionRegistration.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

class tst_shellext : public QObject
{
    Q_OBJECT

    static inline const QString RarTypes = "application/vnd.rar;application/x-rar;application/x-rar-compressed;";

    static void writeFile(const QString& path, const QByteArray& data)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A desktop-entry file's keys, the first of each, values unescaped.
    static QMap<QString, QString> desktopKeys(const QString& path)
    {
        QMap<QString, QString> keys;
        for (const QString& line : QString::fromUtf8(readFile(path)).split(u'\n')) {
            QString value = line.section(u'=', 1);
            for (qsizetype i = 0; i + 1 < value.size(); ++i) {
                if (value[i] == u'\\')
                    value.replace(i, 2, value[i + 1] == u's' ? QChar(u' ') : value[i + 1]);
            }
            if (!keys.contains(line.section(u'=', 0, 0)))
                keys[line.section(u'=', 0, 0)] = value;
        }
        return keys;
    }

    // Runs a menu command as file managers do (%F: the quoted selection); returns what it printed.
    static QStringList runCommand(const QString& command, const QStringList& selection)
    {
        QStringList quoted;
        for (QString path : selection)
            quoted << "'" + path.replace("'", "'\\''") + "'";
        QString line;
        for (qsizetype i = 0; i < command.size(); ++i)
            line += command[i] != u'%' ? QString(command[i]) : command[++i] == u'F' ? quoted.join(u' ') : command[i];
        QProcess sh;
        sh.start("sh", {"-c", line});
        return sh.waitForFinished() ? QString::fromUtf8(sh.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)
                                    : QStringList();
    }

    QTemporaryDir m_dir;

    QString home(const QString& relative) const { return m_dir.filePath("home/" + relative); }
    QString data(const QString& relative) const { return home(".local/share/" + relative); }

    QStringList thunar(QStringView element) const
    {
        QStringList texts;
        QXmlStreamReader xml(readFile(home(".config/Thunar/uca.xml")));
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element)
                texts << xml.readElementText();
        }
        return texts;
    }

    QStringList homeFiles() const
    {
        QStringList files;
        QDirIterator it(home(""), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(home("")).relativeFilePath(it.next());
        files.sort();
        return files;
    }

private slots:
    // Each file manager's entry passes on any archive names; the user's own entries stay.
    void registerAndUnregister()
    {
        qputenv("HOME", QFile::encodeName(home("")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(data("")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home(".config")));
        const QByteArray uca = "<?xml version=\"1.0\"?>\n<actions>\n<action>\n\t<name>Mine &amp; yours</name>\n"
                               "\t<command>mine %f</command>\n\t<patterns>*</patterns>\n</action>\n  </actions>\n";
        writeFile(home(".config/Thunar/uca.xml"), uca);
        writeFile(data("nemo/actions/zorvane-mine.nemo_action"), "[Nemo Action]\nName=Mine\n");
        writeFile(data("kio/servicemenus/mine.desktop"), "[Desktop Entry]\n");
        writeFile(data("nautilus/scripts/Mine"), "#!/bin/sh\necho mine\n"); // the name ours would take
        const QString program = m_dir.filePath("my tools/100% it's \"$rec\".sh");
        writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\"\n"); // prints its arguments, one a line
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QStringList before = homeFiles();
        writeFile(
            data("zorvane/Menuweave.ini"),
            "[Dynamic Items]\r\nParent1 = 0\r\nApplication1=" + program.toUtf8() +
                "\r\nCaption1=E&xtract with Zorvane...\r\nHint1=Extract archive\r\nIconFile1=" + program.toUtf8() +
                "\r\nIconIndex1 = 0\r\nChecked1 = 1\r\nFileType1 = Zorvane\r\nApplication2=/bin/true\r\n"
                "Caption2=Mine\r\nChecked2 = 1\r\nCount = 2\r\n");
        const QString library = m_dir.filePath("lib/ext.so");
        QVERIFY(QDir().mkpath(m_dir.filePath("lib")) && QFile::copy(ZORVANE_MWSHLEXT, library));
        QVERIFY(ExtensionRegistration::run(library, true));
        QVERIFY(ExtensionRegistration::run(library, true)); // replaces ours rather than adding to them
        const QStringList selection = {m_dir.filePath("a b/first  archive.rar"), "/tmp/it's \"q\" $HOME\\x.rar"};

        const QString dolphin = data("kio/servicemenus/zorvane-menuweave.desktop");
        QVERIFY(QFileInfo(dolphin).isExecutable());
        auto keys = desktopKeys(dolphin);
        QCOMPARE(keys["MimeType"] + keys["Name"], RarTypes + "E&xtract with Zorvane...");
        QCOMPARE(runCommand(keys["Exec"], selection), selection);
        keys = desktopKeys(data("nemo/actions/zorvane.nemo_action"));
        QCOMPARE(keys["Mimetypes"] + keys["Name"], RarTypes + "E_xtract with Zorvane...");
        QCOMPARE(runCommand(keys["Exec"], selection), selection);
        QCOMPARE(thunar(u"name"), QStringList({"Mine & yours", "E_xtract with Zorvane...", "Mine"}));
        QCOMPARE(thunar(u"patterns").value(1), "*.rar;*.RAR");
        QCOMPARE(runCommand(thunar(u"command").value(1), selection), selection);
        // Nautilus hands the selection over in a variable, one path a line.
        qputenv("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", (selection.join(u'\n') + u'\n').toUtf8());
        QCOMPARE(runCommand("%F", {data("nautilus/scripts/Extract with Zorvane...")}), selection);

        QVERIFY(ExtensionRegistration::run(library, false));
        QCOMPARE(homeFiles(), before + QStringList{".local/share/zorvane/Menuweave.ini"});
        QCOMPARE(readFile(home(".config/Thunar/uca.xml")), uca);
    }
};

QTEST_GUILESS_MAIN(tst_shellext)
#include "tst_shellext.moc"
