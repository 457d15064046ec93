#include "engine/RunState.h"
#include "mainwindow/Form1.h"
#include "mainwindow/frmerr.h"
#include "mainwindow/modArtwork.h"
#include "settings/modAssociate.h"
#include "settings/modSysTray.h"
#include "support/PromptScript.h"
#include "update/LocalHttpServer.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

const QString Fixtures = QStringLiteral(ZORVANE_FIXTURES);

QString summary(int files, int volumes)
{
    return QStringLiteral("Done!\r\nExtracted %1 file(s) from %2 volume(s).").arg(files).arg(volumes);
}

CRegSettings store()
{
    CRegSettings settings;
    settings.setCompany("Quenmarsh");
    settings.setAppName("Zorvane");
    return settings;
}

// "General" values; a null text leaves the key out.
void seedGeneral(const QString& firstRun, const QString& noInstructions)
{
    CRegSettings settings = store();
    if (!firstRun.isNull())
        settings.SaveSetting("General", "First Run", firstRun);
    if (!noInstructions.isNull())
        settings.SaveSetting("General", "No Instructions", noInstructions);
}

QString popupMenuName()
{
    QWidget* popup = QApplication::activePopupWidget();
    return popup ? popup->objectName() : QString();
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
    void startUpOrder_data();
    void startUpOrder();
    void drops_data();
    void drops();
    void droppedPath_data();
    void droppedPath();
    void pictureButtons_data();
    void pictureButtons();
    void trayMessages();
    void openDialogChoosesArchives_data();
    void openDialogChoosesArchives();
    void writeFailures_data();
    void writeFailures();

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
    seedGeneral("False", "1");
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
    window.Form_Load(QString());
    QTest::mouseClick(window.findChild<QWidget*>("Label3"), Qt::LeftButton); // loads the menus
    QApplication::activePopupWidget()->close();
    auto* trayExit = window.findChild<QAction*>("mnutrayex");
    QVERIFY(trayExit && trayExit->isEnabled());

    QString title;
    bool closeEnabled = true;
    bool menuEnabled = true;
    bool exitEnabled = true;
    bool dropTaken = true;
    PromptScript script;
    script.then([&](QWidget* chooser) {
        title = window.windowTitle();
        closeEnabled = window.findChild<QWidget*>("Picture1")->isEnabled();
        menuEnabled = window.findChild<QWidget*>("Label3")->isEnabled();
        exitEnabled = trayExit->isEnabled();
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(Fixtures + "/nested.rar")});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &enter);
        dropTaken = enter.isAccepted();
        window.close(); // refused while a run is in progress
        modSysTray::HideToTray(&window);
        PromptScript::chooseFolder(m_out)(chooser);
    });
    window.arrstrArchives = QStringList{Fixtures + "/plain.rar"};
    window.ExtractArchives();
    QCOMPARE(title, QString("Zorvane - Extracting Files"));
    QVERIFY(!closeEnabled && !menuEnabled && !exitEnabled && !dropTaken);
    // The run's end brings the window back from the notification area.
    QVERIFY(window.isVisible() && !RunState::instance().InTray);
    QVERIFY(window.findChild<QWidget*>("Picture1")->isEnabled());
    QVERIFY(window.findChild<QWidget*>("Label3")->isEnabled());
    QVERIFY(trayExit->isEnabled());
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

    const QString conf = m_tmp->filePath("config/Quenmarsh/Zorvane.conf");
    const QDateTime stored = QFileInfo(conf).lastModified();
    PromptScript script;
    script.then(readLog());
    Form1 window;
    window.Form_Load(arguments);
    QCOMPARE(window.isVisible(), shown);
    QCOMPARE(m_logShown, shown);
    QCOMPARE(QFileInfo::exists(entry), shown);
    QCOMPARE(QFileInfo(conf).lastModified(), stored);
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

// The welcome and the options come on a first start, then the tips unless
// they are off, and only then the command line's run.
void tst_Form1::startUpOrder_data()
{
    QTest::addColumn<QString>("firstRun");
    QTest::addColumn<QString>("noInstructions");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QStringList>("windows");

    const QStringList firstStart{"QMessageBox", "frmopt", "frmSplash"};
    QTest::newRow("first start") << QString() << QString() << QString() << firstStart;
    QTest::newRow("first start with an archive")
        << QString() << QString() << "<F>/plain.rar" << (firstStart + QStringList{"Form2"});
    QTest::newRow("second start, tips off") << "False"
                                            << "1" << QString() << QStringList{};
    QTest::newRow("tips on") << "False"
                             << "0" << QString() << QStringList{"frmSplash"};
    QTest::newRow("odd values count as defaults") << "maybe"
                                                  << "x" << QString() << firstStart;
}

