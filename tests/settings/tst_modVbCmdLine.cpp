#include "settings/modVbCmdLine.h"

#include <QTest>

using namespace modVbCmdLine;

class tst_modVbCmdLine : public QObject
{
    Q_OBJECT

private slots:
    void splits_data();
    void splits();
    void appendTokenKeepsLoneMarks_data();
    void appendTokenKeepsLoneMarks();
    void countsNonOverlappingDelimiters();
    void joinedArgumentsSplitBack_data();
    void joinedArgumentsSplitBack();
};

void tst_modVbCmdLine::splits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    const auto row = [](const char* name, const QString& text, const QStringList& expected) {
        QTest::newRow(name) << text << expected;
    };
    const QStringList onlyEmpty{QString()};
    row("two bare paths", "a.rar b.rar", {"a.rar", "b.rar"});
    row("quoted with blanks, then bare", R"("c d.rar" e.rar)", {"c d.rar", "e.rar"});
    row("single quoted, mark last", R"("c d.rar")", {"c d.rar"});
    row("odd marks at the end", R"(a "b c.rar)", onlyEmpty);
    row("odd mark inside a token", R"(a"b c d)", onlyEmpty);
    row("two blanks give an empty element", "a  b", {"a", "", "b"});
    row("leading blank", " a b", {"a", "b"});
    row("leading bare pair of marks", R"("" a)", {"a"});
    row("trailing blank", "a b ", {"a", "b"});
    row("letter glued to closing mark is lost", R"("x y"z w)", {"x y", "", "w"});
    row("quoted part inside a token stays whole", R"(a"b c")", {R"(a"b c")"});
    row("last argument of one character", "abc d", {"abc", "d"});
    row("empty text", "", onlyEmpty);
    row("tab is an ordinary character", "a\tb", {"a\tb"});
    row("backslashes are ordinary", R"(C:\dir\x.rar \\srv\y.rar)", {R"(C:\dir\x.rar)", R"(\\srv\y.rar)"});
    row("doubled mark is two marks", R"("a""b")", {R"(a""b)"});
    row("mark only at the end stays", R"(ab" c")", {R"(ab" c")"});
}

void tst_modVbCmdLine::splits()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    QStringList tokens{"left", "from before"};
    SplitCommandLine(text, tokens);
    QCOMPARE(tokens, expected);
}

// Marks that do not enclose the whole token, which splitting never hands over.
void tst_modVbCmdLine::appendTokenKeepsLoneMarks_data()
{
    QTest::addColumn<QString>("token");
    QTest::newRow("single mark") << R"(")";
    QTest::newRow("mark only at the start") << R"("x)";
}

void tst_modVbCmdLine::appendTokenKeepsLoneMarks()
{
    QFETCH(QString, token);
    QStringList tokens{""};
    AppendToken(tokens, token);
    QCOMPARE(tokens, QStringList{token});
}

void tst_modVbCmdLine::countsNonOverlappingDelimiters()
{
    QCOMPARE(countDelimiters("aaa", "aa"), 1);
    QCOMPARE(countDelimiters("abc", ""), 0);
}

void tst_modVbCmdLine::joinedArgumentsSplitBack_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("joined");

    QTest::newRow("no arguments") << QStringList{} << "";
    QTest::newRow("the uninstall switch") << QStringList{"/uninstalling"} << "/uninstalling";
    QTest::newRow("path with blanks is one path")
        << QStringList{"/home/u/My Files/x y.part1.rar"} << R"("/home/u/My Files/x y.part1.rar")";
    QTest::newRow("mixed") << QStringList{"a.rar", "c d.rar", "e.rar"} << R"(a.rar "c d.rar" e.rar)";
    QTest::newRow("several blanks in a row") << QStringList{"a   b.rar", "c"} << R"("a   b.rar" c)";
    QTest::newRow("non-ASCII with blanks")
        << QStringList{"ünï cödé.rar", "日本 語.rar"} << R"("ünï cödé.rar" "日本 語.rar")";
}

void tst_modVbCmdLine::joinedArgumentsSplitBack()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, joined);

    QCOMPARE(JoinArguments(arguments), joined);
    QStringList tokens;
    SplitCommandLine(joined, tokens);
    QCOMPARE(tokens, arguments.isEmpty() ? QStringList{""} : arguments);
}

QTEST_APPLESS_MAIN(tst_modVbCmdLine)
#include "tst_modVbCmdLine.moc"
