#include "gui/dialogs/CommonDialogs.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QSettings>

class tst_CommonDialogs : public QObject
{
    Q_OBJECT

    static void clickButton(QWidget* dialog, const QString& text)
    {
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == text)
                return QTest::mouseClick(button, Qt::LeftButton);
        }
        QFAIL(qPrintable("no button " + text));
    }
    // Types into a field and leaves it with Tab, so that the dialog takes the text.
    static void retype(QWidget* field, const QString& text)
    {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    std::unique_ptr<QTemporaryDir> m_root;
    QString path(const QString& name) const { return m_root->path() + "/files/" + name; }
    QString home() const { return m_root->path() + "/home/"; }

private slots:
    // Qt's file dialog keeps its own history in QtProject.conf, under the
    // first config folder it saw; the test's own HOME, not a folder of one test.
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::homePath() + "/.config");
    }

    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root->path() + "/config"));
        qputenv("HOME", QFile::encodeName(home()));
        QVERIFY(QDir().mkpath(home()));
        for (const char* name : {"a.rar", "b.rar", "notes.txt", "sub/c.rar"})
            writeFile(path(name), "x");
    }

    void openDialog_data()
    {
        QTest::addColumn<bool>("multi");
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("buffer");
        QTest::addColumn<QString>("result"); // "<path>": the full path of the one file typed; "|": a NUL
        QTest::addColumn<QString>("error");
        dataRow("multi-select has room beyond the buffer", true, "a.rar", 10, "<path>", "N/A");
        dataRow("multi-select, in the dialog's order, into a subfolder", true, R"("b.rar" "a.rar" "sub/c.rar")", 250,
                "b.rar|a.rar|sub/c.rar", "N/A");
        dataRow("path too long", false, "a.rar", 10, "", "File Name/Title Buffer Too Small");
    }

    void openDialog()
    {
        QFETCH(bool, multi);
        QFETCH(QString, names);
        QFETCH(int, buffer);
        QFETCH(QString, result);
        QFETCH(QString, error);
        const QStringList files = result.split(u'|');
        CommonDialogs dlg;
        dlg.setAllowMultipleFileSelect(multi);
        dlg.setFilter("Rar Files|*.rar");
        dlg.setInitialDir(path(""));
        dlg.setMaxFileNameBuffer(buffer);
        PromptScript script;
        script.then(PromptScript::fileNames(names)).then([&](QWidget* box) {
            QCOMPARE(qobject_cast<QMessageBox*>(box)->icon(), QMessageBox::Critical);
            QCOMPARE(box->windowTitle(), "DIALOG ERROR");
            PromptScript::leave(box, "Enter");
        });
        QCOMPARE(dlg.getOpenFileName(nullptr), result.replace("<path>", path(names)).replace(u'|', QChar(0)));
        QCOMPARE(script.messages, error == u"N/A" ? QStringList() : QStringList{error});
        QCOMPARE(dlg.selectedFileCount(), multi ? files.size() : 0);
        for (qint16 i = 0; files.size() > 1 && i < files.size(); ++i)
            QCOMPARE(dlg.selectedFile(i), path(files.at(i)));
        QCOMPARE(dlg.errorText(), error);
    }

    // Every dialog left with Escape: no result, the cancel code and no error box. Each
    // opens over its owner; with nothing remembered each file dialog starts in the
    // user's home, not in the program's folder, and none insists on Qt's own dialog
    // where the desktop has one.
    void escape_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"open", "save", "folder", "color", "font", "print", "page setup", "about"})
            QTest::newRow(kind) << QString(kind);
    }

    void escape()
    {
        QFETCH(QString, kind);
        QWidget owner;
        QWidget* parent = nullptr;
        QString startFolder;
        bool widgetsOnly = false;
        PromptScript script;
        script.then([&](QWidget* w) {
            parent = w->parentWidget();
            if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
                startFolder = dialog->directory().absolutePath() + u'/';
                widgetsOnly = dialog->testOption(QFileDialog::DontUseNativeDialog);
            }
            PromptScript::leave(w, "Escape");
        });
        CommonDialogs dlg;
        dlg.setOwner(&owner);
        const QString cancel = "|General Codes Failure"; // the result, then the error text
        const QMap<QString, std::pair<std::function<QVariant()>, QString>> dialogs{
            {"open", {[&] { return dlg.getOpenFileName(&owner); }, cancel}},
            {"save", {[&] { return dlg.getSaveFileName(); }, cancel}},
            {"folder", {[&] { return dlg.browseForFolder(&owner); }, "|N/A"}},
            {"color", {[&] { return dlg.chooseColor(); }, "-1" + cancel}},
            {"font", {[&] { return dlg.chooseFont(); }, "false" + cancel}},
            {"print", {[&] { return dlg.showPrintDialog(); }, "false" + cancel}},
            {"page setup", {[&] { return dlg.showPageSetupDialog(); }, "false" + cancel}},
            {"about", {[&] { return dlg.showAbout(); }, "1|N/A"}}};
        const QString result = dialogs[kind].first().toString();
        QCOMPARE(result + u'|' + dlg.errorText(), dialogs[kind].second);
        QCOMPARE(script.seen.size(), 1);
        QCOMPARE(parent, &owner);
        QCOMPARE(startFolder, kind == u"open" || kind == u"save" || kind == u"folder" ? home() : QString());
        QVERIFY(!widgetsOnly);
    }

    // A damaged file gives the defaults. The next instance starts where the user
    // left; the file keeps the user's own lines.
    void settingsCarryOver()
    {
        CommonDialogs().setPersistenceEnabled(false); // released at once, writing nothing
        QVERIFY(!QFile::exists(DialogsIni::iniPath()));
        writeFile(DialogsIni::iniPath(), QByteArray("\0\xff[DIALOGS\0]\nInitialDir=/x/\nLastOpenFilter=2\xc3\n=", 47));
        const CommonDialogs defaults;
        QCOMPARE(defaults.initialDir() + defaults.lastOpenFolder() + defaults.lastSaveFolder(),
                 home() + home() + home());
        QCOMPARE(defaults.lastOpenFilter(), 1);
        const QByteArray users = "[Other]\nkeep=1\n[dialogs]\nExtra=kept\n";
        writeFile(DialogsIni::iniPath(), users);
        // A description naming its own pattern is not shown twice; one without a pattern is no filter.
        const QString filter = "Rar Files|*.rar|Text (*.txt;*.log)|*.txt;*.log|Other";
        {
            CommonDialogs dlg;
            dlg.setFilter(filter);
            dlg.setInitialDir(path(""));
            PromptScript script;
            script.then([&](QWidget* w) {
                QCOMPARE(qobject_cast<QFileDialog*>(w)->nameFilters(),
                         QStringList({"Rar Files (*.rar)", "Text (*.txt *.log)"}));
                PromptScript::pick(w, "fileTypeCombo", 1);
                PromptScript::typeFileNames(w, "notes.txt");
            });
            script.then(PromptScript::fileNames("out.txt", QDialogButtonBox::Save));
            QCOMPARE(dlg.getOpenFileName(nullptr), path("notes.txt"));
            QCOMPARE(dlg.getSaveFileName(), path("out.txt"));
        }
        QVERIFY(readFile(DialogsIni::iniPath()).startsWith(users));
        CommonDialogs next;
        QCOMPARE(QStringList({next.lastOpenFile(), next.lastSaveFile(), next.lastSaveFolder()}),
                 QStringList({path("notes.txt"), path("out.txt"), path("")}));
        QCOMPARE(next.lastSaveFilter(), 1);
        next.setFilter(filter);
        next.setInitialDir("");
        PromptScript script;
        script.then([&](QWidget* w) {
            QCOMPARE(qobject_cast<QFileDialog*>(w)->selectedNameFilter(), "Text (*.txt *.log)");
            QCOMPARE(qobject_cast<QFileDialog*>(w)->directory().absolutePath() + u'/', path(""));
            PromptScript::leave(w, "Escape");
        });
        QCOMPARE(next.getOpenFileName(nullptr), "");
    }

    // Declining to create a new file goes back to the dialog; an existing file is not asked about.
    void saveAsksBeforeCreating()
    {
        CommonDialogs dlg;
        dlg.setCreatePrompt(true);
        dlg.setInitialDir(path(""));
        const PromptScript::Step typeNew = PromptScript::fileNames("new.txt", QDialogButtonBox::Save);
        PromptScript script; // No to the first question, Yes to the second
        script.then(typeNew).then(PromptScript::press("Escape")).then(typeNew).then(PromptScript::press("Enter"));
        script.then(PromptScript::fileNames("notes.txt", QDialogButtonBox::Save));
        QCOMPARE(dlg.getSaveFileName(), path("new.txt"));
        QCOMPARE(dlg.getSaveFileName(), path("notes.txt"));
        QCOMPARE(script.messages,
                 QStringList(2, path("new.txt") + "\nThis file does not exist.\nDo you want to create the file?"));
    }

    void browseForFolder()
    {
        QVERIFY(QDir().mkpath(home() + "Music"));
        PromptScript script;
        script.then(PromptScript::fileNames("Music"));
        QCOMPARE(CommonDialogs().browseForFolder(nullptr), home() + "Music");
    }

    // The dialog starts at the colour given. A custom colour the user adds is offered
    // again by the same object, not by a new one.
    void chooseColor()
    {
        QList<QRgb> offered;
        const auto firstCustom = [&](QWidget* w) {
            offered << QColorDialog::customColor(0).rgb();
            clickButton(w, "Cancel");
        };
        PromptScript script;
        script.then([&](QWidget* w) {
            QLineEdit* html = nullptr;
            for (QLabel* label : w->findChildren<QLabel*>())
                html = label->text() == u"&HTML:" ? qobject_cast<QLineEdit*>(label->buddy()) : html;
            QCOMPARE(html->text(), "#abcdef");
            retype(html, "#123456");
            clickButton(w, "&Add to Custom Colors");
            clickButton(w, "OK");
        });
        script.then(firstCustom).then(firstCustom);
        CommonDialogs dlg;
        QCOMPARE(dlg.chooseColor(0xABCDEF), 0x123456);
        QCOMPARE(dlg.chooseColor(), -1);
        QCOMPARE(CommonDialogs().chooseColor(), -1);
        QCOMPARE(offered, (QList<QRgb>{qRgb(0x12, 0x34, 0x56), qRgb(0, 0, 0)}));
    }

    void chooseFont_data()
    {
        QTest::addColumn<QString>("picked"); // DejaVu Sans's name for the style
        QTest::addColumn<QString>("style");
        QTest::addColumn<int>("type");
        dataRow("regular", "Book", "Regular", 0x400);
        dataRow("bold italic", "Bold Oblique", "Italic", 0x300);
    }

    // Family, style and size picked in the lists as a user would.
    void chooseFont()
    {
        QFETCH(QString, picked);
        QFETCH(QString, style);
        QFETCH(int, type);
        const QStringList rows{"DejaVu Sans", picked, "14"};
        if (!QFontDatabase::styles(rows.first()).contains(picked))
            QSKIP("DejaVu Sans is not installed in that style");
        CommonDialogs dlg;
        PromptScript script;
        script.then([&](QWidget* w) {
            const QList<QListView*> lists = w->findChildren<QListView*>();
            QCOMPARE(lists.size(), 3);
            for (int i = 0; i < 3; ++i) {
                const QAbstractItemModel* model = lists[i]->model();
                const QModelIndex row =
                    model->match(model->index(0, 0), Qt::DisplayRole, rows[i], 1, Qt::MatchExactly).value(0);
                lists[i]->scrollTo(row);
                QTest::mouseClick(lists[i]->viewport(), Qt::LeftButton, {}, lists[i]->visualRect(row).center());
            }
            clickButton(w, "OK");
        });
        QVERIFY(dlg.chooseFont());
        const QList<QVariant> chosen{dlg.fontFaceName(), dlg.fontSize(), dlg.isFontBold(), dlg.isFontItalic(),
                                     dlg.fontStyle(),    dlg.fontType(), dlg.fontColor()};
        QCOMPARE(chosen, (QList<QVariant>{rows[0], 14, bool(type & 0x100), bool(type & 0x200), style, type, 0}));
    }

    // The dialog shows the margins and paper set here, in inches, and hands back the user's.
    void pageSetup()
    {
        CommonDialogs dlg;
        dlg.setLeftMargin(1000);
        PromptScript script;
        script.then([&](QWidget* w) {
            auto* paper = w->findChild<QComboBox*>("pageSizeCombo");
            QCOMPARE(paper->currentText(), "Letter / ANSI A");
            QCOMPARE(w->findChild<QDoubleSpinBox*>("leftMargin")->value(), 1.0);
            PromptScript::pick(w, "pageSizeCombo", paper->findText("A4"));
            retype(w->findChild<QDoubleSpinBox*>("topMargin"), "2");
            clickButton(w, "OK");
        });
        QVERIFY(dlg.showPageSetupDialog());
        // A4 as Qt gives it in inches: 8.27 x 11.69.
        const QList<int> page{dlg.paperWidth(), dlg.paperHeight(), dlg.leftMargin(),
                              dlg.topMargin(),  dlg.rightMargin(), dlg.bottomMargin()};
        QCOMPARE(page, (QList<int>{8270, 11690, 1000, 2000, 500, 500}));
    }
};

QTEST_MAIN(tst_CommonDialogs)
#include "tst_CommonDialogs.moc"
