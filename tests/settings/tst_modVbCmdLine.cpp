#include "settings/modVbCmdLine.h"

#include <QTest>

using namespace modVbCmdLine;

class tst_modVbCmdLine : public QObject
{
    Q_OBJECT

private slots:
    void splits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        // The program's own arguments, joined for the main window, come back whole.
        const QStringList arguments{"/home/u/My  Files/x.part1.rar", "a.rar", "日本 語.rar"};
        QTest::newRow("joined arguments") << JoinArguments(arguments) << arguments;
        QTest::newRow("odd number of marks") << "a \"b c.rar" << QStringList{""};
        QTest::newRow("quoted part inside a word") << R"(a"b c" d)" << QStringList{R"(a"b c")", "d"};
    }

    void splits()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QStringList tokens;
        SplitCommandLine(text, tokens);
        QCOMPARE(tokens, expected);
    }
};

QTEST_APPLESS_MAIN(tst_modVbCmdLine)
#include "tst_modVbCmdLine.moc"
