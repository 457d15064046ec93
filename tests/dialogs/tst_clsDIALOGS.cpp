#include "dialogs/clsDIALOGS.h"
#include "dialogs/modDialogsIni.h"
#include "dialogs/modFileDialogText.h"
#include "support/PromptScript.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <memory>

namespace {

const QChar Nul = QChar(0);

QString programFolder()
{
    return QCoreApplication::applicationDirPath() + u'/';
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void pressButton(QWidget* dialog, QDialogButtonBox::StandardButton which)
{
    QPushButton* button = dialog->findChild<QDialogButtonBox*>()->button(which);
    QVERIFY(button && button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

// The names the file dialog lists, sorted.
QStringList listed(QWidget* dialog)
{
    auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
        names.append(list->model()->index(row, 0, list->rootIndex()).data().toString());
    names.sort();
    return names;
}

// Types into the file dialog's name field and presses its accept button, or
// cancels when there is nothing to type.
void answerFileDialog(QWidget* dialog, const QString& typed, QDialogButtonBox::StandardButton accept)
{
    if (typed.isEmpty())
        return pressButton(dialog, QDialogButtonBox::Cancel);
    PromptScript::typeFileNames(dialog, typed, accept);
}

} // namespace

class tst_clsDIALOGS : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void openDialog_data();
    void openDialog();
    void filterConversion_data();
    void filterConversion();
    void filterAndFolderCarryOver();
    void persistenceOnRelease_data();
    void persistenceOnRelease();
    void brokenIniGivesDefaults_data();
    void brokenIniGivesDefaults();
    void extendedErrorTexts();

private:
    QString path(const QString& name) const { return m_root->path() + QStringLiteral("/files/") + name; }

    std::unique_ptr<QTemporaryDir> m_root;
};

void tst_clsDIALOGS::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root->path() + QStringLiteral("/config")));
    for (const char* name : {"a.rar", "b.rar", "notes.txt", "sub/c.rar"})
        writeFile(path(name), "x");
}

void tst_clsDIALOGS::openDialog_data()
{
    QTest::addColumn<bool>("multi");
    QTest::addColumn<QString>("typed"); // empty: Cancel
    QTest::addColumn<int>("buffer");    // 0: the default
    QTest::addColumn<QStringList>("chosen");
    // "<path>" stands for the full path of the one file typed.
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("lastFile");
    QTest::addColumn<QString>("error");

    const auto row = [](const char* name, bool multi, const QString& typed, int buffer, const QStringList& chosen,
                        const QString& result, const QString& lastFile, const QString& error) {
        QTest::newRow(name) << multi << typed << buffer << chosen << result << lastFile << error;
    };
    const QString two = QString("b.rar") + Nul + "a.rar";
    row("multi-select, one file", true, "b.rar", 0, {}, "<path>", "b.rar", "N/A");
    row("multi-select, two, in the dialog's order", true, R"("b.rar" "a.rar")", 0, {"b.rar", "a.rar"}, two, two, "N/A");
    row("multi-select, into a subfolder", true, R"("b.rar" "sub/c.rar")", 0, {"b.rar", "sub/c.rar"},
        QString("b.rar") + Nul + "sub/c.rar", "c.rar", "N/A");
    row("single selection", false, "a.rar", 0, {}, "<path>", "<path>", "N/A");
    row("cancel", true, "", 0, {}, "", "old.rar", "General Codes Failure");
    row("path too long for the buffer", false, "a.rar", 10, {}, "", "old.rar", "File Name/Title Buffer Too Small");
    row("multi-select has room", true, "a.rar", 10, {}, "<path>", "a.rar", "N/A");
}

