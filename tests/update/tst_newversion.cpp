#include "support/PromptScript.h"
#include "update/LocalHttpServer.h"
#include "update/newversion.h"

#include <QLabel>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <unistd.h>

class tst_newversion : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void gtp_data();
    void gtp();
    void progressDots();
    void downloadComplete_data();
    void downloadComplete();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // Opens a new update window and presses its Update button.
    newversion* startUpdate();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<LocalHttpServer> m_server;
};

void tst_newversion::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Desktop look-ups stay inside the test's folder: nothing is associated with the installer there.
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "TMPDIR"})
        qputenv(name, path(name).toUtf8());
    qputenv("XDG_RUNTIME_DIR", path("runtime").toUtf8());
    QVERIFY(QDir(path("")).mkpath("TMPDIR") && QDir(path("")).mkpath("runtime") && QDir(path("")).mkpath("shared"));
    QVERIFY(QFile::setPermissions(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(QFile::setPermissions(path("shared"), QFileDevice::Permissions(0x7777)));
    m_server = std::make_unique<LocalHttpServer>();
    qputenv("ZORVANE_UPDATE_URL", m_server->url().toUtf8());
}

newversion* tst_newversion::startUpdate()
{
    auto* window = new newversion;
    window->show();
    QTest::mouseClick(window->findChild<QPushButton*>("bttnupdate"), Qt::LeftButton);
    return window;
}

void tst_newversion::gtp_data()
{
    QTest::addColumn<QString>("runtime");
    QTest::addColumn<QString>("folder");

    const QString strOwn = QStringLiteral("TMPDIR/zorvane-%1/").arg(::geteuid());
    QTest::newRow("private runtime folder") << "runtime" << QString("runtime/");
    QTest::newRow("runtime folder others can write") << "shared" << strOwn;
    QTest::newRow("link planted in the shared folder") << "link" << QString();
}

void tst_newversion::gtp()
{
    QFETCH(QString, runtime);
    QFETCH(QString, folder);
    if (runtime == u"link")
        QVERIFY(QFile::link(path("runtime"), path(QStringLiteral("TMPDIR/zorvane-%1").arg(::geteuid()))));
    qputenv("XDG_RUNTIME_DIR", path(runtime).toUtf8());

    const QString strFolder = newversion().gtp();
    QCOMPARE(strFolder, folder.isEmpty() ? folder : path(folder));
    if (!folder.isEmpty())
        QCOMPARE(QFileInfo(strFolder).permissions() & (QFile::WriteGroup | QFile::WriteOther), QFile::Permissions());
}

void tst_newversion::progressDots()
{
    m_server->route("/download/zvsetup.exe", {200, {}, LocalHttpServer::How::Silent});
    QPointer<newversion> window = startUpdate();
    auto* Timer1 = window->findChild<QTimer*>("Timer1");
    auto* lblprog = window->findChild<QLabel*>("lblprog");
    QVERIFY(Timer1->isActive() && Timer1->interval() == 500);
    QStringList shown;
    connect(Timer1, &QTimer::timeout, this, [&] { shown.append(lblprog->text()); });

    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 5, 5000);
    QCOMPARE(shown, QStringList({"Downloading.", "Downloading..", "Downloading...", "Downloading", "Downloading."}));

    // A failed download stops the animation at its next tick and leaves the window open.
    m_server->shutDown();
    QTRY_VERIFY_WITH_TIMEOUT(!Timer1->isActive(), 5000);
    QCOMPARE(lblprog->text(), shown.last());
    QVERIFY(window && window->isVisible());
    delete window;
}

void tst_newversion::downloadComplete_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("boxes");

    const QString strAsk("Download Complete|The program will now close and start the installation.|Complete");
    QTest::newRow("Cancel") << false << QStringList{strAsk};
    QTest::newRow("OK, nothing associated with the installer")
        << true
        << QStringList{strAsk, "Error|Error opening file. Please visit our site at https://quenmarsh.example to "
                               "download the latest version.|"};
}

void tst_newversion::downloadComplete()
{
    QFETCH(bool, ok);
    QFETCH(QStringList, boxes);
    QByteArray installer(200000, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(installer.data()), installer.size() / 4);
    m_server->route("/download/zvsetup.exe", {200, installer});
    QPointer<newversion> window = startUpdate();
    int intExits = 0;
    window->setExitAction([&] { ++intExits; });

    // Each box is recorded with the progress text and whether the installer was already saved.
    QStringList seen;
    PromptScript script;
    const auto answer = [&](QMessageBox::Icon icon, QMessageBox::StandardButton button) {
        return [&, icon, button](QWidget* prompt) {
            auto* box = qobject_cast<QMessageBox*>(prompt);
            QVERIFY(box && box->icon() == icon);
            QFile saved(path("runtime/zvsetup.exe"));
            QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll() == installer);
            seen.append(box->windowTitle() + '|' + box->text() + '|' +
                        (icon == QMessageBox::Information ? window->findChild<QLabel*>("lblprog")->text() : ""));
            QTest::mouseClick(box->button(button), Qt::LeftButton);
        };
    };
    script.then(answer(QMessageBox::Information, ok ? QMessageBox::Ok : QMessageBox::Cancel));
    script.then(answer(QMessageBox::Warning, QMessageBox::Ok));
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), boxes.size(), 10000);

    QCOMPARE(seen, boxes);
    QTRY_COMPARE(intExits, ok ? 1 : 0);
    // Cancel closes only the update window; the program goes on.
    QTRY_COMPARE(window.isNull(), !ok);
    QVERIFY(QFile::exists(path("runtime/zvsetup.exe")));
    delete window;
}

QTEST_MAIN(tst_newversion)
#include "tst_newversion.moc"
