#include "gui/options/OptionsDialog.h"
#include "platform/ExtensionRegistration.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QXmlStreamReader>

class tst_shellext : public QObject
{
    Q_OBJECT

    static inline const QString RarTypes = "application/vnd.rar;application/x-rar;application/x-rar-compressed;";

    // The keys of a desktop-entry file's group, values unescaped.
    static QMap<QString, QString> desktopKeys(const QString& path, const QString& group)
    {
        QMap<QString, QString> keys;
        const QString text = QString::fromUtf8(readFile(path)).section("[" + group + "]\n", 1).section("\n[", 0, 0);
        for (const QString& line : text.split(u'\n')) {
            QString value = line.section(u'=', 1);
            for (qsizetype i = 0; i + 1 < value.size(); ++i) {
                if (value[i] == u'\\')
                    value.replace(i, 2, value[i + 1] == u's' ? QChar(u' ') : value[i + 1]);
            }
            keys.insert(line.section(u'=', 0, 0), value);
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

    std::unique_ptr<QTemporaryDir> m_dir;

    QString home(const QString& relative) const { return m_dir->filePath("home/" + relative); }
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

    // The files below the home folder, hidden ones too; the data folder's without its path.
    QStringList homeFiles() const
    {
        return tree(home(""))
            .filter(QRegularExpression(" [0-9a-f]{32}$"))
            .replaceInStrings(QRegularExpression("^\\.local/share/| \\S+$"), "");
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void registerAndUnregister_data()
    {
        QTest::addColumn<bool>("oldFileLast"); // else the old one-item file goes first, today's after it
        QTest::addColumn<int>("index");        // the item whose entries are run
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("here") << false << 2 << "Extract &Here" << QStringList{"--extract-here"};
        QTest::newRow("old file, item as today's first") << true << 1 << "E&xtract with Zorvane..." << QStringList();
    }

    // Each file manager's entry passes its arguments and any archive names on;
    // registering again replaces ours, and the user's own entries stay.
    void registerAndUnregister()
    {
        QFETCH(bool, oldFileLast);
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QStringList, arguments);
        qputenv("HOME", QFile::encodeName(home("")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(data("")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home(".config")));
        const QByteArray uca = "<?xml version=\"1.0\"?>\n<actions>\n<action>\n\t<name>Mine &amp; yours</name>\n"
                               "\t<command>mine %f</command>\n\t<patterns>*</patterns>\n</action>\n  </actions>\n";
        writeFile(home(".config/Thunar/uca.xml"), uca);
        writeFile(data("nemo/actions/zorvane-mine.nemo_action"), "[Nemo Action]\nName=Mine\n");
        writeFile(data("kio/servicemenus/mine.desktop"), "[Desktop Entry]\n");
        writeFile(data("nautilus/scripts/Mine"), "#!/bin/sh\necho mine\n"); // the name ours would take
        const QString program = m_dir->filePath("my tools/100% it's \"$rec\".sh");
        writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\"\n"); // prints its arguments, one a line
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QStringList before = homeFiles();
        const QByteArray oldFile =
            "[Dynamic Items]\r\nParent1 = 0\r\nApplication1=" + program.toUtf8() +
            "\r\nCaption1=E&xtract with Zorvane...\r\nHint1=Extract archive\r\nIconFile1=" + program.toUtf8() +
            "\r\nIconIndex1 = 0\r\nChecked1 = 1\r\nFileType1 = Zorvane\r\n"
            "Application2=/bin/true\r\nCaption2=Mine\r\nChecked2 = 1\r\nCount = 2\r\n";
        const QByteArray todaysFile = OptionsDialog::menuweaveText(program).replace(
            "Count = 2", "Application3=/bin/true\r\nCaption3=Mine\r\nChecked3 = 1\r\nCount = 3");
        const QString library = m_dir->filePath("lib/ext.so");
        QVERIFY(QDir().mkpath(m_dir->filePath("lib")) && QFile::copy(ZORVANE_MWSHLEXT, library));
        for (const QByteArray& ini : oldFileLast ? QList{todaysFile, oldFile} : QList{oldFile, todaysFile}) {
            writeFile(data("zorvane/Menuweave.ini"), ini);
            QVERIFY(ExtensionRegistration::run(library, true));
        }
        const QString dolphin = data("kio/servicemenus/zorvane-menuweave.desktop");
        // Both files have a second item; only today's has a third ("Mine" there).
        QStringList files = before + QStringList{"zorvane/Menuweave.ini",
                                                 "kio/servicemenus/zorvane-menuweave.desktop",
                                                 "kservices5/ServiceMenus/zorvane-menuweave.desktop",
                                                 "nemo/actions/zorvane.nemo_action",
                                                 "nemo/actions/zorvane-2.nemo_action",
                                                 "nautilus/scripts/Extract with Zorvane..."};
        QStringList thunarNames = {"Mine & yours", "E_xtract with Zorvane...", "Extract _Here", "Mine"};
        if (oldFileLast)
            thunarNames.removeAt(2);
        else
            files << "nemo/actions/zorvane-3.nemo_action"
                  << "nautilus/scripts/Extract Here";
        files.sort();
        QCOMPARE(homeFiles(), files);
        QCOMPARE(thunar(u"name"), thunarNames);

        const QStringList selection = {m_dir->filePath("a b/first  archive.rar"),
                                       "/tmp/it's \"q\" $HOME\\ünï 日本.rar"};
        const QStringList printed = arguments + selection;
        QVERIFY(QFileInfo(dolphin).isExecutable());
        QCOMPARE(desktopKeys(dolphin, "Desktop Entry")["MimeType"], RarTypes);
        auto keys = desktopKeys(dolphin, "Desktop Action zorvane" + QString::number(index));
        QCOMPARE(keys["Name"], caption);
        QCOMPARE(runCommand(keys["Exec"], selection), printed);
        keys =
            desktopKeys(data(QString("nemo/actions/zorvane%1.nemo_action").arg(index == 1 ? "" : "-2")), "Nemo Action");
        QCOMPARE(keys["Mimetypes"] + keys["Name"], RarTypes + QString(caption).replace(u'&', u'_'));
        QCOMPARE(runCommand(keys["Exec"], selection), printed);
        QCOMPARE(thunar(u"patterns").value(index), "*.rar;*.RAR");
        QCOMPARE(runCommand(thunar(u"command").value(index), selection), printed);
        // Nautilus hands the selection over in a variable, one path a line.
        qputenv("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", (selection.join(u'\n') + u'\n').toUtf8());
        QCOMPARE(runCommand("%F", {data("nautilus/scripts/" + QString(caption).remove(u'&'))}), printed);

        QVERIFY(ExtensionRegistration::run(library, false));
        QCOMPARE(homeFiles(), before + QStringList{"zorvane/Menuweave.ini"});
        QCOMPARE(readFile(home(".config/Thunar/uca.xml")), uca);
    }
};

QTEST_GUILESS_MAIN(tst_shellext)
#include "tst_shellext.moc"
