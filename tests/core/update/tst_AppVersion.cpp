#include "core/update/AppVersion.h"

#include <QTest>

using namespace AppVersion;

class tst_AppVersion : public QObject
{
    Q_OBJECT

private slots:
    // What the version file holds against an installed 1.61, as the check reads it.
    void versionFile_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("newer");
        QTest::newRow("number") << "1.62" << true;
        QTest::newRow("number and line break") << "1.62\n" << true;
        QTest::newRow("number and CR LF") << "1.62\r\n" << true;
        QTest::newRow("longer than a double holds, line break") << "1.61000000000000000001\n" << true;
        QTest::newRow("equal, line break") << "1.61\n" << false;
        QTest::newRow("equal with trailing zeros, CR LF") << "1.6100\r\n" << false;
        QTest::newRow("greater as a decimal, not as whole numbers") << "1.7\n" << true;
        QTest::newRow("lower, no downgrade") << "1.6\n" << false;
        QTest::newRow("lower as a decimal, greater as whole numbers") << "1.599\n" << false;
        QTest::newRow("two line breaks") << "1.62\n\n" << false;
        QTest::newRow("carriage return alone") << "1.62\r" << false;
        QTest::newRow("line break first") << "\n1.62" << false;
        QTest::newRow("blank before the line break") << "1.62 \n" << false;
        QTest::newRow("markup") << "<html>1.62</html>\n" << false;
        QTest::newRow("sign") << "+1.62\n" << false;
        QTest::newRow("empty") << "" << false;
    }

    void versionFile()
    {
        QFETCH(QString, content);
        QFETCH(bool, newer);
        QCOMPARE(isNewer(offeredVersion(content), "1.61"), newer);
    }
};

QTEST_MAIN(tst_AppVersion)
#include "tst_AppVersion.moc"
