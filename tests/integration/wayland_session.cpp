// The main window and a whole extraction run on a Wayland compositor.
// wayland-session.sh runs it under a headless weston whose desktop is one
// plain colour; weston-screenshooter takes the pictures, kept for people to
// look at.
#include "core/settings/SettingsStore.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/PromptScript.h"
#include "support/ShapeCheck.h"
#include "support/TestFiles.h"

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class WaylandSession : public QObject
{
    Q_OBJECT

    static constexpr int Patience = 15000;

    // The whole output, as the compositor composed it.
    static QImage screenshot()
    {
        QTemporaryDir folder;
        QProcess shooter;
        shooter.setWorkingDirectory(folder.path());
        shooter.start("weston-screenshooter");
        if (!shooter.waitForFinished(Patience) || shooter.exitCode() != 0)
            return {};
        const QStringList shots = QDir(folder.path()).entryList({"*.png"});
        return shots.isEmpty() ? QImage() : QImage(folder.filePath(shots.first()));
    }
    // Where the window's top-left corner is on the shot, as the compositor
    // places windows itself: everything that is not the backdrop belongs to
    // the window, whose outline starts at the mask's corner.
    static QPoint windowOrigin(const QImage& shot, const QWidget& form)
    {
        QRect drawn;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                drawn |=
                    (shot.pixel(x, y) | ~RGB_MASK) != (ShapeCheck::Backdrop | ~RGB_MASK) ? QRect(x, y, 1, 1) : QRect();
        }
        return drawn.topLeft() - form.mask().boundingRect().topLeft();
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), "wayland");
        // Not a first start and no tips, so the main window is the only window.
        QVERIFY(SettingsStore().setValues("General", {{"First Run", "False"}, {"No Instructions", "1"}}));
    }

    // Outside its outline the desktop shows through, though a mask does not
    // clip what is drawn on Wayland. Its menu opens over it.
    void shapedWindow()
    {
        MainWindow form;
        form.start({});
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto origin = [&form](const QImage& shot) { return windowOrigin(shot, form); };
        QCOMPARE(ShapeCheck::waitForShape(form, screenshot, origin, "main-window-wayland.png"), QString());
        QTest::mouseClick(form.findChild<QWidget*>("Label3"), Qt::LeftButton);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QApplication::activePopupWidget()->close();
    }

    // The password prompt, the chooser, the overwrite question and the error
    // log each open on the compositor, take their answers and close.
    void wholeRun()
    {
        QTemporaryDir tmp;
        writeFile(tmp.filePath("enc-data/a.txt"), "old"); // a folder per archive
        PromptScript script;
        script.then(PromptScript::password("secret"))
            .then(PromptScript::chooseFolder(tmp.path(), true, true))
            .then(PromptScript::overwrite("Command1"))
            .then(PromptScript::press("Command1"));
        MainWindow form;
        form.start({ZORVANE_FIXTURES "/enc-data.rar", ZORVANE_FIXTURES "/damaged.rar"});
        QCOMPARE(script.seen, (QStringList{"Formpw", "Form2", "frmOW", "frmerr"}));
        QCOMPARE(form.findChild<QLabel*>("Label1")->text(), "Done!\r\nExtracted 3 file(s) from 2 volume(s).");
    }
};

QTEST_MAIN(WaylandSession)
#include "wayland_session.moc"
