#include "gui/mainwindow/ErrorLogDialog.h"

#include <QTest>
#include <QTreeWidget>

class tst_ErrorLogDialog : public QObject
{
    Q_OBJECT

private slots:
    // Lines are kept as given, repeats too; the list shows controls and direction marks escaped
    // so a file name cannot disguise itself, other scripts as they are; long lines stay scrollable.
    void linesKeptAndShownEscaped()
    {
        const QString longLine = "Error Processing File: " + QString("deeply/nested/").repeated(20) + "name.txt";
        const QStringList lines{"No password supplied.",    "No password supplied.",      "a\x1b[31m\r\n\u0085.txt",
                                "photo\u202Egpj\u200F.exe", "Ошибка: 文件 می\u200Cخواهم", longLine};
        const QStringList shown{lines.at(0), lines.at(1), "a\\x1B[31m\\x0D\\x0A\\x85.txt", "photo\\u202Egpj\\u200F.exe",
                                lines.at(4), longLine};
        ErrorLogDialog log;
        auto* list = log.findChild<QTreeWidget*>("ListView1");
        for (const QString& line : lines + QStringList(200, "short"))
            log.addLine(line);
        QCOMPARE(log.lines().mid(0, lines.size()), lines);
        QCOMPARE(list->topLevelItemCount(), lines.size() + 200);
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(list->topLevelItem(i)->text(0), shown.at(i));
        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        QVERIFY(list->columnWidth(0) >= list->fontMetrics().horizontalAdvance(longLine));
    }
};

QTEST_MAIN(tst_ErrorLogDialog)
#include "tst_ErrorLogDialog.moc"
