#include "engine/RunState.h"
#include "mainwindow/Form1.h"
#include "mainwindow/frmerr.h"
#include "settings/modAssociate.h"
#include "support/PromptScript.h"
#include "update/LocalHttpServer.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Fixtures = QStringLiteral(ZORVANE_FIXTURES);

QString summary(int files, int volumes)
{
    return QStringLiteral("Done!\r\nExtracted %1 file(s) from %2 volume(s).").arg(files).arg(volumes);
}

} // namespace

class tst_Form1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void runs_data();
    void runs();
    void busyWhileRunning();
    void perFileLineShowsTheEntrysOwnName();
    void onlySkippedFilesLeaveTheLinksHidden();
    void secondRunAsksForThePasswordAgain();
    void autoOpenWithoutAFileManagerSaysSo();
    void uninstallSwitch_data();
    void uninstallSwitch();
    void manyArchivesInOneRun();
    void loadStartsTheVersionCheck();

private:
    QString expand(QString text) const;
    PromptScript::Step readLog();

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_out;
    QStringList m_log;
    bool m_logShown = false;
};

void tst_Form1::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void tst_Form1::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    m_out = m_tmp->filePath("out");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath("config")));
    RunState::instance() = RunState{};
    m_log.clear();
    m_logShown = false;
    QVERIFY(QDir().mkpath(m_tmp->filePath("with blank")));
    QVERIFY(QFile::copy(Fixtures + "/plain.rar", m_tmp->filePath("with blank/plain copy.rar")));
}

QString tst_Form1::expand(QString text) const
{
    return text.replace("<F>", Fixtures).replace("<T>", m_tmp->path());
}

// The error log, read and closed the way a user would.
PromptScript::Step tst_Form1::readLog()
{
    return [this](QWidget* w) {
        auto* log = qobject_cast<frmerr*>(w);
        QVERIFY(log);
        m_log = log->lines();
        m_logShown = true;
        PromptScript::click(w, "Command1");
    };
}

void tst_Form1::runs_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QStringList>("answers"); // folder, each, cancel, password:<text>, no-password
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("log"); // empty: the log does not appear
    QTest::addColumn<bool>("links");

    const QString wrong = QStringLiteral("Something went wrong. Wrong password?");
    QTest::newRow("one good archive") << "<F>/plain.rar" << QStringList{"folder"} << summary(2, 1) << QStringList{}
                                      << true;
    QTest::newRow("second of three fails")
        << "<F>/plain.rar <F>/damaged.rar <F>/span.part1.rar" << QStringList{"each"} << summary(3, 2)
        << QStringList{"Error Processing File: b.txt - CRC error", wrong} << true;
    QTest::newRow("good, encrypted, damaged")
        << "<F>/plain.rar <F>/enc-data.rar <F>/damaged.rar" << QStringList{"each", "password:secret"} << summary(5, 3)
        << QStringList{"Error Processing File: b.txt - CRC error", wrong} << true;
    QTest::newRow("chooser cancelled") << "<F>/plain.rar" << QStringList{"cancel"} << summary(0, 0)
                                       << QStringList{"Operation cancelled. No extract folder selected."} << false;
    QTest::newRow("missing file") << "<T>/no-such.rar" << QStringList{} << summary(0, 0)
                                  << QStringList{"Error Opening File: <T>/no-such.rar - Cannot open file", wrong}
                                  << false;
    QTest::newRow("a folder") << "<T>" << QStringList{} << summary(0, 0)
                              << QStringList{"Error Opening File: <T> - Unknown error", wrong} << false;
    QTest::newRow("quoted path with blanks")
        << "\"<T>/with blank/plain copy.rar\"" << QStringList{"folder"} << summary(2, 1) << QStringList{} << true;
    QTest::newRow("unquoted path with blanks")
        << "<T>/with blank/plain copy.rar" << QStringList{} << summary(0, 0)
        << QStringList{"Error Opening File: <T>/with - Cannot open file", wrong} << false;
    QTest::newRow("missing volume") << "<F>/lost.part1.rar" << QStringList{"folder"} << summary(0, 1)
                                    << QStringList{"Missing File: <F>/lost.part2.rar",
                                                   "Error Processing File: lost.bin - Volume open error", wrong}
                                    << false;
    QTest::newRow("wrong password") << "<F>/enc-data.rar" << QStringList{"password:nope", "folder"} << summary(0, 1)
                                    << QStringList{"Error Processing File: a.txt - CRC error - Wrong password?", wrong}
                                    << false;
    QTest::newRow("no password") << "<F>/enc-header.rar" << QStringList{"no-password"} << summary(0, 0)
                                 << QStringList{"No password supplied.", wrong} << false;
    QTest::newRow("comment error alone shows no log")
        << "<F>/bigcomment.rar" << QStringList{"folder"} << summary(1, 1) << QStringList{} << true;
}

