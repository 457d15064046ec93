#include "core/util/PathText.h"
#include "support/DataRow.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

class tst_PathText : public QObject
{
    Q_OBJECT

private slots:
    // Every argument comes back as the very bytes it was given, in order; text
    // that did not come from bytes is plain UTF-8.
    void arguments_data()
    {
        QTest::addColumn<QByteArrayList>("argv"); // after the program's own name
        QTest::addColumn<QStringList>("expected");
        dataRow("quotation marks", QByteArrayList{"it\"s.rar", "say \"hi\".rar"},
                QStringList{"it\"s.rar", "say \"hi\".rar"});
        dataRow("blanks at either end, empty ends", QByteArrayList{"", " a.rar ", ""}, QStringList{"", " a.rar ", ""});
        dataRow("UTF-8, a surrogate pair", QByteArrayList{"caf\xc3\xa9 日本 \xf0\x9f\x98\x80.rar"},
                QStringList{u"café 日本 \U0001F600.rar"_qs});
        dataRow("Latin-1 byte", QByteArrayList{"caf\xe9.rar"}, QStringList{u"caf\xdce9.rar"_qs});
        dataRow("cut sequence, then a whole one", QByteArrayList{"\xe6\x97\xe6\x97\xa5"},
                QStringList{u"\xdce6\xdc97日"_qs});
        // An encoded surrogate is not UTF-8 and must not turn into the escape of another byte.
        dataRow("encoded surrogate", QByteArrayList{"\xed\xb3\xa9"}, QStringList{u"\xdced\xdcb3\xdca9"_qs});
        dataRow("overlong slash", QByteArrayList{"a\xc0\xaf/b"}, QStringList{u"a\xdcc0\xdcaf/b"_qs});
    }

    void arguments()
    {
        QFETCH(QByteArrayList, argv);
        QFETCH(QStringList, expected);
        std::vector<const char*> vector{"zorvane"};
        for (const QByteArray& argument : argv)
            vector.push_back(argument.constData());
        QCOMPARE(PathText::fromArguments(static_cast<int>(vector.size()), vector.data()), expected);
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(PathText::toBytes(expected.at(i)), argv.at(i));
    }

    // "{dir}": a temporary folder holding docs/sub/ and dirlink, a link to it; named relative to the current folder.
    void absoluteExisting_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        dataRow("relative, link kept, trailing slash", "{dir}/dirlink/", "{dir}/dirlink");
        // ".." goes back by text, so a path that exists only through the link is refused.
        dataRow("dot-dot after a link", "{dir}/dirlink/../sub", "");
        dataRow("empty", "", "");
        // A name that is not UTF-8 is looked up by its own bytes.
        dataRow("Latin-1 name", u"{dir}/caf\xdce9.rar"_qs, u"{dir}/caf\xdce9.rar"_qs);
    }

    void absoluteExisting()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        TemporaryTree dir;
        QVERIFY(QDir(dir.path()).mkpath("docs/sub") && QFile::link(dir.filePath("docs/sub"), dir.filePath("dirlink")));
        const int latin1 = ::creat((QFile::encodeName(dir.path()) + "/caf\xe9.rar").constData(), 0600);
        QVERIFY(latin1 >= 0 && ::close(latin1) == 0);
        const QString relative = QDir::current().relativeFilePath(dir.path());
        QCOMPARE(PathText::absoluteExisting(path.replace("{dir}", relative)), expected.replace("{dir}", dir.path()));
    }
};

QTEST_APPLESS_MAIN(tst_PathText)
#include "tst_PathText.moc"
