#include "gui/dialogs/CommonDialogs.h"
#include "gui/dialogs/DialogsIni.h"
#include "support/PromptScript.h"

#include <QFileDialog>
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
        row("cancel", true, "", 250, "", "General Codes Failure");
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

    // With nothing remembered, each file dialog starts in the user's home, not in
    // the program's folder; none insists on Qt's own dialog where the desktop has one.
    void firstDialogStartsAtHome_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open") << "open";
        QTest::newRow("save") << "save";
        QTest::newRow("folder") << "folder";
    }

    void firstDialogStartsAtHome()
    {
        QFETCH(QString, kind);
        QString startFolder;
        bool widgetsOnly = true;
        PromptScript script;
        script.then([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            startFolder = dialog->directory().absolutePath() + u'/';
            widgetsOnly = dialog->testOption(QFileDialog::DontUseNativeDialog);
            PromptScript::leave(w, "Escape");
        });
        CommonDialogs dlg;
        dlg.setErrorMessagesEnabled(false);
        if (kind == u"open")
            QCOMPARE(dlg.getOpenFileName(nullptr), "");
        else if (kind == u"save")
            QCOMPARE(dlg.getSaveFileName(), "");
        else
            QCOMPARE(dlg.browseForFolder(nullptr), "");
        QCOMPARE(script.seen.size(), 1);
        QCOMPARE(startFolder, home());
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
            script.then([](QWidget* w) { answer(w, "out.txt", QDialogButtonBox::Save); });
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
};

QTEST_MAIN(tst_CommonDialogs)
#include "tst_CommonDialogs.moc"
