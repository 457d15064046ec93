#include "gui/mainwindow/ErrorLogDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/TrayIcon.h"
#include "platform/FileAssociation.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <csignal>
#include <sys/resource.h>

const QString Fixtures = QStringLiteral(ZORVANE_FIXTURES);
const QString Wrong = QStringLiteral("Something went wrong. Wrong password?");

class tst_MainWindow : public QObject
{
    Q_OBJECT

    static QString summary(int files, int volumes)
    {
        return QString("Done!\r\nExtracted %1 file(s) from %2 volume(s).").arg(files).arg(volumes);
    }
    static QString text(const MainWindow& w, const char* label) { return w.findChild<QLabel*>(label)->text(); }
    // Whether the window shows each of its two folder links.
    static QList<bool> links(const MainWindow& w)
    {
        return {w.findChild<QWidget*>("Label5")->isVisible(), w.findChild<QWidget*>("Label6")->isVisible()};
    }
    QString expand(QString text) const { return text.replace("<F>", Fixtures).replace("<T>", m_tmp->path()); }
    // Blank-separated arguments, as a shell would hand them over.
    QStringList arguments(const QString& text) const { return expand(text).split(' ', Qt::SkipEmptyParts); }

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_out;

private slots:
    void init()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        std::signal(SIGXFSZ, SIG_IGN);
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_out = m_tmp->filePath("out");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath("config")));
        SettingsStore().setValues("General", {{"First Run", "False"}, {"No Instructions", "1"}});
        QVERIFY(QDir().mkpath(m_tmp->filePath("with blank")));
        QVERIFY(QFile::copy(Fixtures + "/plain.rar", m_tmp->filePath("with blank/plain copy.rar")));
    }

    void runs_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("volumes");
        QTest::addColumn<QString>("answers"); // folder[:path], each[+open], cancel, password:<text>, no-password
        QTest::addColumn<QStringList>("log"); // empty: the log does not appear

        // Errors keep the folder closed and the program open, though "Auto Open" is ticked.
        dataRow("good, encrypted, damaged, not reached",
                "<F>/plain.rar <F>/enc-data.rar <F>/damaged.rar <F>/span.part1.rar", 5, 3, "each+open password:secret",
                QStringList{"Error Processing File: b.txt - CRC error", Wrong});
        dataRow("chooser cancelled", "<F>/plain.rar", 0, 0, "cancel",
                QStringList{"Operation cancelled. No extract folder selected."});
        dataRow("missing file", "<T>/no-such.rar", 0, 0, "",
                QStringList{"Error Opening File: <T>/no-such.rar - Cannot open file", Wrong});
        // Cut between its files, the set ends quietly after the missing volume's line, and the run goes on.
        dataRow("missing volume between files, then a good archive", "<F>/boundary.part1.rar <F>/plain.rar", 3, 2,
                "folder", QStringList{"Missing File: <F>/boundary.part2.rar"});
        // hl-abs is left out, then a plain file of that name is written: it counts.
        const QString leftOut = "Error Processing File: %1 - Left out: it would reach outside the extract folder";
        dataRow("left out, then a file of its name", "<F>/hostile/r5-hardlink.rar", 5, 1, "folder",
                QStringList{leftOut.arg("hl-rel"), leftOut.arg("hl-abs"), leftOut.arg("hl-etc")});
        dataRow("no password", "<F>/enc-header.rar", 0, 0, "no-password", QStringList{"No password supplied.", Wrong});
        dataRow("comment error alone shows no log", "<F>/bigcomment.rar", 1, 1, "folder", QStringList{});
        // A full disk (a file-size limit here) or an unmakeable folder: no half-written file, no negative count.
        dataRow("disk full", "<F>/big.rar", 0, 1, "folder",
                QStringList{"Error Processing File: big.txt - Write error", Wrong});
        dataRow("folder under a file", "<F>/big.rar", 0, 0, "folder:<T>/with_blank/plain_copy.rar/out",
                QStringList{"Error Processing File: <T>/with blank/plain copy.rar/out/ - File creation error", Wrong});
    }

    void runs()
    {
        QFETCH(QString, arguments);
        QFETCH(int, files);
        QFETCH(int, volumes);
        QFETCH(QString, answers);
        QFETCH(QStringList, log);
        PromptScript script;
        for (const QString& answer : answers.split(' ', Qt::SkipEmptyParts)) {
            const QString arg = expand(answer.section(':', 1).replace('_', ' '));
            if (answer.startsWith("folder") || answer.startsWith("each"))
                script.then(PromptScript::chooseFolder(arg.isEmpty() ? m_out : arg, true, answer.startsWith("each"),
                                                       answer.endsWith("+open")));
            else if (answer.startsWith("password"))
                script.then(PromptScript::password(arg));
            else
                script.then(PromptScript::press(answer == "cancel" ? "cmdCancel" : "Command2"));
        }
        QStringList shownLog;
        script.then([&](QWidget* w) {
            shownLog = qobject_cast<ErrorLogDialog*>(w) ? qobject_cast<ErrorLogDialog*>(w)->lines()
                                                        : QStringList{"not the log"};
            PromptScript::click(w, "Command1");
        });

        rlimit saved;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit limited{1 << 20, saved.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        MainWindow window;
        window.start(this->arguments(arguments));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY2(!script.unexpected, qPrintable(script.seen.join(',')));
        QCOMPARE(shownLog, log.replaceInStrings("<F>", Fixtures).replaceInStrings("<T>", m_tmp->path()));
        QCOMPARE(text(window, "Label1"), summary(files, volumes));
        QCOMPARE(tree(m_out).filter(QRegularExpression(" [0-9a-f]{32}$")).size(), files);
        QCOMPARE(links(window), QList<bool>(2, files > 0)); // the folder links come once something was extracted
        QVERIFY(window.isVisible());
    }

    // A second run in the same window starts afresh: a password given for all is
    // asked for again, and with every file skipped nothing counts as extracted and
    // the folder links stay hidden. The overwrite prompt's line names the entry.
    void secondRunStartsAfresh()
    {
        writeFile(m_out + "/nested/docs/a/b/deep.txt", "");
        MainWindow window;
        QString perFile;
        PromptScript script;
        script.then(PromptScript::chooseFolder(m_out, true, true)).then([&](QWidget* prompt) {
            perFile = text(window, "Label4");
            PromptScript::click(prompt, "Command2");
        });
        script.then(PromptScript::password("secret", true));
        window.start(arguments("<F>/nested.rar <F>/enc-data.rar <F>/enc-header.rar"));
        QCOMPARE(perFile, QString("Extracting file: deep.txt 24 bytes\r\n"));

        script.then(PromptScript::password("secret")).then(PromptScript::chooseFolder(m_out, true, true));
        script.then(PromptScript::overwrite("Command2", true));
        window.extractArchives({Fixtures + "/enc-data.rar"});
        QCOMPARE(script.seen, QStringList({"Form2", "frmOW", "Formpw", "Formpw", "Form2", "frmOW"}));
        QCOMPARE(text(window, "Label1"), summary(0, 1));
        QCOMPARE(links(window), QList<bool>(2, false));
    }

    // A first start brings the welcome and the options, then the tips unless they
    // are off, and only then the command line's run; the welcome comes once. The
    // uninstall switch removes the desktop entry and ends at once, with no window.
    void startUpOrder_data()
    {
        QTest::addColumn<QStringList>("general"); // First Run, No Instructions; none: not stored
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("windows");
        QTest::addColumn<QString>("firstRunAfter"); // "First Run" once the start is over; none: not stored
        const QStringList firstStart{"QMessageBox", "frmopt", "frmSplash"};
        dataRow("first start, archive", QStringList{}, "<F>/plain.rar", firstStart + QStringList{"Form2"}, "False");
        dataRow("tips on", QStringList{"0", "0"}, QString(), QStringList{"frmSplash"}, "0");
        dataRow("odd values count as defaults", QStringList{"maybe", "x"}, QString(), firstStart, "False");
        // The switch shows nothing and writes no setting, even on a first start.
        dataRow("uninstall switch", QStringList{}, "/uninstalling", QStringList{}, QString());
        dataRow("uninstall switch and more", QStringList{"False", "1"}, "/uninstalling <T>/no-such.rar",
                QStringList{"frmerr"}, "False");
    }

    void startUpOrder()
    {
        QFETCH(QStringList, general);
        QFETCH(QString, arguments);
        QFETCH(QStringList, windows);
        QFETCH(QString, firstRunAfter);
        QVERIFY(QFile::remove(SettingsStore().fileName()));
        if (!general.isEmpty())
            SettingsStore().setValues("General", {{"First Run", general.at(0)}, {"No Instructions", general.at(1)}});
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_tmp->filePath("data")));
        qputenv("XDG_DATA_DIRS", "/usr/share");
        FileAssociation::create("Zorvane", ".rar", "Zorvane Rar Archive", QString(), QString());
        bool shownBehind = false;
        MainWindow window;
        PromptScript script;
        for (int i = 0; i < windows.size(); ++i) {
            script.then([&](QWidget* w) {
                shownBehind = shownBehind || window.isVisible();
                if (w->objectName() == "Form2")
                    PromptScript::chooseFolder(m_out)(w);
                else
                    PromptScript::leave(w, "Escape"); // the welcome read, options and tips closed without OK
            });
        }
        window.start(this->arguments(arguments));
        QCOMPARE(script.seen, windows);
        QCOMPARE(shownBehind, !windows.isEmpty());
        const bool uninstall = arguments == u"/uninstalling"; // alone, it is the switch
        QCOMPARE(window.isVisible(), !uninstall);
        QCOMPARE(QFileInfo::exists(m_tmp->filePath("data/applications/zorvane.desktop")), !uninstall);
        QCOMPARE(SettingsStore().value("General", "First Run", "none"),
                 firstRunAfter.isNull() ? "none" : firstRunAfter);
    }

    // Archives dropped on the window are extracted once the drop is over. During
    // the run the window cannot be closed, the menus' Open and Exit and further
    // drops are refused, the tray icon gives its menu; the run's end restores it.
    void dropRunBusyAndTray()
    {
        MainWindow window;
        window.start({});
        window.handleTrayMessage(TrayIcon::RightButtonUp);
        QVERIFY(!QApplication::activePopupWidget()); // a visible window ignores the icon
        const QStringList archives{Fixtures + "/plain.rar", m_tmp->filePath("with blank/plain copy.rar")};
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(archives.at(0)), QUrl::fromLocalFile(archives.at(1))});
        const auto drop = [&](QMimeData* data) {
            QWidget* label = window.findChild<QWidget*>("Label4");
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
            QApplication::sendEvent(label, &enter);
            QDropEvent dropped(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
            QApplication::sendEvent(label, &dropped);
            // A move would have the dragging program delete the user's archives.
            return enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
        };
        const auto usable = [&] {
            auto* trayExit = window.findChild<QAction*>("mnutrayex");
            return QList<bool>{window.findChild<QWidget*>("Picture1")->isEnabled(),
                               window.findChild<QWidget*>("Label3")->isEnabled(), trayExit && trayExit->isEnabled()};
        };
        // Neither text nor a web address is an archive: refused, and no run starts.
        QMimeData plainText, web;
        plainText.setText(archives.at(0));
        web.setUrls({QUrl("http://127.0.0.1/plain.rar")});
        QVERIFY(!drop(&plainText) && !drop(&web));
        QString menu;
        QList<bool> during;
        bool closed = true;
        PromptScript script;
        script.then([&](QWidget* chooser) {
            closed = window.close();
            TrayIcon::hideToTray(&window);
            window.handleTrayMessage(TrayIcon::RightButtonUp);
            if (QWidget* popup = QApplication::activePopupWidget()) {
                menu = popup->objectName();
                popup->close();
            }
            during = usable() << drop(&files);
            PromptScript::chooseFolder(m_out, true, true)(chooser);
        });
        QVERIFY(drop(&files));
        QCOMPARE(window.archives(), archives);
        QTRY_COMPARE(text(window, "Label1"), summary(4, 2));
        QVERIFY(QFileInfo::exists(m_out + "/plain copy/b.txt"));
        QVERIFY(!closed);
        QCOMPARE(menu, QString("tray"));
        QCOMPARE(during, QList<bool>(4, false));
        QCOMPARE(usable(), QList<bool>(3, true));
        QVERIFY(window.isVisible() && !TrayIcon::isInTray());
    }

    // The picture buttons act on a left click released on them: a release off the
    // close button, or a right press on the to-tray one before the release, cancels.
    void pictureButtons()
    {
        MainWindow window;
        window.start({});
        auto* close = window.findChild<QLabel*>("Picture1");
        auto* toTray = window.findChild<QLabel*>("Picture2");
        QTest::mousePress(close, Qt::LeftButton);
        QTest::mouseRelease(close, Qt::LeftButton, {}, QPoint(-20, -20));
        QTest::mousePress(toTray, Qt::LeftButton);
        QTest::mousePress(toTray, Qt::RightButton);
        QTest::mouseRelease(toTray, Qt::LeftButton);
        QVERIFY(window.isVisible() && !window.isMinimized());
        QTest::mouseClick(toTray, Qt::LeftButton);
        QVERIFY(window.isMinimized()); // the test desktop has no notification area
    }

    // The menu's Open: one file or several in the dialog's order; the first dialog
    // starts in the user's home, the next in the folder last used. With auto-open
    // ticked and no file manager on the test desktop, the user is told and the
    // program still ends.
    void openDialogAndAutoOpen()
    {
        QString startFolder;
        const auto choose = [&](const QString& typed) {
            return [&, typed](QWidget* w) {
                startFolder = qobject_cast<QFileDialog*>(w)->directory().absolutePath();
                qobject_cast<QFileDialog*>(w)->setDirectory(Fixtures);
                PromptScript::typeFileNames(w, typed);
            };
        };
        MainWindow window;
        window.start({});
        PromptScript script;
        script.then(choose("plain.rar")).then(PromptScript::chooseFolder(m_out));
        QTest::mouseClick(window.findChild<QWidget*>("Label3"), Qt::LeftButton);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->defaultAction()).center());
        QTRY_COMPARE(text(window, "Label1"), summary(2, 1));
        QCOMPARE(window.archives(), QStringList{Fixtures + "/plain.rar"});
        QCOMPARE(startFolder, QDir::homePath());

        script.then(choose("\"plain.rar\" \"comment.rar\"")).then(PromptScript::chooseFolder(m_out, true, true, true));
        script.then(PromptScript::press("Enter"));
        window.openArchives();
        QCOMPARE(startFolder, Fixtures);
        QCOMPARE(window.archives(), (QStringList{Fixtures + "/plain.rar", Fixtures + "/comment.rar"}));
        QCOMPARE(text(window, "Label1"), summary(3, 2));
        QCOMPARE(script.messages, QStringList{"Error opening folder."});
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
