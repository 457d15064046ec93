#include "settings/modAssociate.h"

#include <QDirIterator>
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
    void changesNothing_data();
    void changesNothing();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QByteArray read(const QString& name) const;
    void write(const QString& name, const QByteArray& content);
    QString entryValue(const QString& key) const;
    QStringList tree() const;
    void associateFrom(const QString& folder, const QString& icon, const QString& arguments);
    void run(const QString& program, const QStringList& arguments, const QByteArray& output);

    std::unique_ptr<QTemporaryDir> m_dir;
    const QString m_strEntry = QStringLiteral("data/applications/zorvane.desktop");
    const QString m_strList = QStringLiteral("config/mimeapps.list");
    const QString m_strCache = QStringLiteral("data/applications/mimeinfo.cache");
};

QByteArray tst_modAssociate::read(const QString& name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_modAssociate::write(const QString& name, const QByteArray& content)
{
    QFile file(path(name));
    QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
    file.write(content);
}

QString tst_modAssociate::entryValue(const QString& key) const
{
    const QString entry = QString::fromUtf8(read(m_strEntry));
    const qsizetype at = entry.indexOf(u'\n' + key + u'=');
    return at < 0 ? QString() : entry.mid(at + key.size() + 2).section(u'\n', 0, 0);
}

// Every file and folder below the temporary folder, files with their content.
QStringList tst_modAssociate::tree() const
{
    QStringList entries;
    QDirIterator it(m_dir->path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = QDir(m_dir->path()).relativeFilePath(it.next());
        entries.append(name + u'=' + (it.fileInfo().isFile() ? QString::fromUtf8(read(name)) : QStringLiteral("/")));
    }
    entries.sort();
    return entries;
}

void tst_modAssociate::associateFrom(const QString& folder, const QString& icon, const QString& arguments)
{
    QVERIFY(QDir().mkpath(path(folder)));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), path(folder + "/zorvane")));
    run(path(folder + "/zorvane"), {"--associate", icon, arguments}, QByteArray());
}

void tst_modAssociate::run(const QString& program, const QStringList& arguments, const QByteArray& output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.readAll().trimmed(), output);
    QCOMPARE(process.exitCode(), 0);
}

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
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("iconValue");

    QTest::newRow("plain path") << "bin"
                                << "bin/zorvane"
                                << ""
                                << "{dir}/bin/zorvane %f"
                                << "zorvane";
    QTest::newRow("blank in the path") << "my apps"
                                       << ""
                                       << ""
                                       << R"("{dir}/my apps/zorvane" %f)"
                                       << "zorvane";
    // Inside quotes " ` $ \ take a backslash, which the file format doubles.
    QTest::newRow("shell characters") << R"(it's "q" $HOME)"
                                      << ""
                                      << ""
                                      << R"("{dir}/it's \\"q\\" \\$HOME/zorvane" %f)"
                                      << "zorvane";
    QTest::newRow("extra arguments, PNG icon") << "bin"
                                               << "icon.png"
                                               << "  --extract %f\t"
                                               << "{dir}/bin/zorvane --extract %f"
                                               << "{dir}/icon.png";
}

void tst_modAssociate::entry()
{
    QFETCH(QString, folder);
    QFETCH(QString, icon);
    QFETCH(QString, arguments);
    QFETCH(QString, exec);
    QFETCH(QString, iconValue);

    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    QVERIFY(picture.save(path("icon.png")));
    associateFrom(folder, icon.isEmpty() ? icon : path(icon), arguments);
    QCOMPARE(entryValue("Exec"), exec.replace("{dir}", m_dir->path()));
    QCOMPARE(entryValue("Icon"), iconValue.replace("{dir}", m_dir->path()));
    const QStringList types{"application/vnd.rar", "application/x-rar", "application/x-rar-compressed"};
    QCOMPARE(entryValue("MimeType"), types.join(u';') + u';');
    run("desktop-file-validate", {path(m_strEntry)}, QByteArray());
    QVERIFY(read(m_strCache).contains("\napplication/vnd.rar=zorvane.desktop;\n"));
    // xdg-mime takes the Exec line up to the first blank for the program, so it
    // can vouch only for unquoted ones.
    for (const QString& type : exec.startsWith(u'"') ? QStringList() : types)
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
    const QByteArray others = "# mine\n[Default Applications]\ntext/plain=gedit.desktop;\n"
                              "application/vnd.rar=other.desktop;\n\n[Added Associations]\n"
                              "application/x-rar=other.desktop;\n\n[Other]\nkey = value\n";
    QTest::newRow("other content and defaults")
        << others
        << QByteArray("# mine\n[Default Applications]\ntext/plain=gedit.desktop;\n"
                      "application/vnd.rar=zorvane.desktop;other.desktop;\napplication/x-rar=zorvane.desktop;\n"
                      "application/x-rar-compressed=zorvane.desktop;\n\n[Added Associations]\n"
                      "application/x-rar=zorvane.desktop;other.desktop;\napplication/vnd.rar=zorvane.desktop;\n"
                      "application/x-rar-compressed=zorvane.desktop;\n\n[Other]\nkey = value\n")
        << others;
    QTest::newRow("ours later in a list, and forgotten")
        << QByteArray("[Default Applications]\napplication/vnd.rar=a.desktop;zorvane.desktop;\n"
                      "[Removed Associations]\napplication/x-rar=zorvane.desktop;b.desktop;\n")
        << "[Default Applications]\napplication/vnd.rar=zorvane.desktop;a.desktop;\n"
           "application/x-rar=zorvane.desktop;\napplication/x-rar-compressed=zorvane.desktop;\n"
           "[Removed Associations]\napplication/x-rar=b.desktop;\n\n[Added Associations]\n" +
               ours
        << QByteArray("[Default Applications]\napplication/vnd.rar=a.desktop;\n"
                      "[Removed Associations]\napplication/x-rar=b.desktop;\n");
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
    QVERIFY(!read(m_strCache).contains("zorvane"));
}

void tst_modAssociate::changesNothing_data()
{
    QTest::addColumn<QString>("fileType");
    QTest::addColumn<QByteArray>("entry");

    QTest::newRow("removing what was never made") << "Zorvane" << QByteArray();
    QTest::newRow("removing keeps an entry not ours")
        << "Zorvane" << QByteArray("[Desktop Entry]\nType=Application\nName=Mine\nExec=mine %f\n");
    QTest::newRow("creating without a file type") << "" << QByteArray();
}

void tst_modAssociate::changesNothing()
{
    QFETCH(QString, fileType);
    QFETCH(QByteArray, entry);

    write(m_strList, "[Default Applications]\napplication/vnd.rar=other.desktop;\n");
    if (!entry.isEmpty())
        write(m_strEntry, entry);
    const QStringList before = tree();
    if (fileType.isEmpty())
        modAssociate::CreateAssociation(fileType, ".rar", "Zorvane Rar Archive", QString(), QString());
    else
        modAssociate::RemoveAssociation(fileType, ".rar");
    QCOMPARE(tree(), before);
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
