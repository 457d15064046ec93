#include "core/util/CommandLine.h"

#include <QTest>

using namespace CommandLine;

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void splits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two bare paths") << "a.rar b.rar" << QStringList{"a.rar", "b.rar"};
        QTest::newRow("quoted path with blanks")
            << R"("/home/u/My  Files/x.part1.rar" b.rar)" << QStringList{"/home/u/My  Files/x.part1.rar", "b.rar"};
        QTest::newRow("odd number of marks") << "a \"b c.rar" << QStringList{""};
        QTest::newRow("two blanks make an empty token") << "a  b" << QStringList{"a", "", "b"};
        QTest::newRow("leading blank and bare pair") << R"( "" b)" << QStringList{"b"};
        QTest::newRow("trailing blank adds nothing") << "a " << QStringList{"a"};
        QTest::newRow("glued character is lost") << R"("a b"c d)" << QStringList{"a b", "", "d"};
        QTest::newRow("quoted part inside a word") << R"(a"b c" d)" << QStringList{R"(a"b c")", "d"};
        // A lone mark both begins and ends its token.
        QTest::newRow("lone mark after a quoted part") << R"("a b""")" << QStringList{"a b", ""};
        QTest::newRow("lone mark token") << R"(a " b ")" << QStringList{"a", " b "};
        QTest::newRow("empty text") << "" << QStringList{""};
        QTest::newRow("tab is no separator") << "a\tb" << QStringList{"a\tb"};
    }

    void splits()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(split(text), expected);
    }

    // An empty token between two others and one holding blanks come back whole.
    void joinsWhatSplitReadsBack()
    {
        const QStringList tokens{"/home/u/My  Files/x.rar", "", "b.rar"};
        QCOMPARE(join(tokens), R"("/home/u/My  Files/x.rar"  b.rar)");
        QCOMPARE(split(join(tokens)), tokens);
    }
};

QTEST_APPLESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
