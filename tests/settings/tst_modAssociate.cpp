#include "settings/modAssociate.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The association names the running program, so tests that need the program
// somewhere in particular copy this executable there and let the copy associate
// itself (see main below).
class tst_modAssociate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void entry_data();
    void entry();
    void mimeAppsList_data();
    void mimeAppsList();
    void removeKeepsOthers();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& content)
    {
        QFile file(path(name));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void run(const QString& program, const QStringList& arguments, const QByteArray& output)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.readAll().trimmed(), output);
        QCOMPARE(process.exitCode(), 0);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    const QString m_strEntry = QStringLiteral("data/applications/zorvane.desktop");
    const QString m_strList = QStringLiteral("config/mimeapps.list");
};

void tst_modAssociate::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("HOME", path("home").toUtf8());
    qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    qputenv("XDG_DATA_HOME", path("data").toUtf8());
    qputenv("XDG_CONFIG_DIRS", path("etc-xdg").toUtf8());
    // The shared MIME database that Qt and xdg-mime read is only there.
    qputenv("XDG_DATA_DIRS", "/usr/share");
    qunsetenv("XDG_CURRENT_DESKTOP");
}

void tst_modAssociate::entry_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("icon"); // "{exe}": the program file itself, no picture
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("lines"); // the Exec and Icon lines

    QTest::newRow("extra arguments, PNG icon") << "bin"
                                               << "icon.png"
                                               << "  --extract %f\t"
                                               << "Exec={dir}/bin/zorvane --extract %f\nIcon={dir}/icon.png";
    // Inside quotes " ` $ \ take a backslash, which the file format doubles.
    QTest::newRow("shell characters, program as icon")
        << R"(it's "q" $HOME)"
        << "{exe}"
        << ""
        << "Exec=\"{dir}/it's \\\\\"q\\\\\" \\\\$HOME/zorvane\" %f\nIcon=zorvane";
}

void tst_modAssociate::entry()
{
    QFETCH(QString, folder);
    QFETCH(QString, icon);
    QFETCH(QString, arguments);
    QFETCH(QString, lines);

    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    QVERIFY(picture.save(path("icon.png")));
    const QString program = path(folder + "/zorvane");
    QVERIFY(QDir().mkpath(path(folder)) && QFile::copy(QCoreApplication::applicationFilePath(), program));
    run(program, {"--associate", icon == "{exe}" ? program : path(icon), arguments}, QByteArray());
    const QString entry = QString::fromUtf8(read(m_strEntry));
    QVERIFY2(entry.contains(u'\n' + lines.replace("{dir}", m_dir->path()) + u'\n'), qPrintable(entry));
    const QStringList types{"application/vnd.rar", "application/x-rar", "application/x-rar-compressed"};
    QVERIFY(entry.contains("\nMimeType=" + types.join(u';') + ";\n"));
    run("desktop-file-validate", {path(m_strEntry)}, QByteArray());
    QVERIFY(read("data/applications/mimeinfo.cache").contains("\napplication/vnd.rar=zorvane.desktop;\n"));
    // xdg-mime takes the Exec line up to the first blank for the program, so it
    // can vouch only for unquoted ones.
    for (const QString& type : lines.startsWith("Exec=\"") ? QStringList() : types)
        run("xdg-mime", {"query", "default", type}, "zorvane.desktop");
}

void tst_modAssociate::mimeAppsList_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("created");
    QTest::addColumn<QByteArray>("removed");

    const QByteArray ours = "application/vnd.rar=zorvane.desktop;\napplication/x-rar=zorvane.desktop;\n"
                            "application/x-rar-compressed=zorvane.desktop;\n";
    QTest::newRow("no list yet") << QByteArray()
                                 << "[Default Applications]\n" + ours + "\n[Added Associations]\n" + ours
                                 << QByteArray();
    // Ours goes first, the rest of the file stays as it was and comes back on removal.
    QTest::newRow("other content, ours later in a list, and forgotten")
        << QByteArray("# mine\n[Default Applications]\ntext/plain=gedit.desktop;\n"
                      "application/vnd.rar=a.desktop;zorvane.desktop;\n[Removed Associations]\n"
                      "application/x-rar=zorvane.desktop;b.desktop;\n\n[Other]\nkey = value\n")
        << "# mine\n[Default Applications]\ntext/plain=gedit.desktop;\napplication/vnd.rar=zorvane.desktop;a.desktop;\n"
           "application/x-rar=zorvane.desktop;\napplication/x-rar-compressed=zorvane.desktop;\n"
           "[Removed Associations]\napplication/x-rar=b.desktop;\n\n[Other]\nkey = value\n\n[Added Associations]\n" +
               ours
        << QByteArray("# mine\n[Default Applications]\ntext/plain=gedit.desktop;\napplication/vnd.rar=a.desktop;\n"
                      "[Removed Associations]\napplication/x-rar=b.desktop;\n\n[Other]\nkey = value\n");
}

void tst_modAssociate::mimeAppsList()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, created);
    QFETCH(QByteArray, removed);

    if (!before.isEmpty())
        write(m_strList, before);
    modAssociate::CreateAssociation("Zorvane", ".rar", "Zorvane Rar Archive", QString(), QString());
    QCOMPARE(read(m_strList), created);
    modAssociate::RemoveAssociation("Zorvane", ".rar");
    QCOMPARE(read(m_strList), removed);
    QCOMPARE(QFile::exists(path(m_strList)), !removed.isEmpty());
    QVERIFY(!QFile::exists(path(m_strEntry)));
    QVERIFY(!read("data/applications/mimeinfo.cache").contains("zorvane"));
}

// The entry is not ours to delete, and the list holds no ID of ours.
void tst_modAssociate::removeKeepsOthers()
{
    const QByteArray list = "[Default Applications]\napplication/vnd.rar=other.desktop;\n";
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Mine\nExec=mine %f\n";
    write(m_strList, list);
    write(m_strEntry, entry);
    modAssociate::RemoveAssociation("Zorvane", ".rar");
    QCOMPARE(read(m_strList), list);
    QCOMPARE(read(m_strEntry), entry);
    QCOMPARE(QDir(path("data/applications")).entryList(QDir::Files | QDir::Hidden), QStringList{"zorvane.desktop"});
}

// Run as "<copy> --associate <icon> <arguments>", the executable associates
// itself the way the options window does, with its own path in the command.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1) == "--associate") {
        modAssociate::CreateAssociation("Zorvane", ".rar", "Zorvane Rar Archive", arguments.value(2),
                                        arguments.value(3));
        return 0;
    }
    tst_modAssociate test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modAssociate.moc"
