#include "core/util/PathText.h"

#include <QDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

class tst_PathText : public QObject
{
    Q_OBJECT

private slots:
    // Every argument comes back as the very bytes it was given, in order.
    void arguments_data()
    {
        QTest::addColumn<QByteArrayList>("argv"); // after the program's own name
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("quotation marks") << QByteArrayList{"it\"s.rar", "say \"hi\".rar"}
                                         << QStringList{"it\"s.rar", "say \"hi\".rar"};
        QTest::newRow("blanks at either end, empty ends")
            << QByteArrayList{"", " a.rar ", ""} << QStringList{"", " a.rar ", ""};
        QTest::newRow("UTF-8") << QByteArrayList{"caf\xc3\xa9 日本.rar"} << QStringList{"café 日本.rar"};
        QTest::newRow("Latin-1 byte") << QByteArrayList{"caf\xe9.rar"} << QStringList{u"caf\xdce9.rar"_qs};
        QTest::newRow("cut sequence, then a whole one")
            << QByteArrayList{"\xe6\x97\xe6\x97\xa5"} << QStringList{u"\xdce6\xdc97日"_qs};
        // An encoded surrogate is not UTF-8 and must not turn into the escape of another byte.
        QTest::newRow("encoded surrogate") << QByteArrayList{"\xed\xb3\xa9"} << QStringList{u"\xdced\xdcb3\xdca9"_qs};
        QTest::newRow("overlong slash") << QByteArrayList{"a\xc0\xaf/b"} << QStringList{u"a\xdcc0\xdcaf/b"_qs};
    }

    void arguments()
    {
        QFETCH(QByteArrayList, argv);
        QFETCH(QStringList, expected);
        std::vector<const char*> vector{"zorvane"};
        for (const QByteArray& argument : argv)
            vector.push_back(argument.constData());
        const QStringList texts = PathText::fromArguments(static_cast<int>(vector.size()), vector.data());
        QCOMPARE(texts, expected);
        for (qsizetype i = 0; i < texts.size(); ++i)
            QCOMPARE(PathText::toBytes(texts.at(i)), argv.at(i));
    }

    // Text that did not come from bytes is plain UTF-8, a real pair of
    // surrogates included.
    void ordinaryText()
    {
        QCOMPARE(PathText::toBytes(u"a \U0001F600 é"_qs), QByteArray("a \xf0\x9f\x98\x80 \xc3\xa9"));
    }

    // "{dir}": a temporary folder holding docs/sub/ and dirlink, a link to it; named relative to the current folder.
    void absoluteExisting_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("relative, link kept, trailing slash") << "{dir}/dirlink/" << QString("{dir}/dirlink");
        // ".." goes back by text, so a path that exists only through the link is refused.
        QTest::newRow("dot-dot after a link") << "{dir}/dirlink/../sub" << QString();
        QTest::newRow("empty") << "" << QString();
        // A name that is not UTF-8 is looked up by its own bytes.
        QTest::newRow("Latin-1 name") << QString(u"{dir}/caf\xdce9.rar"_qs) << QString(u"{dir}/caf\xdce9.rar"_qs);
    }

    void absoluteExisting()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("docs/sub") && QFile::link(dir.filePath("docs/sub"), dir.filePath("dirlink")));
        const int latin1 = ::creat((QFile::encodeName(dir.path()) + "/caf\xe9.rar").constData(), 0600);
        QVERIFY(latin1 >= 0 && ::close(latin1) == 0);
        const QString relative = QDir::current().relativeFilePath(dir.path());
        QCOMPARE(PathText::absoluteExisting(path.replace("{dir}", relative)), expected.replace("{dir}", dir.path()));
    }
};

QTEST_APPLESS_MAIN(tst_PathText)
#include "tst_PathText.moc"
