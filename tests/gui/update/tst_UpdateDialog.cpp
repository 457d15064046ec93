#include "core/update/AppVersion.h"
#include "gui/update/UpdateDialog.h"
#include "support/LocalHttpServer.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <unistd.h>

class tst_UpdateDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root; // made before any test points TMPDIR elsewhere
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // What the server offers: a Debian package by its head, which is how the desktop tells one.
    const QByteArray m_package =
        "!<arch>\ndebian-binary   0           0     0     100644  4         `\n2.0\n" + QByteArray(100000, 'p');

    // The desktop's package installer, played by a script that notes the file it
    // was handed and its size as it starts.
    void registerPackageInstaller()
    {
        const QByteArray opened = path("opened").toUtf8();
        writeFile(path("install-package"), "#!/bin/sh\n{ printf '%s\\n' \"$1\"; wc -c < \"$1\"; } > " + opened +
                                               ".part && mv " + opened + ".part " + opened + "\n");
        QVERIFY(QFile::setPermissions(path("install-package"), QFile::ReadOwner | QFile::ExeOwner));
        writeFile(path("XDG_DATA_HOME/applications/package-installer.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Package installer\nExec=" +
                      path("install-package").toUtf8() + " %f\nMimeType=application/vnd.debian.binary-package;\n");
        writeFile(path("XDG_CONFIG_HOME/mimeapps.list"),
                  "[Default Applications]\napplication/vnd.debian.binary-package=package-installer.desktop\n");
    }

private slots:
    void initTestCase()
    {
        // The system's MIME database tells a Debian package by its name and content; the
        // desktop's applications and their defaults stay the test's own.
        QVERIFY(QFile::link("/usr/share/mime", m_root.filePath("mime")));
        qputenv("XDG_DATA_DIRS", m_root.path().toUtf8());
        // No desktop environment to detect; xdg-open reads the defaults only when it sees a display.
        qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
        qputenv("DISPLAY", ":zorvane-no-server");
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>(m_root.filePath("XXXXXX"));
        for (const char* name : {"TMPDIR", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            qputenv(name, path(name).toUtf8());
        QVERIFY(QDir(path("")).mkpath("TMPDIR") && QDir(path("")).mkpath("XDG_RUNTIME_DIR"));
        QVERIFY(QFile::setPermissions(path("XDG_RUNTIME_DIR"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // The installer goes only where no other user can swap it before it starts.
    void installerFolderIsPrivate()
    {
        QCOMPARE(UpdateDialog().privateTempFolder(), path("XDG_RUNTIME_DIR/"));
        QVERIFY(QDir(path("")).mkpath("shared") &&
                QFile::setPermissions(path("shared"), QFileDevice::Permissions(0x7777)));
        qputenv("XDG_RUNTIME_DIR", path("shared").toUtf8()); // others can write there
        const QString own = path(QString("TMPDIR/zorvane-%1").arg(::geteuid()));
        QVERIFY(QFile::link(path("XDG_RUNTIME_DIR"), own)); // planted by another user
        QCOMPARE(UpdateDialog().privateTempFolder(), QString());
        QVERIFY(QFile::remove(own));
        QCOMPARE(UpdateDialog().privateTempFolder(), own + '/');
        QCOMPARE(QFileInfo(own).permissions() & (QFile::WriteGroup | QFile::WriteOther), QFile::Permissions());
    }

    void update_data()
    {
        QTest::addColumn<bool>("ok");        // the answer to "Download Complete"
        QTest::addColumn<bool>("installer"); // the desktop has an application for Debian packages
        QTest::addColumn<QStringList>("boxes");
        const QString complete = "The program will now close and start the installation.";
        const QString error = "Error opening file. Please visit our site at " + QString(AppVersion::PublisherSite) +
                              " to download the latest version.";
        QTest::newRow("Cancel") << false << true << QStringList{complete};
        QTest::newRow("OK, opened by the package installer") << true << true << QStringList{complete};
        QTest::newRow("OK, nothing opens packages") << true << false << QStringList{complete, error};
    }

    // The package replaces an older download whole; OK hands it to the installer and
    // ends the program, Cancel closes only the window.
    void update()
    {
        QFETCH(bool, ok);
        QFETCH(bool, installer);
        if (installer)
            registerPackageInstaller();
        const QString saved = path("XDG_RUNTIME_DIR/zorvane_latest_amd64.deb");
        writeFile(saved, QByteArray(300000, 'o'));
        LocalHttpServer server;
        server.route("/download/zorvane_latest_amd64.deb", {200, m_package});
        qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8());
        QPointer<UpdateDialog> window = new UpdateDialog;
        int exits = 0;
        window->setExitAction([&] { ++exits; });
        window->show();
        PromptScript script;
        script.then(PromptScript::press(ok ? "Enter" : "Escape")).then(PromptScript::press("Enter"));
        QTest::mouseClick(window->findChild<QPushButton*>("bttnupdate"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(ok ? exits > 0 : window.isNull(), 10000);
        QTEST(script.messages, "boxes");
        QCOMPARE(exits, ok ? 1 : 0);
        QCOMPARE(window.isNull(), !ok);
        delete window;
        QCOMPARE(readFile(saved), m_package);
        if (ok && installer)
            QTRY_COMPARE_WITH_TIMEOUT(readFile(path("opened")), saved.toUtf8() + "\n100072\n", 5000);
    }
};

QTEST_MAIN(tst_UpdateDialog)
#include "tst_UpdateDialog.moc"