void tst_clsDIALOGS::openDialog()
{
    QFETCH(bool, multi);
    QFETCH(QString, typed);
    QFETCH(int, buffer);
    QFETCH(QStringList, chosen);
    QFETCH(QString, result);
    QFETCH(QString, lastFile);
    QFETCH(QString, error);
    const QString folder = path("");
    writeFile(modDialogsIni::IniPath(), "[DIALOGS]\nLastOpenDir=" + folder.toUtf8() + "\nLastOpenFile=old.rar\n");

    clsDIALOGS dlg;
    dlg.setBlnAllowMultipleFileSelect(multi);
    dlg.setStrFilter("Rar Files|*.rar");
    dlg.setStrInitialDir("");
    if (buffer)
        dlg.setLngMaxFileNameBuffer(buffer);
    PromptScript script;
    script.then([&](QWidget* w) {
        QCOMPARE(w->windowTitle(), "Select File(s) To Open");
        QCOMPARE(qobject_cast<QFileDialog*>(w)->directory().absolutePath() + u'/', folder);
        answerFileDialog(w, typed, QDialogButtonBox::Open);
    });
    // A cancel is no error to show; anything else is.
    if (error != u"N/A" && !typed.isEmpty()) {
        script.then([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box && box->icon() == QMessageBox::Critical);
            QCOMPARE(box->windowTitle() + u':' + box->text(), "DIALOG ERROR:" + error);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
    }
    const QString name = dlg.strGetOpenFileName(nullptr);

    QVERIFY(!script.unexpected);
    QCOMPARE(name, result == u"<path>" ? path(typed) : result);
    QCOMPARE(dlg.lngNumFilesSelected(), result.isEmpty() || !multi ? 0 : std::max<qint32>(1, chosen.size()));
    for (qint16 i = 0; i < chosen.size(); ++i)
        QCOMPARE(dlg.fstrReturnSingleFileName(i), path(chosen.at(i)));
    QCOMPARE(dlg.strLastOpenFolder(), folder);
    QCOMPARE(dlg.strLastOpenFile(), lastFile == u"<path>" ? path(typed) : lastFile);
    QCOMPARE(dlg.strInitialDir(), folder);
    QCOMPARE(dlg.strDialogError(), error);
}

void tst_clsDIALOGS::filterConversion_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");

    const QStringList rar{"Rar Files (*.rar)"};
    QTest::newRow("NULs, already ended") << QString("Rar Files") + Nul + "*.rar" + Nul + Nul << rar;
    QTest::newRow("description without pattern") << "Rar Files|*.rar|Other" << rar;
    QTest::newRow("several patterns") << "Logs|*.txt;*.log" << QStringList{"Logs (*.txt *.log)"};
    QTest::newRow("default list") << modFileDialogText::DefaultFilter()
                                  << QStringList{"All Files (*)",     "Batch Files (*.BAT)", "INF Files (*.INF)",
                                                 "SYS Files (*.SYS)", "HTM Files (*.HTM)",   "Text Files (*.TXT)"};
}

void tst_clsDIALOGS::filterConversion()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(modFileDialogText::NameFilters(modFileDialogText::StoredFilter(filter)), nameFilters);
}

void tst_clsDIALOGS::filterAndFolderCarryOver()
{
    const QString filter = QStringLiteral("Rar Files|*.rar|Text Files|*.txt");
    {
        clsDIALOGS dlg;
        dlg.setStrFilter(filter);
        dlg.setStrInitialDir(path(""));
        PromptScript script;
        script.then([&](QWidget* w) {
            auto* fileDialog = qobject_cast<QFileDialog*>(w);
            QCOMPARE(fileDialog->nameFilters(), QStringList({"Rar Files (*.rar)", "Text Files (*.txt)"}));
            QTRY_COMPARE(listed(w), QStringList({"a.rar", "b.rar", "sub"}));
            PromptScript::pick(w, "fileTypeCombo", 1);
            QTRY_COMPARE(listed(w), QStringList({"notes.txt", "sub"}));
            answerFileDialog(w, "notes.txt", QDialogButtonBox::Open);
        });
        QCOMPARE(dlg.strGetOpenFileName(nullptr), path("notes.txt"));
        QCOMPARE(dlg.lngLastOpenFilter(), 2);
    }
    clsDIALOGS next;
    QCOMPARE(next.lngLastOpenFilter(), 2);
    QCOMPARE(next.strLastOpenFile(), path("notes.txt"));
    next.setStrFilter(filter);
    next.setStrInitialDir("");
    PromptScript script;
    script.then([&](QWidget* w) {
        QCOMPARE(qobject_cast<QFileDialog*>(w)->selectedNameFilter(), "Text Files (*.txt)");
        QCOMPARE(qobject_cast<QFileDialog*>(w)->directory().absolutePath() + u'/', path(""));
        answerFileDialog(w, "", QDialogButtonBox::Open);
    });
    QCOMPARE(next.strGetOpenFileName(nullptr), "");
    QCOMPARE(next.lngLastOpenFilter(), 2);
}

