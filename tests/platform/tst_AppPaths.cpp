#include "platform/AppPaths.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <cstdio>

static const auto staged = [](const char* path) { return QDir::cleanPath(QString("stage/") + path) + u'/'; };

// The answers depend on the program's folder, so each row asks a copy of this program in a staged install.
class tst_AppPaths : public QObject
{
    Q_OBJECT

private slots:
    void paths_data()
    {
        QTest::addColumn<QStringList>("files");   // made empty; paths are relative to a temporary folder
        QTest::addColumn<QStringList>("answers"); // data, library and writable folders; "home" is $XDG_DATA_HOME
        const QString bin = staged(ZORVANE_INSTALL_BINDIR), data = staged(ZORVANE_INSTALL_DATADIR) + "zorvane/";
        const QString library = staged(ZORVANE_INSTALL_LIBDIR) + "zorvane/MWShlExt.so";
        // Even a writable program folder (root's /usr/bin) must not take the extension's settings.
        QTest::newRow("installed") << QStringList{data + "ZorvaneTips.txt", library}
                                   << QStringList{data, library, "home/zorvane/"};
        QTest::newRow("beside the program (build tree)")
            << QStringList{bin + "ZorvaneTips.txt", bin + "MWShlExt.so", library}
            << QStringList{bin, bin + "MWShlExt.so", bin};
    }

    void paths()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, answers);
        QTemporaryDir dir;
        const QString root = QFileInfo(dir.path()).canonicalFilePath() + u'/';
        const QString bin = root + staged(ZORVANE_INSTALL_BINDIR), program = bin + "zorvane";
        QVERIFY(QDir().mkpath(bin) && QFile::copy(QCoreApplication::applicationFilePath(), program));
        for (const QString& file : files)
            QVERIFY(QDir().mkpath(QFileInfo(root + file).path()) && QFile(root + file).open(QIODevice::WriteOnly));
        qputenv("XDG_DATA_HOME", (root + "home").toUtf8());
        QProcess process;
        process.start(program, {"--print-paths"});
        QVERIFY(process.waitForFinished(60000) && process.exitCode() == 0);
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardOutput()).remove(root).split(u'\n', Qt::SkipEmptyParts),
                 answers);
        QCOMPARE(QFileInfo(root + "home/zorvane").isDir(), answers.last().startsWith("home/")); // made when used
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == "--print-paths")
        return std::puts(qPrintable(AppPaths::dataFolder() + u'\n' + AppPaths::shellExtensionLibrary() + u'\n' +
                                    AppPaths::writableProgramFolder())) < 0;
    tst_AppPaths test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_AppPaths.moc"
