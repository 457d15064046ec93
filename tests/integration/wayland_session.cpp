// The main window and a whole extraction run on a Wayland compositor.
// wayland-session.sh runs it under a headless weston whose desktop is one
// plain colour; weston-screenshooter takes the pictures, kept for people to
// look at.
#include "core/settings/SettingsStore.h"
#include "gui/mainwindow/ErrorLogDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/PromptScript.h"
#include "support/ShapeCheck.h"
#include "support/TestFiles.h"

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Patience = 15000;

// The whole output, as the compositor composed it.
QImage screenshot()
{
    QTemporaryDir folder;
    QProcess shooter;
    shooter.setWorkingDirectory(folder.path());
    shooter.start(QStringLiteral("weston-screenshooter"));
    if (!shooter.waitForFinished(Patience) || shooter.exitCode() != 0)
        return {};
    const QStringList shots = QDir(folder.path()).entryList({QStringLiteral("*.png")});
    return shots.isEmpty() ? QImage() : QImage(folder.filePath(shots.first()));
}

// Where the window's top-left corner is on the shot: the compositor places
// windows itself and does not tell the program. Everything that is not the
// backdrop belongs to the window, whose outline starts at the mask's corner.
QPoint windowOrigin(const QImage& shot, const QWidget& form)
{
    QRect drawn;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if ((shot.pixel(x, y) | ~RGB_MASK) != (ShapeCheck::Backdrop | ~RGB_MASK))
                drawn |= QRect(x, y, 1, 1);
        }
    }
    return drawn.topLeft() - form.mask().boundingRect().topLeft();
}

} // namespace

class WaylandSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shapedWindow();
    void wholeRun();
    void menuWindows_data();
    void menuWindows();
};

void WaylandSession::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    // Not a first start and no tips, so the main window is the only window.
    QVERIFY(SettingsStore().setValue(QStringLiteral("General"), QStringLiteral("First Run"), QStringLiteral("False")));
    QVERIFY(
        SettingsStore().setValue(QStringLiteral("General"), QStringLiteral("No Instructions"), QStringLiteral("1")));
}

// Outside its outline the desktop shows through, though a mask does not clip
// what is drawn on Wayland.
void WaylandSession::shapedWindow()
{
    MainWindow form;
    form.start({});
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QImage shot;
    QString mismatch = QStringLiteral("no screenshot");
    const bool shaped = QTest::qWaitFor(
        [&] {
            shot = screenshot();
            if (shot.isNull())
                return false;
            mismatch = ShapeCheck::mismatch(shot, form, windowOrigin(shot, form));
            return mismatch.isEmpty();
        },
        Patience);
    QVERIFY(ShapeCheck::save(shot, QStringLiteral("main-window-wayland.png")));
    QVERIFY2(shaped, qPrintable(mismatch));
}

// The password prompt, the chooser, the overwrite question and the error log
// each open on the compositor, take their answers and close.
void WaylandSession::wholeRun()
{
    QTemporaryDir tmp;
    const QString out = tmp.filePath(QStringLiteral("out"));
    writeFile(out + QStringLiteral("/enc-data/a.txt"), "old"); // a folder per archive
    PromptScript script;
    script.then(PromptScript::password(QStringLiteral("secret")))
        .then(PromptScript::chooseFolder(out, true, true))
        .then(PromptScript::overwrite("Command1"))
        .then(PromptScript::press("Command1"));
    MainWindow form;
    form.start({QStringLiteral(ZORVANE_FIXTURES "/enc-data.rar"), QStringLiteral(ZORVANE_FIXTURES "/damaged.rar")});
    QCOMPARE(script.seen, (QStringList{"Formpw", "Form2", "frmOW", "frmerr"}));
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Done!\r\nExtracted 3 file(s) from 2 volume(s)."));
}

// The windows the main menu opens: each comes up on the compositor, takes a
// key and closes.
void WaylandSession::menuWindows_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::newRow("options") << "mnuopt" << QString("frmopt");
    QTest::newRow("tips") << "mnuTips" << QString("frmSplash");
    QTest::newRow("about") << "mnuabout" << QString("frmAbt");
}

void WaylandSession::menuWindows()
{
    QFETCH(QString, item);
    QFETCH(QString, window);
    MainWindow form;
    form.start({});
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Label3")), Qt::LeftButton);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->close();
    auto* action = form.findChild<QAction*>(item);
    QVERIFY(action);
    bool exposed = false;
    PromptScript script;
    script.then([&exposed](QWidget* w) {
        exposed = QTest::qWaitForWindowExposed(w);
        PromptScript::leave(w, QStringLiteral("Escape"));
    });
    action->trigger();
    QCOMPARE(script.seen, QStringList{window});
    QVERIFY(exposed);
}

QTEST_MAIN(WaylandSession)
#include "wayland_session.moc"
