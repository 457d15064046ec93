#include "settings/modAppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <memory>

// Where the program looks for its files depends on the folder it runs from, so
// each case copies this test program into a folder laid out like the build
// tree or like an install under a prefix, and asks the copy.
class tst_modAppPaths : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void installedLayout();
    void installedAndRunByAnOwnerOfItsFolder();
    void buildTree();
    void nothingBesideTheProgram();

private:
    // Copies this program to folder and runs it there; its answers by name.
    QMap<QString, QString> pathsFrom(const QString& folder);
    void writeFile(const QString& path);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root; // the temporary folder without links, as the program sees its own path
    QString m_dataHome;
};

namespace {

constexpr const char* kPrintSwitch = "--print-paths";

// The install's folders under a staging root, as the install rules lay them out.
QString staged(const QString& root, const char* fullPath)
{
    return QDir::cleanPath(root + u'/' + QString::fromUtf8(fullPath)) + u'/';
}

int printPaths(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("data=%s\nlibrary=%s\nwritable=%s\n", qPrintable(modAppPaths::DataFolder()),
                qPrintable(modAppPaths::ShellExtensionLibrary()), qPrintable(modAppPaths::WritableProgramFolder()));
    return 0;
}

} // namespace

void tst_modAppPaths::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = QFileInfo(m_dir->path()).canonicalFilePath() + u'/';
    m_dataHome = m_root + "home/.local/share";
}

void tst_modAppPaths::writeFile(const QString& path)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QMap<QString, QString> tst_modAppPaths::pathsFrom(const QString& folder)
{
    const QString program = folder + QStringLiteral("tst_modAppPaths");
    if (!QFileInfo::exists(program) &&
        (!QDir().mkpath(folder) || !QFile::copy(QCoreApplication::applicationFilePath(), program)))
        return {{"error", "cannot copy the program to " + folder}};
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", m_dataHome);
    process.setProcessEnvironment(environment);
    process.start(program, {kPrintSwitch});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {{"error", QString::fromLocal8Bit(process.readAllStandardError())}};
    QMap<QString, QString> answers;
    for (const QString& line : QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
        answers[line.section(u'=', 0, 0)] = line.section(u'=', 1);
    return answers;
}

void tst_modAppPaths::installedLayout()
{
    const QString root = m_root + "stage";
    const QString data = staged(root, ZORVANE_INSTALL_DATADIR) + "zorvane/";
    const QString library = staged(root, ZORVANE_INSTALL_LIBDIR) + "zorvane/MWShlExt.so";
    writeFile(data + "ZorvaneTips.txt");
    writeFile(data + "help/splash.htm");
    writeFile(library);

    const auto paths = pathsFrom(staged(root, ZORVANE_INSTALL_BINDIR));
    QCOMPARE(paths.value("data"), data);
    QCOMPARE(paths.value("library"), library);
    QCOMPARE(paths.value("writable"), m_dataHome + "/zorvane/");
    QVERIFY(QFileInfo(m_dataHome + "/zorvane").isDir());
}

// The extension reads Menuweave.ini beside itself or in the data folder, so an
// installed program must not write it into its own folder, writable or not
// (root's /usr/bin is).
void tst_modAppPaths::installedAndRunByAnOwnerOfItsFolder()
{
    const QString root = m_root + "stage";
    const QString bin = staged(root, ZORVANE_INSTALL_BINDIR);
    writeFile(staged(root, ZORVANE_INSTALL_LIBDIR) + "zorvane/MWShlExt.so");

    const auto paths = pathsFrom(bin);
    QVERIFY(QFileInfo(bin).isWritable());
    QCOMPARE(paths.value("writable"), m_dataHome + "/zorvane/");
}

void tst_modAppPaths::buildTree()
{
    const QString folder = m_root + "build/src/";
    writeFile(folder + "ZorvaneTips.txt");
    writeFile(folder + "help/splash.htm");
    writeFile(folder + "MWShlExt.so");
    // An installed copy under the same prefix does not count.
    writeFile(staged(m_root + "build", ZORVANE_INSTALL_LIBDIR) + "zorvane/MWShlExt.so");

    const auto paths = pathsFrom(folder);
    QCOMPARE(paths.value("data"), folder);
    QCOMPARE(paths.value("library"), folder + "MWShlExt.so");
    QCOMPARE(paths.value("writable"), folder);
    QVERIFY(!QFileInfo::exists(m_dataHome + "/zorvane"));
}

// Nothing anywhere: the installed places are named, for the messages that say
// what is missing.
void tst_modAppPaths::nothingBesideTheProgram()
{
    const QString root = m_root + "stage";
    const auto paths = pathsFrom(staged(root, ZORVANE_INSTALL_BINDIR));
    QCOMPARE(paths.value("data"), staged(root, ZORVANE_INSTALL_DATADIR) + "zorvane/");
    QCOMPARE(paths.value("library"), staged(root, ZORVANE_INSTALL_LIBDIR) + "zorvane/MWShlExt.so");
    QCOMPARE(paths.value("writable"), m_dataHome + "/zorvane/");
}

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], kPrintSwitch) == 0)
        return printPaths(argc, argv);
    QCoreApplication app(argc, argv);
    tst_modAppPaths test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modAppPaths.moc"
