#include "engine/RunState.h"
#include "settings/CRegSettings.h"
#include "settings/Form2.h"
#include "support/PromptScript.h"

#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <memory>

namespace {

QString setting(const QString& section, const QString& key)
{
    return CRegSettings().GetSetting(section, key, QStringLiteral("<missing>"));
}

QByteArray storeBytes()
{
    QFile file(CRegSettings().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Clicks the folder once its parent lists it; as the parent's only subfolder its row cannot move.
void clickFolder(QWidget* w, const QString& path)
{
    auto* tree = w->findChild<QTreeView*>(QStringLiteral("FolderTreeview1"));
    auto* folders = static_cast<QFileSystemModel*>(tree->model());
    const QModelIndex parent = folders->index(QFileInfo(path).path());
    tree->expand(parent);
    QTRY_COMPARE(folders->rowCount(parent), 1);
    tree->scrollTo(folders->index(path));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(folders->index(path)).center());
}

} // namespace

class tst_Form2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void okRecordsTheChoice_data();
    void okRecordsTheChoice();
    void treeFillsTheBoxButNotOverAListPick_data();
    void treeFillsTheBoxButNotOverAListPick();
    void nothingIsWrittenWithoutAValidOk_data();
    void nothingIsWrittenWithoutAValidOk();

private:
    QString path(const QString& name) const { return m_root->path() + u'/' + name; }
    // Stores the history and creates its folders, as earlier runs would have left them.
    void seedHistory(const QStringList& names);

    std::unique_ptr<QTemporaryDir> m_root;
};

void tst_Form2::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("config")));
    QVERIFY(QDir().mkpath(path("archive/pick")));
    RunState::instance().ArchiveFolder = path("archive");
}

void tst_Form2::seedHistory(const QStringList& names)
{
    CRegSettings settings;
    settings.SaveSetting("Extract Folders", "Number", QString::number(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        settings.SaveSetting("Extract Folders", QString::number(i), path(names.at(i)));
        QVERIFY(QDir().mkpath(path(names.at(i))));
    }
}

void tst_Form2::okRecordsTheChoice_data()
{
    QTest::addColumn<QString>("defaultFolder"); // the stored choice, if any
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("typed");    // empty: keep the folder the window starts with
    QTest::addColumn<bool>("ticked");      // all three boxes
    QTest::addColumn<QStringList>("keys"); // the history after OK, most recent first

    const QStringList ab{"a/", "b/"};
    QStringList ten;
    for (int i = 0; i < 10; ++i)
        ten.append(QString("f%1/").arg(i));
    QTest::newRow("current, with history") << "Current" << ab << "" << true << QStringList{"archive/"} + ab;
    QTest::newRow("last used") << "Last used" << ab << "" << false << ab;
    QTest::newRow("last used, no history") << "Last used" << QStringList() << "" << true << QStringList{"archive/"};
    QTest::newRow("eleventh pushes the oldest out") << "" << ten << "" << false << QStringList{"archive/"} + ten;
    // Enter must not swap the typed text for a listed folder in another letter case.
    QTest::newRow("other letter case, Enter")
        << "" << QStringList{"a/", "B/"} << "b/" << true << QStringList{"b/", "a/", "B/"};
}

void tst_Form2::okRecordsTheChoice()
{
    QFETCH(QString, defaultFolder);
    QFETCH(QStringList, history);
    QFETCH(QString, typed);
    QFETCH(bool, ticked);
    QFETCH(QStringList, keys);
    if (!defaultFolder.isEmpty())
        CRegSettings().SaveSetting("Options", "Default Extract Folder", defaultFolder);
    CRegSettings().SaveSetting("Options", "Auto Open", "0");
    seedHistory(history);
    RunState::instance().AutoOpenFolder = !ticked;

    Form2 dlg;
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
    QVERIFY(!dlg.cancl);
    QCOMPARE(dlg.newforeach, ticked);
    QCOMPARE(dlg.useforall, ticked);
    QCOMPARE(RunState::instance().AutoOpenFolder, ticked);
    QCOMPARE(setting("Options", "Auto Open"), ticked ? "1" : "0");
    QCOMPARE(dlg.extfldr, path(keys.first()));
    QCOMPARE(setting("Extract Folders", "Number"), QString::number(qMin(keys.size(), 10)));
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(setting("Extract Folders", QString::number(i)), path(keys.at(i)));
}

void tst_Form2::treeFillsTheBoxButNotOverAListPick_data()
{
    QTest::addColumn<bool>("pickedExists");
    QTest::newRow("picked folder exists") << true;
    QTest::newRow("picked folder removed") << false;
}

void tst_Form2::treeFillsTheBoxButNotOverAListPick()
{
    QFETCH(bool, pickedExists);
    seedHistory({"a/", "b/"});
    if (!pickedExists)
        QVERIFY(QDir().rmdir(path("b")));
    const QString pick = path("archive/pick");

    Form2 dlg;
    PromptScript script;
    script.then([&](QWidget* w) {
        auto* box = w->findChild<QComboBox*>("Combo1");
        auto* tree = w->findChild<QTreeView*>("FolderTreeview1");
        PromptScript::pick(w, "Combo1", 1);
        QCOMPARE(box->currentText(), path("b/"));
        QCOMPARE(static_cast<QFileSystemModel*>(tree->model())->filePath(tree->currentIndex()),
                 path(pickedExists ? "b" : "archive"));
        clickFolder(w, pick);
        QCOMPARE(box->currentText(), pick);
        PromptScript::click(w, "cmdOK");
    });
    dlg.exec();
    QCOMPARE(dlg.extfldr, pick + u'/');
}

void tst_Form2::nothingIsWrittenWithoutAValidOk_data()
{
    QTest::addColumn<bool>("removed"); // the tree's folder, before OK is pressed
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << false << "cmdCancel";
    QTest::newRow("close box") << false << "close";
    QTest::newRow("Escape") << false << "Escape";
    QTest::newRow("OK on a removed folder") << true << "cmdCancel";
}

void tst_Form2::nothingIsWrittenWithoutAValidOk()
{
    QFETCH(bool, removed);
    QFETCH(QString, how);
    seedHistory({"a/"});
    CRegSettings().SaveSetting("Options", "Auto Open", "1");
    const QByteArray before = storeBytes();
    RunState::instance().AutoOpenFolder = true;

    Form2 dlg;
    PromptScript script;
    script.then([&](QWidget* w) {
        clickFolder(w, path("archive/pick"));
        if (removed)
            QVERIFY(QDir().rmdir(path("archive/pick")));
        PromptScript::tick(w, "chkautoopen", false);
        PromptScript::type(w, "Combo1", path("typed"));
        if (removed)
            PromptScript::click(w, "cmdOK"); // refused with a warning, which the next step answers
        PromptScript::leave(w, how);
    });
    script.then([](QWidget* warning) { PromptScript::leave(warning, "Enter"); });
    dlg.exec();
    QCOMPARE(script.seen.contains("QMessageBox"), removed);
    QVERIFY(dlg.cancl);
    QVERIFY(RunState::instance().AutoOpenFolder);
    QCOMPARE(storeBytes(), before);
}

QTEST_MAIN(tst_Form2)
#include "tst_Form2.moc"