void tst_Form1::runs()
{
    QFETCH(QString, arguments);
    QFETCH(QStringList, answers);
    QFETCH(QString, summary);
    QFETCH(QStringList, log);
    QFETCH(bool, links);

    PromptScript script;
    for (const QString& answer : answers) {
        if (answer == "folder" || answer == "each")
            script.then(PromptScript::chooseFolder(m_out, true, answer == "each"));
        else if (answer == "cancel")
            script.then(PromptScript::press("cmdCancel"));
        else if (answer == "no-password")
            script.then(PromptScript::press("Command2"));
        else
            script.then(PromptScript::password(answer.section(':', 1)));
    }
    if (!log.isEmpty())
        script.then(readLog());

    Form1 window;
    window.Form_Load(expand(arguments));
    QVERIFY2(!script.unexpected, qPrintable(script.seen.join(',')));
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(), summary);
    QCOMPARE(window.windowTitle(), QString("Zorvane"));
    QCOMPARE(m_logShown, !log.isEmpty());
    for (QString& line : log)
        line = expand(line);
    QCOMPARE(m_log, log);
    QCOMPARE(window.findChild<QLabel*>("Label5")->isVisible(), links);
    QCOMPARE(window.findChild<QLabel*>("Label6")->isVisible(), links);
    QCOMPARE(window.findChild<QLabel*>("Label4")->text(), QString());
    QCOMPARE(window.findChild<QProgressBar*>("ProgressBar1")->value(), 0);
}

void tst_Form1::busyWhileRunning()
{
    Form1 window;
    QString title;
    bool closeEnabled = true;
    bool menuEnabled = true;
    PromptScript script;
    script.then([&](QWidget* chooser) {
        title = window.windowTitle();
        closeEnabled = window.findChild<QWidget*>("Picture1")->isEnabled();
        menuEnabled = window.findChild<QWidget*>("Label3")->isEnabled();
        window.close(); // refused while a run is in progress
        PromptScript::chooseFolder(m_out)(chooser);
    });
    window.Form_Load(Fixtures + "/plain.rar");
    QCOMPARE(title, QString("Zorvane - Extracting Files"));
    QVERIFY(!closeEnabled);
    QVERIFY(!menuEnabled);
    QVERIFY(window.isVisible());
    QVERIFY(window.findChild<QWidget*>("Picture1")->isEnabled());
    QVERIFY(window.findChild<QWidget*>("Label3")->isEnabled());
}

// An existing file stops the run at the overwrite prompt, while the per-file
// line names the entry.
void tst_Form1::perFileLineShowsTheEntrysOwnName()
{
    QVERIFY(QDir().mkpath(m_out + "/docs/a/b"));
    QFile existing(m_out + "/docs/a/b/deep.txt");
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    Form1 window;
    QString perFile;
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out)).then([&](QWidget* prompt) {
        perFile = window.findChild<QLabel*>("Label4")->text();
        PromptScript::click(prompt, "Command1");
    });
    window.Form_Load(Fixtures + "/nested.rar");
    QCOMPARE(perFile, QString("Extracting file: deep.txt 24 bytes\r\n"));
}

void tst_Form1::onlySkippedFilesLeaveTheLinksHidden()
{
    Form1 window;
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    window.Form_Load(Fixtures + "/plain.rar");
    QVERIFY(window.findChild<QLabel*>("Label5")->isVisible());

    script.then(PromptScript::chooseFolder(m_out)).then(PromptScript::overwrite("Command2", true));
    window.ExtractArchives();
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(), summary(0, 1));
    QVERIFY(!window.findChild<QLabel*>("Label5")->isVisible());
    QVERIFY(!window.findChild<QLabel*>("Label6")->isVisible());
}