void tst_Form1::startUpOrder()
{
    QFETCH(QString, firstRun);
    QFETCH(QString, noInstructions);
    QFETCH(QString, arguments);
    QFETCH(QStringList, windows);
    QVERIFY(QFile::remove(m_tmp->filePath("config/Quenmarsh/Zorvane.conf")));
    seedGeneral(firstRun, noInstructions);

    QString welcome;
    bool shownBehind = false;
    Form1 window;
    PromptScript script;
    const auto answer = [&](QWidget* w) {
        shownBehind = shownBehind || window.isVisible();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            welcome = box->windowTitle() + ": " + box->text();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        } else if (w->inherits("Form2")) {
            PromptScript::chooseFolder(m_out)(w);
        } else {
            w->close(); // options and tips closed without OK
        }
    };
    for (int i = 0; i < windows.size(); ++i)
        script.then(answer);
    window.Form_Load(expand(arguments));
    QCOMPARE(script.seen, windows);
    QCOMPARE(shownBehind, !windows.isEmpty());
    if (windows.contains("QMessageBox"))
        QCOMPARE(welcome, QString("Welcome to Zorvane: Since this is the first time you've used Zorvane, we need to "
                                  "configure it's options."));
    QCOMPARE(store().GetSetting("General", "First Run"), QString("False"));
}

void tst_Form1::drops_data()
{
    QTest::addColumn<QString>("target"); // empty: the window itself
    QTest::addColumn<bool>("files");

    for (const char* target : {"", "Label1", "Label4", "ProgressBar1"})
        QTest::addRow("files on %s", *target ? target : "the window") << QString(target) << true;
    QTest::newRow("text on Label1") << "Label1" << false;
}

void tst_Form1::drops()
{
    QFETCH(QString, target);
    QFETCH(bool, files);
    Form1 window;
    window.Form_Load(QString());
    QWidget* receiver = target.isEmpty() ? &window : window.findChild<QWidget*>(target);
    const QStringList archives{Fixtures + "/plain.rar", m_tmp->filePath("with blank/plain copy.rar")};
    QMimeData data;
    if (files)
        data.setUrls({QUrl::fromLocalFile(archives.at(0)), QUrl::fromLocalFile(archives.at(1))});
    else
        data.setText(archives.at(0));

    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(receiver, &enter);
    QCOMPARE(enter.isAccepted(), files);
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out, true, true));
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(receiver, &drop);
    if (!files) {
        QTest::qWait(50);
        QVERIFY(window.arrstrArchives.isEmpty() && script.seen.isEmpty());
        return;
    }
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
    QCOMPARE(window.arrstrArchives, archives);
    QTRY_COMPARE(window.findChild<QLabel*>("Label1")->text(), summary(4, 2));
    QVERIFY(QFileInfo::exists(m_out + "/plain copy/b.txt"));
}

void tst_Form1::droppedPath_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("path");
    QTest::newRow("doubled after two characters") << "/a//b.rar"
                                                  << "/a/b.rar";
    QTest::newRow("network-style start kept") << "//server/x.rar"
                                              << "//server/x.rar";
    QTest::newRow("doubled later kept") << "/ab//c.rar"
                                        << "/ab//c.rar";
    QTest::newRow("short") << "/a/"
                           << "/a/";
}

void tst_Form1::droppedPath()
{
    QFETCH(QString, dropped);
    QFETCH(QString, path);
    QCOMPARE(Form1::DroppedPath(dropped), path);
}

// Gestures on a picture button: Lp/Rp press, Lr/Rr release on it, Lo left
// release off it.
void tst_Form1::pictureButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("gestures");
    QTest::addColumn<bool>("acts");

    QTest::newRow("close: click") << "Picture1"
                                  << "Lp Lr" << true;
    QTest::newRow("close: released off it") << "Picture1"
                                            << "Lp Lo" << false;
    QTest::newRow("close: right release between") << "Picture1"
                                                  << "Lp Rr Lr" << false;
    QTest::newRow("close: right press between") << "Picture1"
                                                << "Lp Rp Lr" << true;
    QTest::newRow("tray: click") << "Picture2"
                                 << "Lp Lr" << true;
    QTest::newRow("tray: right press between") << "Picture2"
                                               << "Lp Rp Lr" << false;
}

