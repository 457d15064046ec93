#include "platform/FileAssociation.h"
#include "support/DataRow.h"
#include "support/TestFiles.h"

#include <QProcess>

// The entry names the running program, so each row runs a copy of this executable (see main).
class tst_FileAssociation : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_entry = m_dir.filePath("XDG_DATA_HOME/applications/zorvane.desktop");
    const QString m_mimeApps = m_dir.filePath("XDG_CONFIG_HOME/mimeapps.list");

private slots:
    void initTestCase()
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            qputenv(name, m_dir.filePath(name).toUtf8());
        qputenv("XDG_DATA_DIRS", "/usr/share"); // the shared MIME database that Qt and xdg-mime read
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    void associate_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QByteArray>("before"); // mimeapps.list
        QTest::addColumn<QByteArray>("created");
        const QByteArray rest = "application/x-rar=zorvane.desktop;\napplication/x-rar-compressed=zorvane.desktop;\n";
        const QByteArray ours = "application/vnd.rar=zorvane.desktop;\n" + rest, other = "\n[Other]\nk = v\n";
        const QByteArray head = "# mine\n[Default Applications]\ntext/plain=g.desktop;\napplication/vnd.rar=";
        const QByteArray forgot = "[Removed Associations]\napplication/x-rar=";
        dataRow("extra arguments, no list yet", "bin", "  --extract %f\t", "{dir}/bin/zorvane --extract %f",
                QByteArray(), "[Default Applications]\n" + ours + "\n[Added Associations]\n" + ours);
        // " ` $ \ take a backslash inside quotes, doubled in the file; ours goes first, a "forget" of ours goes.
        dataRow("shell characters, ours later in a list, and forgotten", "it's \"q\" $HOME", "",
                "\"{dir}/it's \\\\\"q\\\\\" \\\\$HOME/zorvane\" %f",
                head + "a.desktop;zorvane.desktop;\n" + forgot + "zorvane.desktop;b.desktop;\n" + other,
                head + "zorvane.desktop;a.desktop;\n" + rest + forgot + "b.desktop;\n" + other +
                    "\n[Added Associations]\n" + ours);
    }

    void associate()
    {
        QFETCH(QString, folder);
        QFETCH(QString, arguments);
        QFETCH(QString, exec);
        QFETCH(QByteArray, before);
        if (!before.isEmpty())
            writeFile(m_mimeApps, before);
        const QString program = m_dir.filePath(folder + "/zorvane");
        QVERIFY(QDir().mkpath(m_dir.filePath(folder)) && QFile::copy(QCoreApplication::applicationFilePath(), program));
        QCOMPARE(QProcess::execute(program, {"--associate", arguments}), 0);
        const QString entry = QString::fromUtf8(readFile(m_entry));
        QVERIFY2(entry.contains("\nExec=" + exec.replace("{dir}", m_dir.path()) + "\nIcon=zorvane\n"),
                 qPrintable(entry));
        QVERIFY(entry.contains("\nMimeType=application/vnd.rar;application/x-rar;application/x-rar-compressed;\n"));
        QCOMPARE(QProcess::execute("desktop-file-validate", {m_entry}), 0);
        QVERIFY(readFile(m_dir.filePath("XDG_DATA_HOME/applications/mimeinfo.cache")).contains("=zorvane.desktop;\n"));
        QTEST(readFile(m_mimeApps), "created");

        // Removal takes our ID out of every list and deletes our entry.
        FileAssociation::remove("Zorvane", ".rar");
        QCOMPARE(readFile(m_mimeApps), before.replace("zorvane.desktop;", ""));
        QVERIFY(!QFile::exists(m_entry));
        // An entry of that name without our marker is not ours to delete.
        writeFile(m_entry, "[Desktop Entry]\nName=Mine\n");
        FileAssociation::remove("Zorvane", ".rar");
        QVERIFY(QFile::exists(m_entry));
    }
};

// "<copy> --associate <arguments>": associate the copy as the options window does, its own file as the icon.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == "--associate")
        return FileAssociation::create("Zorvane", ".rar", "", app.applicationFilePath(), app.arguments()[2]), 0;
    tst_FileAssociation test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FileAssociation.moc"
