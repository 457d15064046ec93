#include "Version.h"
#include "gui/dialogs/CommonDialogs.h"
#include "gui/dialogs/DialogsIni.h"
#include "support/PromptScript.h"

#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>

class tst_CommonDialogs : public QObject
{
    Q_OBJECT

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

    // Types into the file dialog's name field and accepts, or cancels when there is nothing to type.
    static void answer(QWidget* dialog, const QString& typed,
                       QDialogButtonBox::StandardButton accept = QDialogButtonBox::Open)
    {
        if (typed.isEmpty())
            return PromptScript::leave(dialog, "Escape");
        PromptScript::typeFileNames(dialog, typed, accept);
    }
    static void answerSave(QWidget* dialog, const QString& typed) { answer(dialog, typed, QDialogButtonBox::Save); }

    static void clickButton(QWidget* dialog, const QString& text)
    {
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == text)
                return QTest::mouseClick(button, Qt::LeftButton);
        }
        QFAIL(qPrintable("no button " + text));
    }
    // Types into a field as a user would and leaves it with Tab, so that the dialog takes the text.
    static void retype(QWidget* field, const QString& text)
    {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    static void clickRow(QListView* list, const QString& text)
    {
        const QModelIndexList found =
            list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        list->scrollTo(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(found.first()).center());
    }

    std::unique_ptr<QTemporaryDir> m_root;
    QString path(const QString& name) const { return m_root->path() + "/files/" + name; }
    QString home() const { return m_root->path() + "/home/"; }

private slots:
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
        QTest::addColumn<QString>("typed"); // empty: Escape
        QTest::addColumn<int>("buffer");
        QTest::addColumn<QString>("result"); // "<path>": the full path of the one file typed; "|": a NUL
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, bool multi, const QString& typed, int buffer, const QString& result,
                            const QString& error) {
            QTest::newRow(name) << multi << typed << buffer << result << error;
        };
        row("multi-select has room beyond the buffer", true, "a.rar", 10, "<path>", "N/A");
        row("multi-select, in the dialog's order", true, R"("b.rar" "a.rar")", 250, "b.rar|a.rar", "N/A");
        row("multi-select, into a subfolder", true, R"("b.rar" "sub/c.rar")", 250, "b.rar|sub/c.rar", "N/A");
        row("single selection", false, "a.rar", 250, "<path>", "N/A");
        row("path too long", false, "a.rar", 10, "", "File Name/Title Buffer Too Small");
    }

    void openDialog()
    {
        QFETCH(bool, multi);
        QFETCH(QString, typed);
        QFETCH(int, buffer);
        QFETCH(QString, result);
        QFETCH(QString, error);
        const QStringList names = result.split(u'|');
        result.replace("<path>", path(typed)).replace(u'|', QChar(0));
        CommonDialogs dlg;
        dlg.setAllowMultipleFileSelect(multi);
        dlg.setFilter("Rar Files|*.rar");
        dlg.setInitialDir(path(""));
        dlg.setMaxFileNameBuffer(buffer);
        PromptScript script;
        script.then([&](QWidget* w) { answer(w, typed); });
        // A cancel is no error to show; anything else is.
        script.then([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->windowTitle() + u':' + box->text(), "DIALOG ERROR:" + error);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QCOMPARE(dlg.getOpenFileName(nullptr), result);
        QCOMPARE(script.seen.size(), error == u"N/A" || typed.isEmpty() ? 1 : 2);
        QCOMPARE(dlg.selectedFileCount(), result.isEmpty() || !multi ? 0 : names.size());
        for (qint16 i = 0; names.size() > 1 && i < names.size(); ++i)
            QCOMPARE(dlg.selectedFile(i), path(names.at(i)));
        QCOMPARE(dlg.errorText(), error);
    }

    // Every dialog left with Escape: no result, the cancel code and no error box. With
    // nothing remembered, each file dialog starts in the user's home, not in the program's
    // folder, and none insists on Qt's own dialog where the desktop has one.
    void cancelled_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("result");
        for (const char* kind : {"open", "save", "folder"})
            QTest::newRow(kind) << kind << "";
        QTest::newRow("color") << "color"
                               << "-1";
        for (const char* kind : {"font", "print", "page setup"})
            QTest::newRow(kind) << kind << "false";
    }

    void cancelled()
    {
        QFETCH(QString, kind);
        QFETCH(QString, result);
        QString startFolder;
        bool widgetsOnly = false;
        PromptScript script;
        script.then([&](QWidget* w) {
            if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
                startFolder = dialog->directory().absolutePath() + u'/';
                widgetsOnly = dialog->testOption(QFileDialog::DontUseNativeDialog);
            }
            PromptScript::leave(w, "Escape");
        });
        CommonDialogs dlg;
        const QMap<QString, std::function<QVariant()>> show{{"open", [&] { return dlg.getOpenFileName(nullptr); }},
                                                            {"save", [&] { return dlg.getSaveFileName(); }},
                                                            {"folder", [&] { return dlg.browseForFolder(nullptr); }},
                                                            {"color", [&] { return dlg.chooseColor(); }},
                                                            {"font", [&] { return dlg.chooseFont(); }},
                                                            {"print", [&] { return dlg.showPrintDialog(); }},
                                                            {"page setup", [&] { return dlg.showPageSetupDialog(); }}};
        QCOMPARE(show[kind]().toString(), result);
        QCOMPARE(script.seen.size(), 1);
        // The folder dialog keeps no error code.
        QCOMPARE(dlg.errorText(), kind == u"folder" ? "N/A" : "General Codes Failure");
        QCOMPARE(startFolder, kind == u"open" || kind == u"save" || kind == u"folder" ? home() : QString());
        QVERIFY(!widgetsOnly);
    }

    // The next instance starts where the user left; the file keeps the user's own lines.
    void settingsCarryOver()
    {
        CommonDialogs().setPersistenceEnabled(false); // released at once, writing nothing
        QVERIFY(!QFile::exists(DialogsIni::iniPath()));
        writeFile(DialogsIni::iniPath(), "[Other]\nkeep=1\n[dialogs]\nExtra=kept\n");
        // A description naming its own pattern is not shown twice; one without a pattern is no filter.
        const QString filter = QStringLiteral("Rar Files|*.rar|Text (*.txt;*.log)|*.txt;*.log|Other");
        {
            CommonDialogs dlg;
            dlg.setFilter(filter);
            dlg.setInitialDir(path(""));
            PromptScript script;
            script.then([&](QWidget* w) {
                QCOMPARE(qobject_cast<QFileDialog*>(w)->nameFilters(),
                         QStringList({"Rar Files (*.rar)", "Text (*.txt *.log)"}));
                PromptScript::pick(w, "fileTypeCombo", 1);
                answer(w, "notes.txt");
            });
            script.then([](QWidget* w) { answerSave(w, "out.txt"); });
            QCOMPARE(dlg.getOpenFileName(nullptr), path("notes.txt"));
            QCOMPARE(dlg.getSaveFileName(), path("out.txt"));
        }
        const QByteArray folder = path("").toUtf8();
        QFile ini(DialogsIni::iniPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), "[Other]\nkeep=1\n[dialogs]\nExtra=kept\nInitialDir=" + folder +
                                    "\nLastOpenDir=" + folder + "\nLastOpenFilter=2\nLastOpenFile=" + folder +
                                    "notes.txt\nLastSaveDir=" + folder + "\nLastSaveFilter=1\nLastSaveFile=" + folder +
                                    "out.txt\n");
        CommonDialogs next;
        next.setFilter(filter);
        next.setInitialDir("");
        PromptScript script;
        script.then([&](QWidget* w) {
            QCOMPARE(qobject_cast<QFileDialog*>(w)->selectedNameFilter(), "Text (*.txt *.log)");
            QCOMPARE(qobject_cast<QFileDialog*>(w)->directory().absolutePath() + u'/', path(""));
            answer(w, "");
        });
        QCOMPARE(next.getOpenFileName(nullptr), "");
    }

    // A damaged settings file, or a folder in its place, gives the defaults.
    void brokenSettingsGiveDefaults()
    {
        writeFile(DialogsIni::iniPath(), QByteArray("\0\xff[DIALOGS\0]\nInitialDir=/x/\nLastOpenFilter=2\xc3\n=", 47));
        QCOMPARE(CommonDialogs().initialDir(), home());
        QVERIFY(QFile::remove(DialogsIni::iniPath()) && QDir().mkpath(DialogsIni::iniPath()));
        CommonDialogs dlg;
        QCOMPARE(dlg.initialDir() + dlg.lastOpenFolder() + dlg.lastSaveFolder(), home() + home() + home());
        QCOMPARE(dlg.lastOpenFilter(), 1);
    }

    // Declining to create a new file goes back to the dialog; an existing file is not asked about.
    void saveAsksBeforeCreating()
    {
        CommonDialogs dlg;
        dlg.setCreatePrompt(true);
        dlg.setInitialDir(path(""));
        QStringList questions;
        const auto reply = [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            questions << box->text();
            QTest::mouseClick(box->button(questions.size() == 1 ? QMessageBox::No : QMessageBox::Yes), Qt::LeftButton);
        };
        const auto typed = [](const QString& name) { return [name](QWidget* w) { answerSave(w, name); }; };
        PromptScript script;
        script.then(typed("new.txt")).then(reply).then(typed("new.txt")).then(reply).then(typed("notes.txt"));
        const QString question = path("new.txt") + "\nThis file does not exist.\nDo you want to create the file?";
        QCOMPARE(dlg.getSaveFileName(), path("new.txt"));
        QCOMPARE(questions, QStringList({question, question}));
        QCOMPARE(dlg.getSaveFileName(), path("notes.txt"));
        QCOMPARE(questions.size(), 2);
        QCOMPARE(dlg.lastSaveFile(), path("notes.txt"));
    }

    void browseForFolder()
    {
        QVERIFY(QDir().mkpath(home() + "Music"));
        QWidget owner;
        PromptScript script;
        script.then([&](QWidget* w) {
            QCOMPARE(w->parentWidget(), &owner);
            answer(w, "Music");
        });
        QCOMPARE(CommonDialogs().browseForFolder(&owner), home() + "Music");
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
            QVERIFY(html);
            QCOMPARE(html->text(), "#abcdef");
            retype(html, "#123456");
            clickButton(w, "&Add to Custom Colors");
            clickButton(w, "OK");
        });
        script.then(firstCustom).then(firstCustom);
        CommonDialogs dlg;
        QCOMPARE(dlg.chooseColor(0xABCDEF), 0x123456);
        QCOMPARE(dlg.color(), 0x123456);
        QCOMPARE(dlg.chooseColor(), -1);
        QCOMPARE(CommonDialogs().chooseColor(), -1);
        QCOMPARE(offered, (QList<QRgb>{qRgb(0x12, 0x34, 0x56), qRgb(0, 0, 0)}));
    }

    void chooseFont_data()
    {
        QTest::addColumn<QString>("picked"); // DejaVu Sans's name for the style
        QTest::addColumn<QString>("style");
        QTest::addColumn<int>("type");
        QTest::newRow("regular") << "Book"
                                 << "Regular" << 0x400;
        QTest::newRow("bold") << "Bold"
                              << "Bold" << 0x100;
        QTest::newRow("bold italic") << "Bold Oblique"
                                     << "Italic" << 0x300;
    }

    // Family, style and size picked in the lists as a user would.
    void chooseFont()
    {
        QFETCH(QString, picked);
        QFETCH(QString, style);
        QFETCH(int, type);
        const QString family = "DejaVu Sans";
        if (!QFontDatabase::styles(family).contains(picked))
            QSKIP("DejaVu Sans is not installed in that style");
        CommonDialogs dlg;
        PromptScript script;
        script.then([&](QWidget* w) {
            const QList<QListView*> lists = w->findChildren<QListView*>();
            QCOMPARE(lists.size(), 3);
            for (int i = 0; i < 3; ++i)
                clickRow(lists.at(i), QStringList{family, picked, "14"}.at(i));
            clickButton(w, "OK");
        });
        QVERIFY(dlg.chooseFont());
        const QList<QVariant> chosen{dlg.fontFaceName(), dlg.fontSize(), dlg.isFontBold(), dlg.isFontItalic(),
                                     dlg.fontStyle(),    dlg.fontType(), dlg.fontColor()};
        QCOMPARE(chosen, (QList<QVariant>{family, 14, bool(type & 0x100), bool(type & 0x200), style, type, 0}));
    }

    // Printing goes to a PDF file here: the test machine has no printer.
    void printDialog()
    {
        CommonDialogs dlg;
        QWidget owner;
        dlg.setOwner(&owner);
        PromptScript script;
        script.then([&](QWidget* w) {
            QCOMPARE(w->parentWidget(), &owner);
            retype(w->findChild<QLineEdit*>("filename"), m_root->filePath("out.pdf"));
            clickButton(w, "&Print");
        });
        QVERIFY(dlg.showPrintDialog());
        QCOMPARE(dlg.errorText(), "N/A");
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

    void aboutBox()
    {
        CommonDialogs dlg;
        QWidget owner;
        dlg.setOwner(&owner);
        QString shown;
        PromptScript script;
        script.then([&](QWidget* w) {
            QCOMPARE(w->parentWidget(), &owner);
            shown = w->windowTitle() + u'|' + qobject_cast<QMessageBox*>(w)->text();
            PromptScript::leave(w, "Enter");
        });
        QCOMPARE(dlg.showAbout(), 1);
        const QString name = QString("Zorvane %1.%2.%3").arg(Version::Major).arg(Version::Minor).arg(Version::Revision);
        QCOMPARE(shown, name + u'|' + name + "\nCopyright © Quenmarsh");
        QCOMPARE(CommonDialogs::describeError(0x3002), "Invalid File Name");
        QCOMPARE(CommonDialogs::describeError(0x4000), "Unknown Error");
    }
};

QTEST_MAIN(tst_CommonDialogs)
#include "tst_CommonDialogs.moc"