void tst_Form1::pictureButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, gestures);
    QFETCH(bool, acts);
    Form1 window;
    window.Form_Load(QString());
    auto* picture = window.findChild<QLabel*>(button);
    const int up = button == u"Picture1" ? 1 : 3;
    const auto shows = [&](int index) {
        return picture->pixmap().toImage() == modArtwork::ButtonImage(index, window.devicePixelRatioF()).toImage();
    };
    QVERIFY(shows(up));
    for (const QString& gesture : gestures.split(' ')) {
        const Qt::MouseButton which = gesture.startsWith('L') ? Qt::LeftButton : Qt::RightButton;
        if (gesture.endsWith('p')) {
            QTest::mousePress(picture, which);
            if (which == Qt::LeftButton)
                QVERIFY(shows(up + 1));
        } else {
            QTest::mouseRelease(picture, which, {}, gesture.endsWith('o') ? QPoint(-20, -20) : QPoint(5, 5));
        }
    }
    QVERIFY(shows(up));
    // Without a notification area the to-tray button minimises the window.
    const bool acted = button == u"Picture1" ? !window.isVisible() : window.isMinimized();
    QCOMPARE(acted, acts);
}

void tst_Form1::trayMessages()
{
    Form1 window;
    window.Form_Load(QString());
    window.TrayMessage(modSysTray::TrayRightUp);
    QVERIFY(popupMenuName().isEmpty()); // a visible window ignores the icon

    modSysTray::HideToTray(&window);
    window.TrayMessage(modSysTray::TrayLeftUp);
    QVERIFY(!window.isVisible() && popupMenuName().isEmpty());
    window.TrayMessage(modSysTray::TrayRightUp);
    QCOMPARE(popupMenuName(), QString("tray"));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(menu->defaultAction()->text(), QString("Restore"));
    menu->close();
    window.TrayMessage(modSysTray::TrayLeftDoubleClick);
    QVERIFY(window.isVisible() && !RunState::instance().InTray);
}

// The menu's Open: one file gives its full path, several give one entry each in
// the dialog's order; the next dialog starts in the folder last used.
void tst_Form1::openDialogChoosesArchives_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("archives");
    QTest::newRow("one file") << "b.rar" << QStringList{"b.rar"};
    QTest::newRow("two files") << "\"b.rar\" \"a.rar\"" << QStringList{"b.rar", "a.rar"};
}

void tst_Form1::openDialogChoosesArchives()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, archives);
    const QString in = m_tmp->filePath("in");
    QVERIFY(QDir().mkpath(in));
    for (const char* name : {"a.rar", "b.rar"})
        QVERIFY(QFile::copy(Fixtures + "/plain.rar", in + "/" + name));

    Form1 window;
    window.Form_Load(QString());
    QString startFolder;
    PromptScript script;
    const auto choose = [&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        startFolder = dialog->directory().absolutePath();
        dialog->setDirectory(in);
        PromptScript::typeFileNames(dialog, typed, QDialogButtonBox::Open);
    };
    script.then(choose).then(PromptScript::chooseFolder(m_out, true, true));
    QTest::mouseClick(window.findChild<QWidget*>("Label3"), Qt::LeftButton);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QCOMPARE(menu->defaultAction()->text(), QString("&Open"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->defaultAction()).center());
    QTRY_VERIFY(!window.arrstrArchives.isEmpty());
    for (QString& archive : archives)
        archive = in + "/" + archive;
    QCOMPARE(window.arrstrArchives, archives);
    QTRY_COMPARE(window.findChild<QLabel*>("Label1")->text(), summary(2 * archives.size(), archives.size()));

    script.then([&](QWidget* w) {
        startFolder = qobject_cast<QFileDialog*>(w)->directory().absolutePath();
        w->close();
    });
    window.openfile();
    QCOMPARE(startFolder, in);
}

// A disk that fills up (here: a file-size limit) or a folder that cannot be
// made ends the run with a line in the log, and the run is over cleanly.
void tst_Form1::writeFailures_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<int>("volumes");
    QTest::newRow("file-size limit") << "<T>/out"
                                     << QStringList{"Error Processing File: big.txt - Write error",
                                                    "Something went wrong. Wrong password?"}
                                     << 1;
    QTest::newRow("folder under a file") << "<T>/with blank/plain copy.rar/out"
                                         << QStringList{"Error Processing File: <T>/with blank/plain copy.rar/out/ - "
                                                        "File creation error",
                                                        "Something went wrong. Wrong password?"}
                                         << 0;
}

void tst_Form1::writeFailures()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, log);
    QFETCH(int, volumes);
    struct rlimit saved;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 1 << 20;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    PromptScript script;
    script.then(PromptScript::chooseFolder(expand(folder))).then(readLog());
    Form1 window;
    window.Form_Load(Fixtures + "/big.rar");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(QDir(expand(folder)).entryList(QDir::Files).isEmpty()); // no half-written file is left
    QCOMPARE(m_log, log.replaceInStrings("<T>", m_tmp->path()));
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(), summary(0, volumes));
    QVERIFY(window.findChild<QWidget*>("Picture1")->isEnabled());
}

QTEST_MAIN(tst_Form1)
#include "tst_Form1.moc"
