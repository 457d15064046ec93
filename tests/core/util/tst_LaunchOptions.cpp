#include "core/util/LaunchOptions.h"

#include <QDir>
#include <QTest>

class tst_LaunchOptions : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
};

using Action = LaunchOptions::Action;
using Target = LaunchOptions::Target;
using QtOptions = LaunchOptions::QtOptions;

void tst_LaunchOptions::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QtOptions>("qtOptions");
    QTest::addColumn<Action>("action");
    QTest::addColumn<Target>("target");
    QTest::addColumn<QStringList>("archives");
    QTest::addColumn<QString>("error");

    const QtOptions removed = QtOptions::Removed;
    const QtOptions present = QtOptions::Present;
    const QStringList none;
    QTest::newRow("archives alone") << QStringList{"a.rar", "b c.rar"} << removed << Action::Run << Target::Ask
                                    << QStringList{"a.rar", "b c.rar"} << "";
    QTest::newRow("uninstall switch") << QStringList{"/uninstalling"} << removed << Action::Run << Target::Ask
                                      << QStringList{"/uninstalling"} << "";
    QTest::newRow("extract here") << QStringList{"--extract-here", "a.rar"} << removed << Action::Run
                                  << Target::BesideArchive << QStringList{"a.rar"} << "";
    QTest::newRow("options after archives") << QStringList{"a.rar", "--extract-to=out", "b.rar"} << removed
                                            << Action::Run << Target::Folder << QStringList{"a.rar", "b.rar"} << "";
    QTest::newRow("dashes end the options")
        << QStringList{"--extract-here", "--", "--x.rar", "-v"} << removed << Action::Run << Target::BesideArchive
        << QStringList{"--x.rar", "-v"} << "";
    QTest::newRow("help wins") << QStringList{"--bogus", "--help"} << present << Action::ShowHelp << Target::Ask << none
                               << "Unknown option '--bogus'.";
    QTest::newRow("short version") << QStringList{"-v"} << present << Action::ShowVersion << Target::Ask << none << "";
    QTest::newRow("unknown long option") << QStringList{"--bogus", "a.rar"} << present << Action::Refuse << Target::Ask
                                         << QStringList{"a.rar"} << "Unknown option '--bogus'.";
    QTest::newRow("Qt's option let by") << QStringList{"-platform", "offscreen", "a.rar"} << present << Action::Run
                                        << Target::Ask << QStringList{"offscreen", "a.rar"} << "";
    QTest::newRow("unknown once Qt's are out") << QStringList{"-x", "a.rar"} << removed << Action::Refuse << Target::Ask
                                               << QStringList{"a.rar"} << "Unknown option 'x'.";
    QTest::newRow("folder missing") << QStringList{"--extract-to"} << present << Action::Refuse << Target::Folder
                                    << none << "Missing value after '--extract-to'.";
    QTest::newRow("both targets") << QStringList{"--extract-here", "--extract-to", "d", "a.rar"} << present
                                  << Action::Refuse << Target::BesideArchive << QStringList{"a.rar"}
                                  << "Give either --extract-here or --extract-to, not both.";
    QTest::newRow("no archive") << QStringList{"--extract-here"} << present << Action::Refuse << Target::BesideArchive
                                << none << "No archive given to extract.";
}

void tst_LaunchOptions::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QtOptions, qtOptions);
    const LaunchOptions options = LaunchOptions::parse(arguments, qtOptions);
    QTEST(options.action(), "action");
    QTEST(options.target(), "target");
    QTEST(options.archives(), "archives");
    QTEST(options.error(), "error");
    if (options.target() == Target::Folder && options.action() == Action::Run)
        QCOMPARE(options.folder(), QDir::current().absoluteFilePath("out"));
}

QTEST_APPLESS_MAIN(tst_LaunchOptions)
#include "tst_LaunchOptions.moc"
