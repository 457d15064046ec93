#include "settings/CRegSettings.h"
#include "settings/frmopt.h"
#include "settings/modAppPaths.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setTicked(QWidget& window, const char* name, bool on)
{
    auto* box = window.findChild<QAbstractButton*>(name);
    QVERIFY2(box, name);
    if (box->isChecked() != on)
        QTest::mouseClick(box, Qt::LeftButton);
}

} // namespace

class tst_frmopt : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadsTheStoredOptions_data();
    void loadsTheStoredOptions();
    void okAppliesAndStores_data();
    void okAppliesAndStores();
    void cancelChangesNothing_data();
    void cancelChangesNothing();

private:
    // Asked only when needed: the answer may create the data folder, which
    // must not be there before the window has had its say.
    static QString menuweave() { return modAppPaths::WritableProgramFolder() + "Menuweave.ini"; }

    std::unique_ptr<QTemporaryDir> m_tmp;
};

void tst_frmopt::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    qputenv("HOME", QFile::encodeName(m_tmp->path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_tmp->filePath("data")));
    qputenv("XDG_DATA_DIRS", "/usr/share"); // the shared MIME database
}

void tst_frmopt::cleanup()
{
    QFile::remove(menuweave());
}

void tst_frmopt::loadsTheStoredOptions_data()
{
    QTest::addColumn<QStringList>("stored"); // associate, shell, folder; empty: nothing stored
    QTest::addColumn<bool>("associate");
    QTest::addColumn<bool>("shell");
    QTest::addColumn<QString>("folderButton");

    QTest::newRow("nothing stored") << QStringList{} << true << true << "defexfold_0";
    QTest::newRow("all off, last used") << QStringList{"0", "0", "Last used"} << false << false << "defexfold_1";
    QTest::newRow("unknown folder choice") << QStringList{"1", "0", "Somewhere"} << true << false << "defexfold_1";
    QTest::newRow("letter case counts") << QStringList{"1", "1", "current"} << true << true << "defexfold_1";
}

void tst_frmopt::loadsTheStoredOptions()
{
    QFETCH(QStringList, stored);
    QFETCH(bool, associate);
    QFETCH(bool, shell);
    QFETCH(QString, folderButton);

    CRegSettings settings;
    if (!stored.isEmpty()) {
        settings.SaveSetting("Options", "Associate Rar Files", stored[0]);
        settings.SaveSetting("Options", "Shell Integration", stored[1]);
        settings.SaveSetting("Options", "Default Extract Folder", stored[2]);
    }
    frmopt window;
    QCOMPARE(window.findChild<QCheckBox*>("Check1")->isChecked(), associate);
    QCOMPARE(window.findChild<QCheckBox*>("Check2")->isChecked(), shell);
    QVERIFY(window.findChild<QRadioButton*>(folderButton)->isChecked());
}

void tst_frmopt::okAppliesAndStores_data()
{
    QTest::addColumn<bool>("associate");
    QTest::addColumn<bool>("shell");
    QTest::addColumn<QString>("folderButton");
    QTest::addColumn<QString>("folderText");

    QTest::newRow("everything on") << true << true << QString("defexfold_0") << "Current";
    QTest::newRow("association off, shell on") << false << true << QString("defexfold_1") << "Last used";
    QTest::newRow("association on, shell off") << true << false << QString("defexfold_0") << "Current";
}

void tst_frmopt::okAppliesAndStores()
{
    QFETCH(bool, associate);
    QFETCH(bool, shell);
    QFETCH(QString, folderButton);
    QFETCH(QString, folderText);

    // Turning the context-menu entry off leaves its configuration as it was.
    const QByteArray old = "old configuration";
    if (!shell) {
        QFile file(menuweave());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }
    frmopt window;
    window.show();
    setTicked(window, "Check1", associate);
    setTicked(window, "Check2", shell);
    setTicked(window, qPrintable(folderButton), true);
    QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QVERIFY(!window.isVisible());

    CRegSettings settings;
    QCOMPARE(settings.GetSetting("Options", "Associate Rar Files"), QString(associate ? "1" : "0"));
    QCOMPARE(settings.GetSetting("Options", "Shell Integration"), QString(shell ? "1" : "0"));
    QCOMPARE(settings.GetSetting("Options", "Default Extract Folder"), folderText);

    const QString program = modAppPaths::ProgramFile();
    const QByteArray expected = "[Dynamic Items]\r\nParent1 = 0\r\nApplication1=" + program.toUtf8() +
                                "\r\nCaption1=E&xtract with Zorvane...\r\nHint1=Extract archive using Zorvane\r\n"
                                "IconFile1=" +
                                program.toUtf8() +
                                "\r\nIconIndex1 = 0\r\nChecked1 = 1\r\nFileType1 = Zorvane\r\nCount = 1\r\n";
    QCOMPARE(readAll(menuweave()), shell ? expected : old);

    // The association is the user's default for the RAR type, pointing at this program.
    const QByteArray defaults = readAll(m_tmp->filePath("config/mimeapps.list"));
    QCOMPARE(defaults.contains("application/vnd.rar="), associate);
    const QStringList entries = QDir(m_tmp->filePath("data/applications")).entryList({"*.desktop"});
    QCOMPARE(entries.size(), associate ? 1 : 0);
    if (associate)
        QVERIFY(readAll(m_tmp->filePath("data/applications/") + entries.first()).contains(program.toUtf8()));
}

void tst_frmopt::cancelChangesNothing_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("Escape key") << true;
}

void tst_frmopt::cancelChangesNothing()
{
    QFETCH(bool, byEscape);

    frmopt window;
    window.show();
    setTicked(window, "Check1", false);
    setTicked(window, "Check2", false);
    setTicked(window, "defexfold_1", true);
    if (byEscape)
        QTest::keyClick(&window, Qt::Key_Escape);
    else
        QTest::mouseClick(window.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QVERIFY(!QFileInfo::exists(m_tmp->filePath("config")));
    QVERIFY(!QFileInfo::exists(m_tmp->filePath("data")));
    QVERIFY(!QFileInfo::exists(menuweave()));
}

QTEST_MAIN(tst_frmopt)
#include "tst_frmopt.moc"
