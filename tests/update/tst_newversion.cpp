#include "support/PromptScript.h"
#include "update/LocalHttpServer.h"
#include "update/newversion.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <unistd.h>

class tst_newversion : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root; // made before any test points TMPDIR elsewhere
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>(m_root.filePath("XXXXXX"));
        qputenv("TMPDIR", path("tmp").toUtf8());
        qputenv("XDG_RUNTIME_DIR", path("runtime").toUtf8());
        QVERIFY(QDir(path("")).mkpath("tmp") && QDir(path("")).mkpath("runtime") && QDir(path("")).mkpath("shared"));
        QVERIFY(QFile::setPermissions(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // The installer goes only where no other user can swap it before it starts.
    void gtp()
    {
        QCOMPARE(newversion().gtp(), path("runtime/"));
        QVERIFY(QFile::setPermissions(path("shared"), QFileDevice::Permissions(0x7777)));
        qputenv("XDG_RUNTIME_DIR", path("shared").toUtf8()); // others can write there
        const QString own = path(QString("tmp/zorvane-%1").arg(::geteuid()));
        QVERIFY(QFile::link(path("runtime"), own)); // planted by another user
        QCOMPARE(newversion().gtp(), QString());
        QVERIFY(QFile::remove(own));
        QCOMPARE(newversion().gtp(), own + '/');
        QCOMPARE(QFileInfo(own).permissions() & (QFile::WriteGroup | QFile::WriteOther), QFile::Permissions());
    }

    void update_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("Cancel") << false;
        QTest::newRow("OK") << true;
    }

    // The installer replaces an older one whole; OK ends the program, Cancel only the window.
    void update()
    {
        QFETCH(bool, ok);
        QFile saved(path("runtime/zvsetup.exe"));
        QVERIFY(saved.open(QIODevice::WriteOnly) && saved.write(QByteArray(300000, 'o')) == 300000);
        saved.close();
        LocalHttpServer server;
        server.route("/download/zvsetup.exe", {200, QByteArray(200000, 'z')});
        qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8());
        QPointer<newversion> window = new newversion;
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
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), ok ? 2 : 1, 10000);
        QVERIFY(seen.first().startsWith("The program will now close and start the installation."));
        QVERIFY(!ok || seen.last().startsWith("Error opening file.")); // nothing is associated with it here
        QTRY_COMPARE(exits, ok ? 1 : 0);
        QTRY_COMPARE(window.isNull(), !ok);
        delete window;
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray(200000, 'z'));
    }
};

QTEST_MAIN(tst_newversion)
#include "tst_newversion.moc"
