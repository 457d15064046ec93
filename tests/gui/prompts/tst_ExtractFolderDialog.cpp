#include "core/settings/RecentList.h"
#include "core/settings/SettingsStore.h"
#include "gui/prompts/ExtractFolderDialog.h"
#include "gui/prompts/FolderTreeModel.h"
#include "support/PromptScript.h"

#include <QTemporaryDir>
#include <QTreeView>

class tst_ExtractFolderDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    QString path(const QString& name) const { return m_root->path() + u'/' + name; }

    // Stores the history and creates its folders, as earlier runs would have left them.
    void seedHistory(const QStringList& names)
    {
        SettingsStore settings;
        settings.setValue("Extract Folders", "Number", QString::number(names.size()));
        for (int i = 0; i < names.size(); ++i) {
            settings.setValue("Extract Folders", QString::number(i), path(names.at(i)));
            QVERIFY(QDir().mkpath(path(names.at(i))));
        }
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
        QTest::newRow("last used") << "Last used" << QStringList{"a/", "b/"} << "" << false << QStringList{"a/", "b/"};
        QTest::newRow("last used, no history") << "Last used" << QStringList() << "" << true << QStringList{"archive/"};
        QTest::newRow("eleventh pushes the oldest out")
            << "Current" << ten << "" << false << QStringList{"archive/"} + ten.first(9);
        // Enter must not swap the typed text for a listed folder in another letter case.
        QTest::newRow("other letter case, Enter")
            << "Current" << QStringList{"a/", "B/"} << "b/" << true << QStringList{"b/", "a/", "B/"};
    }

    void okRecordsTheChoice()
    {
        QFETCH(QString, defaultFolder);
        QFETCH(QStringList, history);
        QFETCH(QString, typed);
        QFETCH(bool, ticked);
        QFETCH(QStringList, keys);
        SettingsStore().setValue("Options", "Default Extract Folder", defaultFolder);
        SettingsStore().setValue("Options", "Auto Open", "0");
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
            tree->scrollTo(folders->index(pick));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(folders->index(pick)).center());
            QCOMPARE(box->currentText(), pick);
            QVERIFY(!removed || QDir().rmdir(pick));
            PromptScript::click(w, "cmdOK"); // a removed folder is refused with a warning
            if (removed)
                PromptScript::click(w, "cmdCancel");
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
        QTest::addColumn<QString>("place");   // the top-level node the tree's folder is under
        const auto row = [](const char* name, bool desktopThere, const char* archive, const char* clicked,
                            const char* chosen, const char* place) {
            QTest::newRow(name) << desktopThere << QString(archive) << QString(clicked) << QString(chosen)
                                << QString(place);
        };
        row("desktop node", true, "archive", "Desktop", "home/On the desk", "Desktop");
        row("home node", true, "archive", "Home", "home", "Home");
        row("no desktop folder", false, "archive", "/", "/", "/");
        row("archive in a folder named Desktop", true, "archive/Desktop", "", "archive/Desktop", "/");
    }

    void placesBesideRoot()
    {
        QFETCH(bool, desktopThere);
        QFETCH(QString, archive);
        QFETCH(QString, clicked);
        QFETCH(QString, chosen);
        QFETCH(QString, place);
        qputenv("HOME", QFile::encodeName(path("home")));
        QVERIFY(QDir().mkpath(path(desktopThere ? "home/On the desk" : "home")));
        QVERIFY(QDir().mkpath(path(archive)));
        QVERIFY(QDir().mkpath(path("config")));
        QFile dirs(path("config/user-dirs.dirs"));
        QVERIFY(dirs.open(QIODevice::WriteOnly) && dirs.write("XDG_DESKTOP_DIR=\"$HOME/On the desk\"\n") > 0);
        dirs.close();
        const QString expected = chosen == u"/" ? chosen : path(chosen);

        ExtractFolderDialog dlg(path(archive));
        QStringList nodes;
        QString shown, under;
        PromptScript script;
        script.then([&](QWidget* w) {
            auto* tree = w->findChild<QTreeView*>("FolderTreeview1");
            auto* folders = static_cast<FolderTreeModel*>(tree->model());
            for (int row = 0; row < folders->rowCount(); ++row)
                nodes << folders->index(row, 0).data().toString();
            if (!clicked.isEmpty()) {
                const QModelIndex node = folders->index(static_cast<int>(nodes.indexOf(clicked)), 0);
                tree->scrollTo(node);
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(node).center());
            }
            shown = w->findChild<QComboBox*>("Combo1")->currentText();
            QModelIndex top = tree->currentIndex();
            while (top.parent().isValid())
                top = top.parent();
            under = top.data().toString();
            PromptScript::click(w, "cmdOK");
        });
        dlg.exec();
        QCOMPARE(nodes, desktopThere ? QStringList({"Home", "Desktop", "/"}) : QStringList({"Home", "/"}));
        QCOMPARE(under, place);
        QCOMPARE(shown, expected);
        QVERIFY(!dlg.isCancelled());
        QCOMPARE(dlg.folder(), ExtractFolderDialog::withTrailingSlash(expected));
    }
};

QTEST_MAIN(tst_ExtractFolderDialog)
#include "tst_ExtractFolderDialog.moc"
