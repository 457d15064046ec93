#include "mainwindow/frmerr.h"

#include <QTest>
#include <QTreeWidget>

namespace {

QStringList shownLines(frmerr& log)
{
    auto* list = log.findChild<QTreeWidget*>("ListView1");
    QStringList shown;
    for (int i = 0; list && i < list->topLevelItemCount(); ++i)
        shown.append(list->topLevelItem(i)->text(0));
    return shown;
}

} // namespace

class tst_frmerr : public QObject
{
    Q_OBJECT

private slots:
    void linesKeptInOrder_data();
    void linesKeptInOrder();
    void columnFitsTheLongestLine();
};

void tst_frmerr::linesKeptInOrder_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("shown");

    const QStringList plain{"Missing File: b.part2.rar", "No password supplied.", "No password supplied."};
    QTest::newRow("plain, repeated") << plain << plain;
    QTest::newRow("controls") << QStringList{"a\x1b[31m.txt", "a\r\nb\u0085"}
                              << QStringList{"a\\x1B[31m.txt", "a\\x0D\\x0Ab\\x85"};
    QTest::newRow("direction marks") << QStringList{"photo\u202Egpj.exe", "\u200Fname"}
                                     << QStringList{"photo\\u202Egpj.exe", "\\u200Fname"};
    QTest::newRow("other scripts, joiners kept")
        << QStringList{"Ошибка: 文件 می\u200Cخواهم"} << QStringList{"Ошибка: 文件 می\u200Cخواهم"};
}

void tst_frmerr::linesKeptInOrder()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, shown);

    frmerr log;
    for (const QString& line : lines)
        log.AddErrorLine(line);
    QVERIFY(!log.isVisible());
    QCOMPARE(log.lines(), lines);
    QCOMPARE(shownLines(log), shown);
}

void tst_frmerr::columnFitsTheLongestLine()
{
    frmerr log;
    auto* list = log.findChild<QTreeWidget*>("ListView1");
    const QString longLine = "Error Processing File: " + QString("deeply/nested/").repeated(20) + "name.txt";
    const int longWidth = list->fontMetrics().horizontalAdvance(longLine);
    log.AddErrorLine("short");
    QVERIFY(list->columnWidth(0) < longWidth);
    log.AddErrorLine(longLine);
    QVERIFY(list->columnWidth(0) >= longWidth);

    // Shorter lines added later keep it wide, with the long one scrolled away.
    for (int i = 0; i < 200; ++i)
        log.AddErrorLine(QString("line %1").arg(i));
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    QVERIFY(list->columnWidth(0) >= longWidth);
}

QTEST_MAIN(tst_frmerr)
#include "tst_frmerr.moc"
