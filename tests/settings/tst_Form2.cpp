#include "engine/RunState.h"
#include "engine/modSession.h"
#include "settings/CRegSettings.h"
#include "settings/Form2.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <memory>

namespace {

CRegSettings store()
{
    CRegSettings settings;
    settings.setCompany(QStringLiteral("Quenmarsh"));
    settings.setAppName(QStringLiteral("Zorvane"));
    return settings;
}

QString setting(const QString& section, const QString& key)
{
    return store().GetSetting(section, key, QStringLiteral("<missing>"));
}

QByteArray storeBytes()
{
    QFile file(store().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Shows the window modally and lets `user` act on it once it is up; a window a
// failed check left open is cancelled so that exec() returns.
void runDialog(Form2& dlg, const std::function<void(Form2&)>& user)
{
    QTimer::singleShot(0, &dlg, [&] {
        if (QApplication::activeModalWidget() == &dlg)
            user(dlg);
        if (dlg.isVisible())
            dlg.reject();
    });
    dlg.exec();
}

QComboBox* combo(Form2& w)
{
    return w.findChild<QComboBox*>(QStringLiteral("Combo1"));
}

QTreeView* tree(Form2& w)
{
    return w.findChild<QTreeView*>(QStringLiteral("FolderTreeview1"));
}

QFileSystemModel* folders(Form2& w)
{
    return qobject_cast<QFileSystemModel*>(tree(w)->model());
}

QString selectedPath(Form2& w)
{
    const QModelIndexList selected = tree(w)->selectionModel()->selectedRows();
    return selected.isEmpty() ? QString() : folders(w)->filePath(selected.first());
}

bool selectionInView(Form2& w)
{
    const QModelIndex selected = tree(w)->selectionModel()->selectedRows().value(0);
    return tree(w)->viewport()->rect().contains(tree(w)->visualRect(selected));
}

// True once the tree has listed all of the folder's subfolders and sorted them.
bool listedInOrder(Form2& w, const QString& dir)
{
    const QModelIndex parent = folders(w)->index(dir);
    QStringList listed;
    for (int row = 0; row < folders(w)->rowCount(parent); ++row)
        listed.append(folders(w)->fileName(folders(w)->index(row, 0, parent)));
    return listed == QDir(dir).entryList(QDir::AllDirs | QDir::NoDotAndDotDot, QDir::Name);
}

void click(Form2& w, const char* name)
{
    QTest::mouseClick(w.findChild<QAbstractButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

void type(Form2& w, const QString& text)
{
    combo(w)->setFocus();
    QTest::keyClick(combo(w), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(combo(w), text);
}

// Expands the folder's parent and clicks the folder once it is listed; the
// folder must be its parent's only subfolder so the row cannot move.
void clickFolder(Form2& w, const QString& path, Qt::KeyboardModifiers modifiers = {})
{
    const QModelIndex parent = folders(w)->index(QFileInfo(path).path());
    tree(w)->expand(parent);
    QTRY_COMPARE(folders(w)->rowCount(parent), 1);
    const QModelIndex folder = folders(w)->index(path);
    tree(w)->scrollTo(folder);
    QTest::mouseClick(tree(w)->viewport(), Qt::LeftButton, modifiers, tree(w)->visualRect(folder).center());
}

void pickFromList(Form2& w, int row)
{
    combo(w)->showPopup();
    QAbstractItemView* list = combo(w)->view();
    QTRY_VERIFY(list->isVisible());
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < row; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
}

} // namespace

class tst_Form2 : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void desktopRule();
    void loadShowsTheStartFolder_data();
    void loadShowsTheStartFolder();
    void okRecordsTheTypedFolder_data();
    void okRecordsTheTypedFolder();
    void okReportsTheCheckBoxes_data();
    void okReportsTheCheckBoxes();
    void treeFillsTheBoxButNotOverAListPick_data();
    void treeFillsTheBoxButNotOverAListPick();
    void invalidTreeFolderKeepsTheWindowOpen_data();
    void invalidTreeFolderKeepsTheWindowOpen();
    void leavingWithoutOkWritesNothing_data();
    void leavingWithoutOkWritesNothing();

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
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    QVERIFY(QDir().mkpath(path(QStringLiteral("archive/pick"))));
    RunState::instance().ArchiveFolder = path(QStringLiteral("archive"));
}

void tst_Form2::seedHistory(const QStringList& names)
{
    if (names.isEmpty())
        return;
    CRegSettings settings = store();
    settings.SaveSetting(QStringLiteral("Extract Folders"), QStringLiteral("Number"), QString::number(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        settings.SaveSetting(QStringLiteral("Extract Folders"), QString::number(i), path(names.at(i)));
        QVERIFY(QDir().mkpath(path(names.at(i))));
    }
}

void tst_Form2::desktopRule()
{
    QCOMPARE(Form2::FolderPathRule(QStringLiteral("Desktop"), QString()), modSession::SpecialFolderPath(0));
    QVERIFY(!modSession::SpecialFolderPath(0).isEmpty());
    QCOMPARE(Form2::FolderPathRule(QStringLiteral("Desktop"), QStringLiteral("/media/stick/Desktop")),
             QStringLiteral("/media/stick/Desktop"));
    QCOMPARE(Form2::FolderPathRule(QStringLiteral("desktop"), QStringLiteral("/home/u/desktop")),
             QStringLiteral("/home/u/desktop"));
}

void tst_Form2::loadShowsTheStartFolder_data()
{
    QTest::addColumn<QString>("defaultFolder");
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("autoOpen");
    QTest::addColumn<QString>("expected");

    const QStringList history{"a/", "b/"};
    QTest::newRow("first use") << QString() << QStringList() << QString() << QStringLiteral("archive");
    QTest::newRow("current, with history")
        << QStringLiteral("Current") << history << QStringLiteral("0") << QStringLiteral("archive");
    QTest::newRow("last used") << QStringLiteral("Last used") << history << QStringLiteral("1") << QStringLiteral("a/");
    QTest::newRow("last used, no history")
        << QStringLiteral("Last used") << QStringList() << QString() << QStringLiteral("archive");
}

void tst_Form2::loadShowsTheStartFolder()
{
    QFETCH(QString, defaultFolder);
    QFETCH(QStringList, history);
    QFETCH(QString, autoOpen);
    QFETCH(QString, expected);
    if (!defaultFolder.isEmpty())
        store().SaveSetting(QStringLiteral("Options"), QStringLiteral("Default Extract Folder"), defaultFolder);
    if (!autoOpen.isEmpty())
        store().SaveSetting(QStringLiteral("Options"), QStringLiteral("Auto Open"), autoOpen);
    seedHistory(history);
    // Folders listed and sorted in above the selection push it down, out of view unless scrolled again.
    for (int i = 0; i < 40; ++i)
        QVERIFY(QDir().mkpath(path(QStringLiteral("aa%1").arg(i, 2, 10, QChar(u'0')))));

    Form2 dlg;
    runDialog(dlg, [&](Form2& w) {
        QCOMPARE(combo(w)->currentText(), path(expected));
        QCOMPARE(combo(w)->count(), history.size());
        QCOMPARE(selectedPath(w), QDir::cleanPath(path(expected)));
        QTRY_VERIFY(listedInOrder(w, m_root->path()));
        QTRY_VERIFY(selectionInView(w));
        QVERIFY(w.findChild<QCheckBox*>(QStringLiteral("chkCrNew"))->isChecked());
        QVERIFY(w.findChild<QCheckBox*>(QStringLiteral("chkUseforAll"))->isChecked());
        QCOMPARE(w.findChild<QCheckBox*>(QStringLiteral("chkautoopen"))->isChecked(), autoOpen != u"0");
        click(w, "cmdCancel");
    });
    QVERIFY(dlg.cancl);
}

void tst_Form2::okRecordsTheTypedFolder_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pressEnter");
    QTest::addColumn<QStringList>("expectedKeys");
    QTest::addColumn<QString>("expectedNumber");

    QStringList ten;
    for (int i = 0; i < 10; ++i)
        ten.append(QStringLiteral("f%1/").arg(i));

    QTest::newRow("first folder gets a slash") << QStringList() << "dest" << false << QStringList{"dest/"} << "1";
    QTest::newRow("known folder moves up")
        << QStringList{"a/", "b/", "c/"} << "b/" << false << QStringList{"b/", "a/", "c/"} << "3";
    QTest::newRow("other letter case is new")
        << QStringList{"a/", "B/"} << "b/" << true << QStringList{"b/", "a/", "B/"} << "3";
    QTest::newRow("eleventh pushes the oldest out") << ten << "new/" << false << QStringList{"new/"} + ten << "10";
}

void tst_Form2::okRecordsTheTypedFolder()
{
    QFETCH(QStringList, history);
    QFETCH(QString, typed);
    QFETCH(bool, pressEnter);
    QFETCH(QStringList, expectedKeys);
    QFETCH(QString, expectedNumber);
    seedHistory(history);

    Form2 dlg;
    runDialog(dlg, [&](Form2& w) {
        type(w, path(typed));
        if (pressEnter)
            QTest::keyClick(combo(w), Qt::Key_Return);
        else
            click(w, "cmdOK");
    });
    QVERIFY(!dlg.cancl);
    QCOMPARE(dlg.extfldr, path(expectedKeys.first()));
    QCOMPARE(setting("Extract Folders", "Number"), expectedNumber);
    for (int i = 0; i < expectedKeys.size(); ++i)
        QCOMPARE(setting("Extract Folders", QString::number(i)), path(expectedKeys.at(i)));
}

void tst_Form2::okReportsTheCheckBoxes_data()
{
    QTest::addColumn<QStringList>("clicked");
    QTest::newRow("as they start") << QStringList();
    QTest::newRow("all cleared") << QStringList{"chkCrNew", "chkUseforAll", "chkautoopen"};
}

void tst_Form2::okReportsTheCheckBoxes()
{
    QFETCH(QStringList, clicked);
    const bool autoOpen = !clicked.contains(u"chkautoopen");
    RunState::instance().AutoOpenFolder = !autoOpen;

    Form2 dlg;
    runDialog(dlg, [&](Form2& w) {
        for (const QString& name : clicked)
            click(w, qPrintable(name));
        click(w, "cmdOK");
    });
    QVERIFY(!dlg.cancl);
    QCOMPARE(dlg.newforeach, !clicked.contains(u"chkCrNew"));
    QCOMPARE(dlg.useforall, !clicked.contains(u"chkUseforAll"));
    QCOMPARE(RunState::instance().AutoOpenFolder, autoOpen);
    QCOMPARE(setting("Options", "Auto Open"), autoOpen ? "1" : "0");
}

void tst_Form2::treeFillsTheBoxButNotOverAListPick_data()
{
    QTest::addColumn<bool>("pickedExists");
    QTest::addColumn<QString>("treeAfterPick");
    QTest::newRow("picked folder exists") << true << "b";
    QTest::newRow("picked folder removed") << false << "archive";
}

void tst_Form2::treeFillsTheBoxButNotOverAListPick()
{
    QFETCH(bool, pickedExists);
    QFETCH(QString, treeAfterPick);
    seedHistory({"a/", "b/"});
    if (!pickedExists)
        QVERIFY(QDir().rmdir(path(QStringLiteral("b"))));
    const QString pick = path(QStringLiteral("archive/pick"));

    Form2 dlg;
    runDialog(dlg, [&](Form2& w) {
        pickFromList(w, 1);
        QCOMPARE(combo(w)->currentText(), path(QStringLiteral("b/")));
        QCOMPARE(selectedPath(w), path(treeAfterPick));
        clickFolder(w, pick);
        QTRY_COMPARE(combo(w)->currentText(), pick);
        QCOMPARE(w.extfldr, pick);
        click(w, "cmdOK");
    });
    QCOMPARE(dlg.extfldr, pick + u'/');
    QCOMPARE(setting("Extract Folders", "0"), pick + u'/');
}

void tst_Form2::invalidTreeFolderKeepsTheWindowOpen_data()
{
    QTest::addColumn<bool>("removeFolder");
    QTest::newRow("selected folder removed") << true;
    QTest::newRow("nothing selected") << false;
}

void tst_Form2::invalidTreeFolderKeepsTheWindowOpen()
{
    QFETCH(bool, removeFolder);
    store().SaveSetting(QStringLiteral("Options"), QStringLiteral("Auto Open"), QStringLiteral("1"));
    const QByteArray before = storeBytes();
    const QString pick = path(QStringLiteral("archive/pick"));

    Form2 dlg;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    runDialog(dlg, [&](Form2& w) {
        clickFolder(w, pick);
        QTRY_COMPARE(selectedPath(w), pick);
        if (removeFolder)
            QVERIFY(QDir().rmdir(pick));
        else
            clickFolder(w, pick, Qt::ControlModifier);
        type(w, path(QStringLiteral("typed")));
        QTimer::singleShot(0, &w, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                title = box->windowTitle();
                icon = box->icon();
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
        click(w, "cmdOK");
        QVERIFY(w.isVisible());
        click(w, "cmdCancel");
    });
    QCOMPARE(text, QStringLiteral("This folder cannot be selected."));
    QCOMPARE(title, QStringLiteral("Invalid Folder"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(storeBytes(), before);
}

void tst_Form2::leavingWithoutOkWritesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("close box") << "close";
    QTest::newRow("Escape") << "escape";
}

void tst_Form2::leavingWithoutOkWritesNothing()
{
    QFETCH(QString, how);
    seedHistory({"a/"});
    store().SaveSetting(QStringLiteral("Options"), QStringLiteral("Auto Open"), QStringLiteral("1"));
    const QByteArray before = storeBytes();
    RunState::instance().AutoOpenFolder = true;

    Form2 dlg;
    runDialog(dlg, [&](Form2& w) {
        click(w, "chkautoopen");
        type(w, path(QStringLiteral("typed")));
        if (how == u"cancel")
            click(w, "cmdCancel");
        else if (how == u"close")
            QVERIFY(w.close());
        else
            QTest::keyClick(combo(w), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    });
    QVERIFY(dlg.cancl);
    QVERIFY(RunState::instance().AutoOpenFolder);
    QCOMPARE(storeBytes(), before);
}

QTEST_MAIN(tst_Form2)
#include "tst_Form2.moc"
