#include "settings/MShorttoLongName.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_MShorttoLongName : public QObject
{
    Q_OBJECT

private slots:
    void longPathName_data();
    void longPathName();
};

void tst_MShorttoLongName::longPathName_data()
{
    // Relative to a temporary current folder; "{cwd}" stands for it.
    QTest::addColumn<QString>("shortPath");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, const QString& shortPath, const QString& expected) {
        QTest::newRow(name) << shortPath << expected;
    };
    row("relative file", "docs/a.txt", "{cwd}/docs/a.txt");
    row("absolute, redundant parts", "{cwd}/./docs//sub/../a.txt", "{cwd}/docs/a.txt");
    row("folder, trailing slash", "docs/sub/", "{cwd}/docs/sub");
    row("link kept", "link.txt", "{cwd}/link.txt");
    // ".." goes back by text, so a path that exists only through the link is refused.
    row("dot-dot after a link", "dirlink/../a.txt", "");
    row("missing", "docs/missing.txt", "");
    row("dangling link", "broken", "");
    row("empty", "", "");
}

void tst_MShorttoLongName::longPathName()
{
    QFETCH(QString, shortPath);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir(dir.path()).mkpath("docs/sub") && QDir::setCurrent(dir.path()));
    QVERIFY(QFile("docs/a.txt").open(QIODevice::WriteOnly));
    QVERIFY(QFile::link("docs/a.txt", "link.txt") && QFile::link("docs/sub", "dirlink") &&
            QFile::link("nowhere", "broken"));

    const QString cwd = QDir::currentPath();
    const QString result = MShorttoLongName::LongPathName(shortPath.replace("{cwd}", cwd));
    QDir::setCurrent(oldCurrent);
    QCOMPARE(result, expected.replace("{cwd}", cwd));
}

QTEST_GUILESS_MAIN(tst_MShorttoLongName)
#include "tst_MShorttoLongName.moc"
