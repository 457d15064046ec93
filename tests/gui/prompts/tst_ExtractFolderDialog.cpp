#include "core/settings/RecentList.h"
#include "gui/prompts/ExtractFolderDialog.h"
#include "gui/prompts/FolderTreeModel.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <QTreeView>

class tst_ExtractFolderDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    QString path(const QString& name) const { return m_root->path() + u'/' + name; }

    // Stores the history and creates its folders, as earlier runs would have left them.
    void seedHistory(const QStringList& names)
    {
        QList<SettingsStore::SettingRow> rows{{"Number", QString::number(names.size())}};
        for (int i = 0; i < names.size(); ++i) {
            rows.append({QString::number(i), path(names.at(i))});
            QVERIFY(QDir().mkpath(path(names.at(i))));
        }
        QVERIFY(SettingsStore().setValues("Extract Folders", rows));
    }
    static void clickNode(QTreeView* tree, const QModelIndex& node)
    {
        tree->scrollTo(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(node).center());
    }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("config")));
        QVERIFY(QDir().mkpath(path("archive/pick")));
    }

    void okRecordsTheChoice_data()
    {
        QTest::addColumn<QString>("defaultFolder");
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QString>("typed");    // empty: keep the folder the window starts with
        QTest::addColumn<bool>("ticked");      // all three boxes
        QTest::addColumn<QStringList>("keys"); // the history listed after OK, at most ten
        const QStringList ten = QString("f0/ f1/ f2/ f3/ f4/ f5/ f6/ f7/ f8/ f9/").split(u' ');
        dataRow("last used", "Last used", QStringList{"a/", "b/"}, "", false, QStringList{"a/", "b/"});
        dataRow("last used, no history", "Last used", QStringList(), "", true, QStringList{"archive/"});
        dataRow("a listed folder moves to the top", "Current", QStringList{"a/", "b/", "c/"}, "b/", false,
                QStringList{"b/", "a/", "c/"});
        dataRow("eleventh pushes the oldest out", "Current", ten, "", false, QStringList{"archive/"} + ten.first(9));
        // Enter must not swap the typed text for a listed folder in another letter case.
        dataRow("other letter case, Enter", "Current", QStringList{"a/", "B/"}, "b/", true,
                QStringList{"b/", "a/", "B/"});
    }

    void okRecordsTheChoice()
    {
        QFETCH(QString, defaultFolder);
        QFETCH(QStringList, history);
        QFETCH(QString, typed);
        QFETCH(bool, ticked);
        QFETCH(QStringList, keys);
        SettingsStore().setValues("Options", {{"Default Extract Folder", defaultFolder}, {"Auto Open", "0"}});
        seedHistory(history);
        ExtractFolderDialog dlg(path("archive"));
        PromptScript script;
        script.then([&](QWidget* w) {
            QVERIFY(!w->findChild<QCheckBox*>("chkautoopen")->isChecked());
            for (const char* box : {"chkCrNew", "chkUseforAll", "chkautoopen"})
                PromptScript::tick(w, box, ticked);
            if (!typed.isEmpty())
                PromptScript::type(w, "Combo1", path(typed));
            PromptScript::leave(w, typed.isEmpty() ? "cmdOK" : "Enter");
        });
        dlg.exec();
        QCOMPARE(QList<bool>({dlg.isCancelled(), dlg.folderPerArchive(), dlg.useForAll(), dlg.autoOpen()}),
                 QList<bool>({false, ticked, ticked, ticked}));
        QCOMPARE(SettingsStore().value("Options", "Auto Open"), ticked ? "1" : "0");
        QCOMPARE(dlg.folder(), path(keys.first()));
        QStringList listed = RecentList::load(SettingsStore(), "Extract Folders"); // as the next window lists them
        QCOMPARE(listed.replaceInStrings(path(""), ""), keys);
    }

    void listAndTreeAgree_data()
    {
        QTest::addColumn<bool>("removed"); // the listed folder, then the clicked one before OK
        QTest::newRow("folders there") << false;
        QTest::newRow("folders removed") << true;
    }

    void listAndTreeAgree()
    {
        QFETCH(bool, removed);
        seedHistory({"a/", "b/"});
        QVERIFY(!removed || QDir().rmdir(path("b")));
        const QString pick = path("archive/pick");
        ExtractFolderDialog dlg(path("archive"));
        PromptScript script;
        script.then([&](QWidget* w) {
            auto* box = w->findChild<QComboBox*>("Combo1");
            auto* tree = w->findChild<QTreeView*>("FolderTreeview1");
            auto* folders = static_cast<FolderTreeModel*>(tree->model());
            PromptScript::pick(w, "Combo1", 1);
            QCOMPARE(box->currentText(), path("b/")); // the tree's answer does not replace the pick
            QCOMPARE(folders->filePath(tree->currentIndex()), path(removed ? "archive" : "b"));
            // A click is heard even after a pick the tree could not follow. The folder is
            // clicked once listed; as its parent's only subfolder its row cannot move.
            tree->expand(folders->index(path("archive")));
            QTRY_COMPARE(folders->rowCount(folders->index(path("archive"))), 1);
            clickNode(tree, folders->index(pick));
            QCOMPARE(box->currentText(), pick);
            QVERIFY(!removed || QDir().rmdir(pick));
            PromptScript::click(w, "cmdOK"); // a removed folder is refused with a warning
            if (removed)
                PromptScript::leave(w, "close"); // the title bar's close box cancels as cmdCancel does
        });
        script.then([](QWidget* warning) { PromptScript::leave(warning, "Enter"); });
        dlg.exec();
        QCOMPARE(script.seen.contains("QMessageBox"), removed);
        QCOMPARE(dlg.isCancelled(), removed);
        // Cancel writes nothing: the history stays as it was and "Auto Open" stays unset.
        QCOMPARE(RecentList::load(SettingsStore(), "Extract Folders").size(), removed ? 2 : 3);
        QCOMPARE(SettingsStore().value("Options", "Auto Open", "unset") == "unset", removed);
        QVERIFY(removed || dlg.folder() == pick + u'/');
    }

    // Home and the desktop the user's folder settings name sit beside "/"; the
    // desktop node stands for that folder, while a folder merely called
    // "Desktop" is itself.
    void placesBesideRoot_data()
    {
        QTest::addColumn<bool>("desktopThere");
        QTest::addColumn<QString>("archive"); // the archive's folder, below the temporary folder
        QTest::addColumn<QString>("clicked"); // the top-level node clicked; empty: none
        QTest::addColumn<QString>("chosen");  // below the temporary folder, or "/"
        dataRow("desktop node", true, "archive", "Desktop", "home/On the desk");
        dataRow("no desktop folder", false, "archive", "/", "/");
        dataRow("archive in a folder named Desktop", true, "archive/Desktop", "", "archive/Desktop");
    }

    void placesBesideRoot()
    {
        QFETCH(bool, desktopThere);
        QFETCH(QString, archive);
        QFETCH(QString, clicked);
        QFETCH(QString, chosen);
        qputenv("HOME", QFile::encodeName(path("home")));
        QVERIFY(QDir().mkpath(path(desktopThere ? "home/On the desk" : "home")) && QDir().mkpath(path(archive)));
        writeFile(path("config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/On the desk\"\n");
        ExtractFolderDialog dlg(path(archive));
        QStringList nodes;
        PromptScript script;
        script.then([&](QWidget* w) {
            auto* tree = w->findChild<QTreeView*>("FolderTreeview1");
            for (int row = 0; row < tree->model()->rowCount(); ++row)
                nodes << tree->model()->index(row, 0).data().toString();
            if (!clicked.isEmpty())
                clickNode(tree, tree->model()->index(static_cast<int>(nodes.indexOf(clicked)), 0));
            PromptScript::click(w, "cmdOK");
        });
        dlg.exec();
        QCOMPARE(nodes, desktopThere ? QStringList({"Home", "Desktop", "/"}) : QStringList({"Home", "/"}));
        QVERIFY(!dlg.isCancelled());
        QCOMPARE(dlg.folder(), chosen == u"/" ? chosen : path(chosen + u'/'));
    }
};

QTEST_MAIN(tst_ExtractFolderDialog)
#include "tst_ExtractFolderDialog.moc"
