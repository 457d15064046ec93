#include "gui/about/AboutDialog.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/RecordingDesktop.h"

// Each link of the About window goes to the desktop's program for it; the web
// site's box without a browser is tried from the menus (tst_AppMenus).
class tst_AboutDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingDesktop m_desktop{m_dir.path()};

    static void clickLink(const char* link)
    {
        AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(about.findChild<QWidget*>(link), Qt::LeftButton);
    }

private slots:
    void init() { m_desktop.clear(); }

    void links_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("received"); // by the default application
        dataRow("web site", "Label5", "https://quenmarsh.example");
        dataRow("support", "Label7", "mailto:support@quenmarsh.example?subject=Zorvane Support Request");
        dataRow("feedback", "Label9", "mailto:feedback@quenmarsh.example?subject=Zorvane Feedback");
    }

    void links()
    {
        QFETCH(QString, link);
        QFETCH(QString, received);
        clickLink(qPrintable(link));
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop.received(), "entry " + received + u'\n', 5000);
    }

    // Last: the desktop loses its defaults.
    void noMailProgram()
    {
        QVERIFY(QFile::remove(m_dir.filePath("XDG_CONFIG_HOME/mimeapps.list")));
        PromptScript script;
        script.then(PromptScript::press("Enter")).then(PromptScript::press("Enter"));
        clickLink("Label7");
        clickLink("Label9");
        QCOMPARE(script.messages, QStringList(2, "Error opening email program."));
        QCOMPARE(m_desktop.received(), QString());
    }
};

QTEST_MAIN(tst_AboutDialog)
#include "tst_AboutDialog.moc"
