#include "settings/modVbCmdLine.h"

#include <QTest>

using namespace modVbCmdLine;

class tst_modVbCmdLine : public QObject
{
    Q_OBJECT

private slots:
    void splits_data();
    void splits();
    void startsAFreshList();
    void appendToken_data();
    void appendToken();
    void countsDelimiters_data();
    void countsDelimiters();
    void joinedArgumentsSplitBack_data();
    void joinedArgumentsSplitBack();
    void joinQuotesOnlyArgumentsWithBlanks();
};

void tst_modVbCmdLine::splits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    const QStringList onlyEmpty{QString()};
    QTest::newRow("two bare paths") << "a.rar b.rar" << QStringList{"a.rar", "b.rar"};
    QTest::newRow("quoted with blanks, then bare") << R"("c d.rar" e.rar)" << QStringList{"c d.rar", "e.rar"};
    QTest::newRow("single quoted, mark last") << R"("c d.rar")" << QStringList{"c d.rar"};
    QTest::newRow("odd marks at the end") << R"(a "b c.rar)" << onlyEmpty;
    QTest::newRow("odd mark inside a token") << R"(a"b c d)" << onlyEmpty;
    QTest::newRow("two blanks give an empty element") << "a  b" << QStringList{"a", "", "b"};
    QTest::newRow("leading blank") << " a b" << QStringList{"a", "b"};
    QTest::newRow("leading bare pair of marks") << R"("" a)" << QStringList{"a"};
    QTest::newRow("trailing blank") << "a b " << QStringList{"a", "b"};
    QTest::newRow("letter glued to closing mark is lost") << R"("x y"z w)" << QStringList{"x y", "", "w"};
    QTest::newRow("quoted part inside a token stays whole") << R"(a"b c")" << QStringList{R"(a"b c")"};
    QTest::newRow("last argument of one character") << "abc d" << QStringList{"abc", "d"};
    QTest::newRow("empty text") << "" << onlyEmpty;
    QTest::newRow("tab is an ordinary character") << "a\tb" << QStringList{"a\tb"};
    QTest::newRow("backslashes are ordinary")
        << R"(C:\dir\x.rar \\srv\y.rar)" << QStringList{R"(C:\dir\x.rar)", R"(\\srv\y.rar)"};
    QTest::newRow("doubled mark is two marks") << R"("a""b")" << QStringList{R"(a""b)"};
    QTest::newRow("switch with another argument") << "/uninstalling x" << QStringList{"/uninstalling", "x"};
    QTest::newRow("quoted token in the middle") << R"(a "b c" d)" << QStringList{"a", "b c", "d"};
    QTest::newRow("mark only at the end stays") << R"(ab" c")" << QStringList{R"(ab" c")"};
    QTest::newRow("non-ASCII names") << R"("ünï cödé.rar" 日本.rar)" << QStringList{"ünï cödé.rar", "日本.rar"};
}

void tst_modVbCmdLine::splits()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    QStringList tokens;
    SplitCommandLine(text, tokens);
    QCOMPARE(tokens, expected);
}

void tst_modVbCmdLine::startsAFreshList()
{
    QStringList tokens{"old", "values", "here"};
    SplitCommandLine("new", tokens);
    QCOMPARE(tokens, QStringList{"new"});

    SplitCommandLine(R"(odd ")", tokens);
    QCOMPARE(tokens, QStringList{QString()});
}

void tst_modVbCmdLine::appendToken_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("fills an empty first element") << QStringList{""} << "x" << QStringList{"x"};
    QTest::newRow("grows after a filled first element") << QStringList{"a"} << "b" << QStringList{"a", "b"};
    QTest::newRow("empty middle element kept") << QStringList{"a", ""} << "b" << QStringList{"a", "", "b"};
    QTest::newRow("outer pair removed") << QStringList{"a"} << R"("q r")" << QStringList{"a", "q r"};
    QTest::newRow("only one outer pair removed") << QStringList{""} << R"(""q"")" << QStringList{R"("q")"};
    QTest::newRow("mark only at the end kept") << QStringList{""} << R"(x")" << QStringList{R"(x")"};
    QTest::newRow("mark only at the start kept") << QStringList{""} << R"("x)" << QStringList{R"("x)"};
    QTest::newRow("single mark kept") << QStringList{""} << R"(")" << QStringList{R"(")"};
}

void tst_modVbCmdLine::appendToken()
{
    QFETCH(QStringList, before);
    QFETCH(QString, token);
    QFETCH(QStringList, after);

    AppendToken(before, token);
    QCOMPARE(before, after);
}

void tst_modVbCmdLine::countsDelimiters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<int>("count");

    QTest::newRow("none in empty text") << ""
                                        << "\"" << 0;
    QTest::newRow("two marks") << R"(a"b")"
                               << "\"" << 2;
    QTest::newRow("non-overlapping") << "aaaa"
                                     << "aa" << 2;
    QTest::newRow("overlap counted once") << "aaa"
                                          << "aa" << 1;
    QTest::newRow("case-sensitive") << "aAa"
                                    << "A" << 1;
    QTest::newRow("empty delimiter") << "abc"
                                     << "" << 0;
}

void tst_modVbCmdLine::countsDelimiters()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(int, count);

    QCOMPARE(countDelimiters(text, delimiter), count);
}

void tst_modVbCmdLine::joinedArgumentsSplitBack_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("one path") << QStringList{"/tmp/a.rar"};
    QTest::newRow("path with blanks is one path") << QStringList{"/home/u/My Files/x y.part1.rar"};
    QTest::newRow("mixed") << QStringList{"a.rar", "c d.rar", "e.rar"};
    QTest::newRow("several blanks in a row") << QStringList{"a   b.rar", "c"};
    QTest::newRow("non-ASCII with blanks") << QStringList{"ünï cödé.rar", "日本 語.rar"};
    QTest::newRow("the uninstall switch") << QStringList{"/uninstalling"};
}

void tst_modVbCmdLine::joinedArgumentsSplitBack()
{
    QFETCH(QStringList, arguments);

    QStringList tokens;
    SplitCommandLine(JoinArguments(arguments), tokens);
    QCOMPARE(tokens, arguments);
}

void tst_modVbCmdLine::joinQuotesOnlyArgumentsWithBlanks()
{
    QCOMPARE(JoinArguments({"/uninstalling"}), QString("/uninstalling"));
    QCOMPARE(JoinArguments({"c d.rar", "e.rar"}), QString(R"("c d.rar" e.rar)"));
    QCOMPARE(JoinArguments({}), QString());
}

QTEST_APPLESS_MAIN(tst_modVbCmdLine)
#include "tst_modVbCmdLine.moc"
