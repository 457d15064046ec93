#include "settings/MShorttoLongName.h"

#include <QDir>
#include <QTest>

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
    }

    void longPathName()
    {
        QFETCH(QString, shortPath);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("docs/sub") && QFile::link(dir.filePath("docs/sub"), dir.filePath("dirlink")));
        const QString relative = QDir::current().relativeFilePath(dir.path());
        QCOMPARE(MShorttoLongName::LongPathName(shortPath.replace("{dir}", relative)),
                 expected.replace("{dir}", dir.path()));
    }
};

QTEST_GUILESS_MAIN(tst_MShorttoLongName)
#include "tst_MShorttoLongName.moc"
