#include "platform/DocumentLauncher.h"
#include "support/RecordingDesktop.h"

using namespace DocumentLauncher;

class tst_DocumentLauncher : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingDesktop m_desktop{m_dir.path()};
    QString inDir(QString text) const { return text.replace("{dir}", m_dir.path()); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_dir.path()).mkpath("my docs") && QDir(m_dir.path()).mkpath("-docs"));
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void init() { m_desktop.clear(); }

    void open_data()
    {
        QTest::addColumn<QString>("target"); // "{dir}": the temporary folder, also the current folder
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("received"); // by the default application
        QTest::newRow("relative folder named like an option") << "-docs" << ResultLaunched << "{dir}/-docs";
        QTest::newRow("file URL, folder with a blank") << "file://{dir}/my%20docs" << ResultLaunched << "{dir}/my docs";
        QTest::newRow("mail link") << "mailto:a@b.c?subject=a b;c" << ResultLaunched << "mailto:a@b.c?subject=a b;c";
        QTest::newRow("document without a default") << "{dir}/record.sh" << ResultNoAssociation << "";
        QTest::newRow("missing file") << "{dir}/gone.txt" << ResultFileNotFound << "";
    }

    void open()
    {
        QFETCH(QString, target);
        QFETCH(int, result);
        QFETCH(QString, received);
        QCOMPARE(DocumentLauncher::open(inDir(target)), result);
        if (!received.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(m_desktop.received(), "entry " + inDir(received) + u'\n', 5000);
    }
};

QTEST_MAIN(tst_DocumentLauncher)
#include "tst_DocumentLauncher.moc"
