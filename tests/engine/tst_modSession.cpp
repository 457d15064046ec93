#include "engine/modSession.h"

#include <QTest>

using namespace modSession;

class tst_modSession : public QObject
{
    Q_OBJECT

private slots:
    void folderFromPath_data();
    void folderFromPath();
    void fileNameFromPath_data();
    void fileNameFromPath();
    void trimControlChars_data();
    void trimControlChars();
    void hiLoAsDouble();
    void desktopFollowsTheUsersFolders();
};

void tst_modSession::folderFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");

    QTest::newRow("nested") << "/home/u/a b/set.part1.rar"
                            << "/home/u/a b";
    QTest::newRow("at the root") << "/x.rar"
                                 << "/";
    QTest::newRow("no folder") << "x.rar"
                               << "";
    QTest::newRow("trailing slash") << "/home/u/"
                                    << "/home/u";
}

void tst_modSession::folderFromPath()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QCOMPARE(FolderFromPath(path), folder);
}

void tst_modSession::fileNameFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("keepExtension");
    QTest::addColumn<QString>("name");

    QTest::newRow("only the last dot is cut") << "/in/set.part1.rar" << false << "set.part1";
    QTest::newRow("extension kept") << "/in/set.part1.rar" << true << "set.part1.rar";
    QTest::newRow("no dot") << "/in/README" << false << "README";
    QTest::newRow("no folder") << "a.rar" << false << "a";
    QTest::newRow("dot in a folder name only") << "/in.d/archive" << false << "archive";
    QTest::newRow("hidden file") << "/in/.rar" << false << "";
}

void tst_modSession::fileNameFromPath()
{
    QFETCH(QString, path);
    QFETCH(bool, keepExtension);
    QFETCH(QString, name);
    QCOMPARE(FileNameFromPath(path, keepExtension), name);
}

void tst_modSession::trimControlChars_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");

    QTest::newRow("blanks and NULs") << QString(" a b ") + QChar(0) + QChar(0) << "a b";
    QTest::newRow("control characters") << "\t\r\n\x01name\x1f"
                                        << "name";
    QTest::newRow("non-ASCII stops the trimming") << QString("\u00a0x\u00a0") << QString("\u00a0x\u00a0");
    QTest::newRow("only controls") << "\x01 \x02"
                                   << "";
    QTest::newRow("DEL is above 32") << "\x7fx"
                                     << "\x7fx";
}

void tst_modSession::trimControlChars()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(TrimControlChars(text), trimmed);
}

void tst_modSession::hiLoAsDouble()
{
    QCOMPARE(HiLoAsDouble(0, 0xffffffffu), 4294967295.0);
    QCOMPARE(HiLoAsDouble(2, 0), 8589934592.0);
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