void tst_Form1::secondRunAsksForThePasswordAgain()
{
    Form1 window;
    PromptScript script;
    script.then(PromptScript::password("secret", true)).then(PromptScript::chooseFolder(m_out, true, true));
    window.Form_Load(Fixtures + "/enc-data.rar " + Fixtures + "/enc-header.rar");
    QCOMPARE(script.seen, (QStringList{"Formpw", "Form2"}));
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(), summary(4, 2));

    script.then(PromptScript::password("secret")).then(PromptScript::chooseFolder(m_tmp->filePath("again")));
    window.arrstrArchives = QStringList{Fixtures + "/enc-data.rar"};
    window.ExtractArchives();
    QCOMPARE(script.seen, (QStringList{"Formpw", "Form2", "Formpw", "Form2"}));
}

// The test desktop has no file manager: the folder cannot be opened, the user
// is told so, and the program still ends.
void tst_Form1::autoOpenWithoutAFileManagerSaysSo()
{
    Form1 window;
    QString message;
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out, true, false, true)).then([&](QWidget* box) {
        message = box->windowTitle() + ": " + qobject_cast<QMessageBox*>(box)->text();
        QTest::mouseClick(qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok), Qt::LeftButton);
    });
    window.Form_Load(Fixtures + "/plain.rar");
    QCOMPARE(message, QString("Error: Error opening folder."));
    QVERIFY(!window.isVisible());
    QVERIFY(RunState::instance().AutoOpenFolder);
}

void tst_Form1::uninstallSwitch_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("shown");

    QTest::newRow("the switch") << "/uninstalling" << false;
    QTest::newRow("other letter case is a path") << "/UNINSTALLING" << true;
    QTest::newRow("with a trailing blank it is a path") << "/uninstalling " << true;
}

void tst_Form1::uninstallSwitch()
{
    QFETCH(QString, arguments);
    QFETCH(bool, shown);

    qputenv("XDG_DATA_HOME", QFile::encodeName(m_tmp->filePath("data")));
    qputenv("XDG_DATA_DIRS", "/usr/share");
    const QString entry = m_tmp->filePath("data/applications/zorvane.desktop");
    modAssociate::CreateAssociation("Zorvane", ".rar", "Zorvane Rar Archive", QString(), QString());
    QVERIFY(QFileInfo::exists(entry));

    PromptScript script;
    script.then(readLog());
    Form1 window;
    window.Form_Load(arguments);
    QCOMPARE(window.isVisible(), shown);
    QCOMPARE(m_logShown, shown);
    QCOMPARE(QFileInfo::exists(entry), shown);
    QVERIFY(!QFileInfo::exists(m_tmp->filePath("config/Quenmarsh")));
}

// Hundreds of archives in one run, each into a folder of its own.
void tst_Form1::manyArchivesInOneRun()
{
    constexpr int Count = 300;
    QStringList paths;
    for (int i = 0; i < Count; ++i) {
        paths.append(m_tmp->filePath(QStringLiteral("in/p%1.rar").arg(i, 3, 10, QChar('0'))));
        QVERIFY(QDir().mkpath(m_tmp->filePath("in")));
        QVERIFY(QFile::copy(Fixtures + "/plain.rar", paths.last()));
    }
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out, true, true));
    Form1 window;
    window.Form_Load(paths.join(' '));
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(), summary(2 * Count, Count));
    QCOMPARE(QDir(m_out).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), Count);
}

// The publisher's server (here a local one) offers a newer version while the
// window waits for input.
void tst_Form1::loadStartsTheVersionCheck()
{
    LocalHttpServer server;
    server.route("/versionfiles/zorvane_version.html", {200, "99.99"});
    qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8());
    Form1 window;
    window.Form_Load(QString());
    qputenv("ZORVANE_UPDATE_URL", "");
    const auto offered = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(),
                           [](QWidget* w) { return w->isVisible() && w->windowTitle() == "New Version"; });
    };
    QTRY_VERIFY(offered());
    QCOMPARE(server.requests.size(), 1);
}

QTEST_MAIN(tst_Form1)
#include "tst_Form1.moc"
