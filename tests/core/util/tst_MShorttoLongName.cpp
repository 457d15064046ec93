#include "core/util/MShorttoLongName.h"

#include <QDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

class tst_MShorttoLongName : public QObject
{
    Q_OBJECT

private slots:
    // "{dir}": a temporary folder holding docs/sub/ and dirlink, a link to it; named relative to the current folder.
    void longPathName_data()
    {
        QTest::addColumn<QString>("shortPath");
        QTest::addColumn<QString>("expected");
        QTest::newRow("relative, link kept, trailing slash") << "{dir}/dirlink/" << QString("{dir}/dirlink");
        // ".." goes back by text, so a path that exists only through the link is refused.
        QTest::newRow("dot-dot after a link") << "{dir}/dirlink/../sub" << QString();
        QTest::newRow("empty") << "" << QString();
        // A name that is not UTF-8 is looked up by its own bytes.
        QTest::newRow("Latin-1 name") << QString(u"{dir}/caf\xdce9.rar"_qs) << QString(u"{dir}/caf\xdce9.rar"_qs);
    }

    void longPathName()
    {
        QFETCH(QString, shortPath);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("docs/sub") && QFile::link(dir.filePath("docs/sub"), dir.filePath("dirlink")));
        const int latin1 = ::creat((QFile::encodeName(dir.path()) + "/caf\xe9.rar").constData(), 0600);
        QVERIFY(latin1 >= 0 && ::close(latin1) == 0);
        const QString relative = QDir::current().relativeFilePath(dir.path());
        QCOMPARE(MShorttoLongName::LongPathName(shortPath.replace("{dir}", relative)),
                 expected.replace("{dir}", dir.path()));
    }
};

QTEST_GUILESS_MAIN(tst_MShorttoLongName)
#include "tst_MShorttoLongName.moc"
