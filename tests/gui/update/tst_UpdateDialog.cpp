#include "core/update/AppVersion.h"
#include "gui/update/UpdateDialog.h"
#include "support/LocalHttpServer.h"
#include "support/PromptScript.h"

#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>

class tst_UpdateDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root; // made before any test points TMPDIR elsewhere
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_package; // the Debian package the server offers
    QString path(const QString& name) const { return m_dir->filePath(name); }

    static void write(const QString& name, const QByteArray& content)
    {
        QFile file(name);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    static QByteArray read(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The desktop's package installer, played by a script that notes the file it
    // was handed and the name and version dpkg-deb reads from it.
    void registerPackageInstaller()
    {
        write(path("install-package"),
              "#!/bin/sh\n{ printf '%s\\n' \"$1\"; dpkg-deb --field \"$1\" Package Version; } > " +
                  path("opened.part").toUtf8() + " && mv " + path("opened.part").toUtf8() + " " +
                  path("opened").toUtf8() + "\n");
        QVERIFY(QFile::setPermissions(path("install-package"), QFile::ReadOwner | QFile::ExeOwner));
        write(path("data/applications/package-installer.desktop"),
              "[Desktop Entry]\nType=Application\nName=Package installer\nExec=" + path("install-package").toUtf8() +
                  " %f\nMimeType=application/vnd.debian.binary-package;\n");
        write(path("config/mimeapps.list"),
              "[Default Applications]\napplication/vnd.debian.binary-package=package-installer.desktop\n");
    }

private slots:
    void initTestCase()
    {
        const QString root = m_root.filePath("package");
        write(root + "/DEBIAN/control", "Package: zorvane\nVersion: 1.62\nArchitecture: amd64\nMaintainer: Quenmarsh "
                                        "<support@quenmarsh.example>\nDescription: extract RAR archives\n");
        write(root + "/usr/share/doc/zorvane/README", "Zorvane 1.62\n");
        // dpkg-deb refuses a control folder that is not world-readable, whatever the umask.
        QVERIFY(QFile::setPermissions(root + "/DEBIAN", QFileDevice::Permissions(0x7755)));
        QProcess dpkgDeb;
        dpkgDeb.start("dpkg-deb", {"--root-owner-group", "--build", root, m_root.filePath("zorvane.deb")});
        QVERIFY2(dpkgDeb.waitForFinished(60000) && dpkgDeb.exitCode() == 0, dpkgDeb.readAllStandardError());
        m_package = read(m_root.filePath("zorvane.deb"));
        QVERIFY(m_package.startsWith("!<arch>\ndebian-binary"));
        // The system's MIME database tells a Debian package by its name and content; the
        // desktop's applications and their defaults stay the test's own.
        QVERIFY(QDir().mkpath(m_root.filePath("system")));
        QVERIFY(QFile::link("/usr/share/mime", m_root.filePath("system/mime")));
        qputenv("XDG_DATA_DIRS", m_root.filePath("system").toUtf8());
        // No desktop environment to detect; xdg-open reads the defaults only when it sees a display.
        qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
        qputenv("DISPLAY", ":zorvane-no-server");
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>(m_root.filePath("XXXXXX"));
        qputenv("TMPDIR", path("tmp").toUtf8());
        qputenv("XDG_RUNTIME_DIR", path("runtime").toUtf8());
        qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
        qputenv("XDG_DATA_HOME", path("data").toUtf8());
        QVERIFY(QDir(path("")).mkpath("tmp") && QDir(path("")).mkpath("runtime") && QDir(path("")).mkpath("shared"));
        QVERIFY(QFile::setPermissions(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // The installer goes only where no other user can swap it before it starts.
    void installerFolderIsPrivate()
    {
        QCOMPARE(UpdateDialog().privateTempFolder(), path("runtime/"));
        QVERIFY(QFile::setPermissions(path("shared"), QFileDevice::Permissions(0x7777)));
        qputenv("XDG_RUNTIME_DIR", path("shared").toUtf8()); // others can write there
        const QString own = path(QString("tmp/zorvane-%1").arg(::geteuid()));
        QVERIFY(QFile::link(path("runtime"), own)); // planted by another user
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
        QFETCH(QStringList, boxes);
        if (installer)
            registerPackageInstaller();
        const QString saved = path("runtime/zorvane_latest_amd64.deb");
        write(saved, QByteArray(300000, 'o'));
        LocalHttpServer server;
        server.route("/download/zorvane_latest_amd64.deb", {200, m_package});
        qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8());
        QPointer<UpdateDialog> window = new UpdateDialog;
        int exits = 0;
        window->setExitAction([&] { ++exits; });
        window->show();
        QStringList seen;
        const auto answer = [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            seen << box->text();
            QTest::mouseClick(box->button(seen.size() == 1 && !ok ? QMessageBox::Cancel : QMessageBox::Ok),
                              Qt::LeftButton);
        };
        PromptScript script;
        script.then(answer).then(answer);
        QTest::mouseClick(window->findChild<QPushButton*>("bttnupdate"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(ok ? exits > 0 : window.isNull(), 10000);
        QCOMPARE(seen, boxes);
        QCOMPARE(exits, ok ? 1 : 0);
        QCOMPARE(window.isNull(), !ok);
        delete window;
        QCOMPARE(read(saved), m_package);
        if (ok && installer)
            QTRY_COMPARE_WITH_TIMEOUT(read(path("opened")), saved.toUtf8() + "\nPackage: zorvane\nVersion: 1.62\n",
                                      5000);
    }
};

QTEST_MAIN(tst_UpdateDialog)
#include "tst_UpdateDialog.moc"
