#include "settings/modHelpLaunch.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Every row gets a desktop of its own, in xdg-utils' generic mode: a recording
// script is the default for folders and mail links and also the browser that
// xdg-open falls back to, so whatever xdg-open starts leaves "<how> <target>".
class tst_modHelpLaunch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensWithTheDefault_data();
    void opensWithTheDefault();
    void refusedTargetsRunNothing_data();
    void refusedTargetsRunNothing();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString inDir(QString text) const { return text.replace("{dir}", m_dir->path()); }
    QByteArray recorded() const;
    void write(const QString& name, QByteArray content);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_strOldCurrent;
};

QByteArray tst_modHelpLaunch::recorded() const
{
    QFile file(path("record"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_modHelpLaunch::write(const QString& name, QByteArray content)
{
    QFile file(path(name));
    QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
    file.write(content.replace("{dir}", m_dir->path().toUtf8()));
}

void tst_modHelpLaunch::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
        qputenv(name, path(name).toUtf8());
    // No desktop environment to detect; xdg-open reads the defaults only when it sees a display.
    for (const char* name : {"XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                             "MATE_DESKTOP_SESSION_ID", "DESKTOP_SESSION", "DBUS_SESSION_BUS_ADDRESS"})
        qunsetenv(name);
    qputenv("DISPLAY", ":zorvane-no-server");
    qputenv("BROWSER", inDir("{dir}/record.sh browser").toUtf8());

    write("record.sh", "#!/bin/sh\nprintf '%s\\n' \"$*\" >> {dir}/record\n");
    QVERIFY(QFile::setPermissions(path("record.sh"), QFile::ReadOwner | QFile::ExeOwner));
    write("XDG_DATA_HOME/applications/recorder.desktop",
          "[Desktop Entry]\nType=Application\nName=Recorder\nExec={dir}/record.sh entry %u\n");
    write("XDG_CONFIG_HOME/mimeapps.list",
          "[Default Applications]\ninode/directory=recorder.desktop\nx-scheme-handler/mailto=recorder.desktop\n");
    write("notes.txt", "plain text\n");
    QVERIFY(QDir(m_dir->path()).mkpath("my docs") && QDir(m_dir->path()).mkpath("-docs"));
    m_strOldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void tst_modHelpLaunch::cleanup()
{
    QDir::setCurrent(m_strOldCurrent);
    m_dir.reset();
}

void tst_modHelpLaunch::opensWithTheDefault_data()
{
    // "{dir}" is the row's temporary folder, also the current folder.
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("received");

    const auto row = [](const char* name, const QString& target, const QString& received) {
        QTest::newRow(name) << target << received;
    };
    row("folder with a blank", "{dir}/my docs", "{dir}/my docs");
    row("relative folder named like an option", "-docs", "{dir}/-docs");
    row("file URL", "file://{dir}/my%20docs", "{dir}/my docs");
    row("mail link", "mailto:a@example.com?subject=a b;c", "mailto:a@example.com?subject=a b;c");
}

void tst_modHelpLaunch::opensWithTheDefault()
{
    QFETCH(QString, target);
    QFETCH(QString, received);

    QCOMPARE(modHelpLaunch::LaunchDocument(nullptr, inDir(target)), modHelpLaunch::ResultLaunched);
    QTRY_COMPARE_WITH_TIMEOUT(recorded(), ("entry " + inDir(received) + "\n").toUtf8(), 5000);
}

void tst_modHelpLaunch::refusedTargetsRunNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("result");

    QTest::newRow("document without a default") << "{dir}/notes.txt" << modHelpLaunch::ResultNoAssociation;
    QTest::newRow("web address without a default") << "https://example.com/" << modHelpLaunch::ResultNoAssociation;
    QTest::newRow("missing file") << "{dir}/gone.txt" << modHelpLaunch::ResultFileNotFound;
}

void tst_modHelpLaunch::refusedTargetsRunNothing()
{
    QFETCH(QString, target);
    QFETCH(int, result);

    QCOMPARE(modHelpLaunch::LaunchDocument(nullptr, inDir(target)), result);
    QTest::qWait(1500); // time enough for xdg-open, had it been started, to reach the browser
    QCOMPARE(recorded(), QByteArray());
}

QTEST_MAIN(tst_modHelpLaunch)
#include "tst_modHelpLaunch.moc"
