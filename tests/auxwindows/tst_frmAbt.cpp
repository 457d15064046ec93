#include "auxwindows/frmAbt.h"
#include "engine/RunState.h"
#include "mainwindow/Form1.h"
#include "settings/modSysTray.h"
#include "support/PromptScript.h"
#include "update/LocalHttpServer.h"

#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>

namespace {

// Captions in order, "-" for a separator.
QStringList captions(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

void choose(QMenu* menu, const QString& name)
{
    QAction* action = menu->findChild<QAction*>(name);
    QVERIFY2(action && menu->actions().contains(action), qPrintable(name));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

} // namespace

class tst_frmAbt : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(m_tmp.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.filePath("config")));
        CRegSettings settings;
        settings.setCompany("Quenmarsh");
        settings.setAppName("Zorvane");
        settings.SaveSetting("General", "First Run", "False");
        settings.SaveSetting("General", "No Instructions", "1");
    }

    void menusInOrder_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("defaultItem");
        QTest::newRow("main") << false << QStringList{"&Open", "-",     "O&ptions", "Check for &update...", "-",
                                                      "&Help", "&Tips", "&About",   "More &Cool Software",  "-",
                                                      "E&xit"}
                              << "&Open";
        QTest::newRow("tray") << true << QStringList{"Restore", "-",    "Options", "-",
                                                     "Help",    "Tips", "About",   "More Cool Software",
                                                     "-",       "Exit"}
                              << "Restore";
    }

    void menusInOrder()
    {
        QFETCH(bool, tray);
        QFETCH(QStringList, items);
        QFETCH(QString, defaultItem);
        Form1 window;
        frmAbt abt(&window);
        tray ? abt.PopupTray(QPoint(10, 10)) : abt.PopupMain(QPoint(10, 10));
        QMenu* menu = tray ? abt.tray : abt.main;
        QCOMPARE(QApplication::activePopupWidget(), menu);
        QCOMPARE(captions(menu), items);
        QCOMPARE(menu->defaultAction()->text(), defaultItem);
        menu->close();
    }

    // The tray's Exit takes the icon away before any window closes; the main
    // menu's leaves it alone.
    void exits_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("main") << false;
        QTest::newRow("tray") << true;
    }

    void exits()
    {
        QFETCH(bool, tray);
        Form1 window;
        window.show();
        modSysTray::TrayIconData()->show();
        bool iconAtClose = false;
        auto* abt = new frmAbt(&window);
        connect(abt, &QDialog::finished, [&] { iconAtClose = modSysTray::TrayIconData()->isVisible(); });
        abt->show(); // closed with the rest
        tray ? abt->PopupTray(QPoint(10, 10)) : abt->PopupMain(QPoint(10, 10));
        choose(tray ? abt->tray : abt->main, tray ? "mnutrayex" : "mnuexit");
        QVERIFY(!window.isVisible());
        QCOMPARE(iconAtClose, !tray);
        QCOMPARE(modSysTray::TrayIconData()->isVisible(), !tray);
        modSysTray::DeleteTrayIcon();
    }

    // Menu items that open a window over the main window.
    void itemsOpenTheirWindows_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("options") << false << "mnuopt"
                                 << "frmopt";
        QTest::newRow("tips") << false << "mnuTips"
                              << "frmSplash";
        QTest::newRow("about") << false << "mnuabout"
                               << "frmAbt";
        QTest::newRow("tray options") << true << "mnuTrayOpt"
                                      << "frmopt";
        QTest::newRow("tray tips") << true << "mnutraytip"
                                   << "frmSplash";
        QTest::newRow("tray about") << true << "mnutrayabt"
                                    << "frmAbt";
    }

    void itemsOpenTheirWindows()
    {
        QFETCH(bool, tray);
        QFETCH(QString, item);
        QFETCH(QString, window);
        Form1 main;
        QPointer<frmAbt> abt = new frmAbt(&main);
        QWidget* owner = nullptr;
        PromptScript script;
        script.then([&](QWidget* w) {
            owner = w->parentWidget();
            w->close();
        });
        tray ? abt->PopupTray(QPoint(10, 10)) : abt->PopupMain(QPoint(10, 10));
        choose(tray ? abt->tray : abt->main, item);
        QCOMPARE(script.seen, QStringList{window});
        QCOMPARE(owner, &main);
        // The About window is unloaded once closed; the menus load it again.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(abt.isNull(), window == u"frmAbt");
        delete abt;
    }

    // No browser or mail program on the test desktop: each link says so.
    void linksWithoutAProgram_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("message");
        QTest::newRow("web site") << "Label5"
                                  << "Error opening Web browser.";
        QTest::newRow("support") << "Label7"
                                 << "Error opening email program.";
        QTest::newRow("feedback") << "Label9"
                                  << "Error opening email program.";
    }

    void linksWithoutAProgram()
    {
        QFETCH(QString, link);
        QFETCH(QString, message);
        Form1 window;
        frmAbt abt(&window);
        QCOMPARE(abt.findChild<QLabel*>("lblversion")->text(), QString("Version 1.00"));
        QString shown;
        PromptScript script;
        script.then([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box && box->icon() == QMessageBox::Warning);
            shown = box->windowTitle() + ": " + box->text();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        abt.show();
        QTest::mouseClick(abt.findChild<QLabel*>(link), Qt::LeftButton);
        QCOMPARE(shown, "Error: " + message);
    }

    // Asked from the menu, an up-to-date version is announced; the start-up
    // check before it stayed silent.
    void updateCheckFromTheMenu()
    {
        LocalHttpServer server;
        server.route("/versionfiles/zorvane_version.html", {200, "1.00"});
        qputenv("ZORVANE_UPDATE_URL", server.url().toUtf8());
        Form1 window;
        window.Form_Load(QString());
        QTRY_COMPARE(server.requests.size(), 1);
        QString shown;
        PromptScript script;
        script.then([&](QWidget* w) {
            shown = qobject_cast<QMessageBox*>(w)->text();
            w->close();
        });
        QTest::mouseClick(window.findChild<QWidget*>("Label3"), Qt::LeftButton);
        choose(qobject_cast<QMenu*>(QApplication::activePopupWidget()), "mnuupd");
        QTRY_COMPARE(shown, QString("You have the latest version of the program."));
        QCOMPARE(server.requests.size(), 2);
        qputenv("ZORVANE_UPDATE_URL", "");
    }

private:
    QTemporaryDir m_tmp;
};

QTEST_MAIN(tst_frmAbt)
#include "tst_frmAbt.moc"
