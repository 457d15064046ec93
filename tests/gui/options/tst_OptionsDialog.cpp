#include "core/settings/SettingsStore.h"
#include "gui/options/OptionsDialog.h"
#include "platform/AppPaths.h"
#include "support/TestFiles.h"

#include <QAbstractButton>

class tst_OptionsDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    // Asked only when needed: the answer may create the data folder.
    static QString menuweave() { return AppPaths::writableProgramFolder() + "Menuweave.ini"; }

    // The window's choices as shown: the association, the context menu, "Last used".
    static QList<bool> shown()
    {
        OptionsDialog window;
        QList<bool> ticks;
        for (const char* name : {"Check1", "Check2", "defexfold_1"})
            ticks.append(window.findChild<QAbstractButton*>(name)->isChecked());
        return ticks;
    }
    // Makes the choices with the mouse, then leaves the window by the button.
    static void answer(const QList<bool>& ticks, const char* button)
    {
        OptionsDialog window;
        window.show();
        const char* names[] = {"Check1", "Check2", ticks[2] ? "defexfold_1" : "defexfold_0"};
        for (int i = 0; i < 3; ++i) {
            auto* box = window.findChild<QAbstractButton*>(names[i]);
            if (box->isChecked() != (i == 2 || ticks[i]))
                QTest::mouseClick(box, Qt::LeftButton);
        }
        QTest::mouseClick(window.findChild<QAbstractButton*>(button), Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

private slots:
    // The context-menu extension, where the program looks for it beside itself.
    void initTestCase()
    {
        const QString library = AppPaths::programFolder() + "MWShlExt.so";
        QFile::remove(library);
        QVERIFY(QFile::copy(ZORVANE_MWSHLEXT, library));
    }
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        qputenv("HOME", QFile::encodeName(m_tmp->path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath("config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_tmp->filePath("data")));
        qputenv("XDG_DATA_DIRS", "/usr/share"); // the shared MIME database
    }
    void cleanup() { QFile::remove(menuweave()); }

    void okAppliesAndStores_data()
    {
        QTest::addColumn<QList<bool>>("ticks"); // as shown()
        QTest::newRow("association off, last used") << QList<bool>{false, true, true};
        QTest::newRow("context menu off") << QList<bool>{true, false, false};
    }

    // Turning the context-menu entry off leaves its configuration as it was.
    void okAppliesAndStores()
    {
        QFETCH(QList<bool>, ticks);
        writeFile(menuweave(), "old configuration");
        answer(ticks, "Command1");
        QCOMPARE(readFile(menuweave()),
                 ticks[1] ? OptionsDialog::menuweaveText(AppPaths::programFile()) : "old configuration");
        QCOMPARE(readFile(m_tmp->filePath("config/mimeapps.list")).contains("application/vnd.rar="), ticks[0]);
        // The extract-folder chooser reads the choice by its text.
        QCOMPARE(SettingsStore().value("Options", "Default Extract Folder"), ticks[2] ? "Last used" : "Current");
        QCOMPARE(shown(), ticks);
    }

    // OK registers the file-manager actions while the box is ticked, and removes them after.
    void okRegistersFileManagerActions()
    {
        for (const bool on : {true, false}) {
            answer({true, on, false}, "Command1");
            for (const char* action :
                 {"data/nautilus/scripts/Extract with Zorvane...", "data/nautilus/scripts/Extract Here",
                  "data/kio/servicemenus/zorvane-menuweave.desktop"})
                QCOMPARE(QFileInfo::exists(m_tmp->filePath(action)), on);
        }
    }

    void cancelChangesNothing()
    {
        QCOMPARE(shown(), (QList<bool>{true, true, false})); // the defaults
        answer({false, false, true}, "Command2");
        QVERIFY(!QFileInfo::exists(m_tmp->filePath("config")) && !QFileInfo::exists(m_tmp->filePath("data")));
        QVERIFY(!QFileInfo::exists(menuweave()));
    }
};

QTEST_MAIN(tst_OptionsDialog)
#include "tst_OptionsDialog.moc"
