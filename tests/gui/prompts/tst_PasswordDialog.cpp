#include "core/settings/RecentList.h"
#include "gui/prompts/PasswordDialog.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"

#include <QTemporaryDir>

class tst_PasswordDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }

    // The saved list holds "abcdef" and "secret"; "for all" is ticked, "save" as the row says.
    void answers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("how"); // a button's name or "Enter"
        QTest::addColumn<QStringList>("stored");
        // The saved list must neither complete nor replace what was typed.
        dataRow("other letter case, Enter", "Secret", true, "Enter", QStringList{"Secret", "abcdef", "secret"});
        dataRow("prefix of a saved one", "abc", true, "Command1", QStringList{"abc", "abcdef", "secret"});
        dataRow("saved one again, to the top", "secret", true, "Command1", QStringList{"secret", "abcdef"});
        dataRow("save box clear", "abc", false, "Command1", QStringList{"abcdef", "secret"});
        dataRow("Cancel", "abc", true, "Command2", QStringList{"abcdef", "secret"});
    }

    void answers()
    {
        QFETCH(QString, typed);
        QFETCH(bool, save);
        QFETCH(QString, how);
        QFETCH(QStringList, stored);
        const bool ok = how != u"Command2";
        SettingsStore settings;
        settings.setValues("Saved Passwords", {{"0", "abcdef"}, {"1", "secret"}, {"Number", "2"}});
        PasswordDialog dlg;
        PromptScript script;
        script.then([&](QWidget* w) {
            PromptScript::click(w, "Command1"); // nothing typed yet: refused with a message
            PromptScript::tick(w, "chksave", save);
            PromptScript::tick(w, "Check1", true);
            PromptScript::type(w, "Text1", typed);
            PromptScript::leave(w, how);
        });
        script.then([](QWidget* box) { PromptScript::leave(box, "Enter"); });
        dlg.exec();
        QCOMPARE(script.seen, (QStringList{"Formpw", "QMessageBox"}));
        QCOMPARE(dlg.password(), ok ? typed : QString());
        QCOMPARE(dlg.isCancelled(), !ok);
        QCOMPARE(dlg.useForAll(), ok);
        QCOMPARE(RecentList::load(settings, "Saved Passwords"), stored);
    }
};

QTEST_MAIN(tst_PasswordDialog)
#include "tst_PasswordDialog.moc"
