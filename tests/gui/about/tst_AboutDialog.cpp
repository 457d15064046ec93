#include "gui/about/AboutDialog.h"
#include "gui/about/AppMenus.h"
#include "platform/AppPaths.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/RecordingDesktop.h"

// The About window's links and the menus' web site and help items go to the
// desktop's program for each; the web site's box without a browser is tried
// in tst_AppMenus.
class tst_AboutDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingDesktop m_desktop{m_dir.path()};
    // With help pages beside it, the test program's folder is its data folder.
    const QString m_help = AppPaths::programFolder() + "help/";

    // Clicks a link of the About window, or chooses a menu item in its menu.
    static void choose(const QString& item)
    {
        QWidget window;
        if (item.startsWith("Label")) {
            AboutDialog about(&window);
            about.show();
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            return QTest::mouseClick(about.findChild<QWidget*>(item), Qt::LeftButton);
        }
        AppMenus menus(&window);
        item.startsWith("mnutray") ? menus.popupTray(QPoint(10, 10)) : menus.popupMain(QPoint(10, 10));
        PromptScript::chooseMenuItem(item);
    }

private slots:
    void initTestCase() { writeFile(m_help + "splash.htm", "<html></html>"); }
    void cleanupTestCase() { QDir(m_help).removeRecursively(); }
    void init() { m_desktop.clear(); }

    void links_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("received"); // by the default application
        const QString site = "https://quenmarsh.example";
        dataRow("web site", "Label5", site);
        dataRow("support", "Label7", "mailto:support@quenmarsh.example?subject=Zorvane Support Request");
        dataRow("feedback", "Label9", "mailto:feedback@quenmarsh.example?subject=Zorvane Feedback");
        dataRow("web site from the menu", "mnuweblink", site);
        dataRow("web site from the tray", "mnutrayweblnk", site);
        dataRow("help from the menu", "mnuhelp", "<help>splash.htm");
        dataRow("help from the tray", "mnutrayhelp", "<help>splash.htm");
    }

    void links()
    {
        QFETCH(QString, item);
        QFETCH(QString, received);
        choose(item);
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop.received(), "entry " + received.replace("<help>", m_help) + u'\n', 5000);
    }

    // Last: the desktop loses its defaults.
    void noMailProgram()
    {
        QVERIFY(QFile::remove(m_dir.filePath("XDG_CONFIG_HOME/mimeapps.list")));
        PromptScript script;
        script.then(PromptScript::press("Enter")).then(PromptScript::press("Enter"));
        choose("Label7");
        choose("Label9");
        QCOMPARE(script.messages, QStringList(2, "Error opening email program."));
        QCOMPARE(m_desktop.received(), QString());
    }
};

QTEST_MAIN(tst_AboutDialog)
#include "tst_AboutDialog.moc"
