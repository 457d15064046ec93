#include "engine/modSession.h"

#include <QTest>

using namespace modSession;

class tst_modSession : public QObject
{
    Q_OBJECT

private slots:
    void pathParts_data();
    void pathParts();
    void displayText_data();
    void displayText();
    void hiLoAsDouble();
    void desktopFollowsTheUsersFolders();
};

void tst_modSession::pathParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name"); // without its extension
    QTest::addColumn<QString>("fullName");

    const auto row = [](const char* name, const QString& path, const QString& folder, const QString& stem,
                        const QString& full) { QTest::newRow(name) << path << folder << stem << full; };
    row("nested, only the last dot is cut", "/home/u/a b/set.part1.rar", "/home/u/a b", "set.part1", "set.part1.rar");
    row("at the root", "/x.rar", "/", "x", "x.rar");
    row("no folder", "x.rar", "", "x", "x.rar");
    row("trailing slash", "/home/u/", "/home/u", "", "");
    row("no dot", "/in/README", "/in", "README", "README");
    row("dot in a folder name only", "/in.d/archive", "/in.d", "archive", "archive");
    row("hidden file", "/in/.rar", "/in", "", ".rar");
}

void tst_modSession::pathParts()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, fullName);
    QCOMPARE(FolderFromPath(path), folder);
    QCOMPARE(FileNameFromPath(path, false), name);
    QCOMPARE(FileNameFromPath(path, true), fullName);
}

// Names from an archive must not break or reorder the lines they are shown in.
void tst_modSession::displayText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("plain and accented") << QString("été.txt") << QString("été.txt");
    QTest::newRow("controls") << QString("a\x01\n\x7f") << QString("a\\x01\\x0A\\x7F");
    QTest::newRow("direction override") << QString("rlo-\u202Etxt.exe") << QString("rlo-\\u202Etxt.exe");
    QTest::newRow("line separator") << QString("a\u2028b") << QString("a\\u2028b");
}

void tst_modSession::displayText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(DisplayText(text), shown);
}

void tst_modSession::hiLoAsDouble()
{
    QCOMPARE(HiLoAsDouble(0, 0xffffffffu), 4294967295.0);
    QCOMPARE(HiLoAsDouble(2, 5), 8589934597.0);
}

void tst_modSession::desktopFollowsTheUsersFolders()
{
    qputenv("XDG_CONFIG_HOME", "/nonexistent-config");
    qputenv("HOME", "/home/someone");
    QCOMPARE(SpecialFolderPath(0), QString("/home/someone/Desktop"));
    QVERIFY(SpecialFolderPath(5).isEmpty());
}

QTEST_APPLESS_MAIN(tst_modSession)
#include "tst_modSession.moc"