void tst_clsDIALOGS::persistenceOnRelease_data()
{
    QTest::addColumn<bool>("persist");
    QTest::newRow("persistence on") << true;
    QTest::newRow("persistence off") << false;
}

void tst_clsDIALOGS::persistenceOnRelease()
{
    QFETCH(bool, persist);
    const QByteArray seeded = "[Other]\nkeep=1\n[dialogs]\nLastSaveFile=old.txt\nExtra=kept\n";
    writeFile(modDialogsIni::IniPath(), seeded);
    {
        clsDIALOGS dlg;
        dlg.setBlnUsePersistence(persist);
        dlg.setStrInitialDir(path(""));
        PromptScript script;
        script.then([](QWidget* w) {
            QCOMPARE(w->windowTitle(), "Save File");
            answerFileDialog(w, "out.txt", QDialogButtonBox::Save);
        });
        QCOMPARE(dlg.strGetSaveFileName(), path("out.txt"));
    }
    // Keys already there keep their lines; the new ones follow the section's last key in their fixed order.
    const QByteArray folder = path("").toUtf8();
    const QByteArray written = "[Other]\nkeep=1\n[dialogs]\nLastSaveFile=" + folder +
                               "out.txt\nExtra=kept\nInitialDir=" + folder +
                               "\nLastOpenDir=" + programFolder().toUtf8() +
                               "\nLastOpenFilter=1\nLastOpenFile=\nLastSaveDir=" + folder + "\nLastSaveFilter=1\n";
    QCOMPARE(readFile(modDialogsIni::IniPath()), persist ? written : seeded);
}

void tst_clsDIALOGS::brokenIniGivesDefaults_data()
{
    QTest::addColumn<QByteArray>("content"); // null: a folder stands where the file should be
    QTest::addColumn<QString>("initialDir");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("lastFile");

    const QString program = programFolder();
    QTest::newRow("binary garbage") << QByteArray("\0\xff[DIALOGS\0]\n=\n\xc3LastOpenFilter", 30) << program << 1 << "";
    QTest::newRow("keys outside the section") << QByteArray("InitialDir=/x/\nLastOpenFilter=2\n") << program << 1 << "";
    QTest::newRow("filter zero") << QByteArray("[DIALOGS]\nLastOpenFilter=0\n") << program << 1 << "";
    QTest::newRow("empty value") << QByteArray("[DIALOGS]\r\nInitialDir=\r\nLastOpenFilter= 2x\r\n") << program << 2
                                 << "";
    QTest::newRow("quoted and over-long")
        << "[dialogs]\nInitialDir=\"/q/\"\nLastOpenFile=" + QByteArray(300, 'n') << "/q/" << 1 << QString(249, u'n');
    QTest::newRow("folder in its place") << QByteArray() << program << 1 << "";
}

void tst_clsDIALOGS::brokenIniGivesDefaults()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, initialDir);
    QFETCH(int, filter);
    QFETCH(QString, lastFile);
    const QString ini = modDialogsIni::IniPath();
    if (content.isNull())
        QVERIFY(QDir().mkpath(ini));
    else
        writeFile(ini, content);
    {
        clsDIALOGS dlg;
        QCOMPARE(dlg.strInitialDir(), initialDir);
        QCOMPARE(dlg.lngLastOpenFilter(), filter);
        QCOMPARE(dlg.strLastOpenFile(), lastFile);
        QCOMPARE(dlg.strLastSaveFolder(), programFolder());
    }
    // What the released instance wrote over the broken file reads back whole.
    QCOMPARE(clsDIALOGS().strInitialDir(), initialDir);
}

// The edges of each range of codes; the texts inside them show in openDialog.
void tst_clsDIALOGS::extendedErrorTexts()
{
    QCOMPARE(clsDIALOGS::DialogErrorText(0x000C), "Register Message Failure");
    QCOMPARE(clsDIALOGS::DialogErrorText(0x000D), "Unknown Error");
    QCOMPARE(clsDIALOGS::DialogErrorText(0x3004), "Unknown Error");
    QCOMPARE(clsDIALOGS::DialogErrorText(0xFFFF), "Dialog Failure");
}

QTEST_MAIN(tst_clsDIALOGS)
#include "tst_clsDIALOGS.moc"
