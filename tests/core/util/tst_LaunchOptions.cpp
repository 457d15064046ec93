#include "core/util/LaunchOptions.h"
#include "support/DataRow.h"

#include <QDir>
#include <QTest>

using Action = LaunchOptions::Action;
using Target = LaunchOptions::Target;
using QtOptions = LaunchOptions::QtOptions;

// --help, --version, an unknown option, no archive and "--" before an archive
// named like an option are run through the real program by command-line.sh.
class tst_LaunchOptions : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QtOptions>("qtOptions");
        QTest::addColumn<Action>("action");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QStringList>("archives");
        QTest::addColumn<QString>("error");
        const QtOptions removed = QtOptions::Removed, present = QtOptions::Present;
        const QStringList none, a{"a.rar"};
        dataRow("archives alone", QStringList{"a.rar", "b c.rar"}, removed, Action::Run, Target::Ask,
                QStringList{"a.rar", "b c.rar"}, "");
        dataRow("uninstall switch", QStringList{"/uninstalling"}, removed, Action::Run, Target::Ask,
                QStringList{"/uninstalling"}, "");
        dataRow("options after archives", QStringList{"a.rar", "--extract-to=out", "b.rar"}, removed, Action::Run,
                Target::Folder, QStringList{"a.rar", "b.rar"}, "");
        dataRow("dashes end the options", QStringList{"--extract-here", "--", "--x.rar", "-v"}, removed, Action::Run,
                Target::BesideArchive, QStringList{"--x.rar", "-v"}, "");
        dataRow("help wins", QStringList{"--bogus", "--help"}, present, Action::ShowHelp, Target::Ask, none,
                "Unknown option '--bogus'.");
        dataRow("short version", QStringList{"-v"}, present, Action::ShowVersion, Target::Ask, none, "");
        dataRow("Qt's option let by", QStringList{"-platform", "offscreen", "a.rar"}, present, Action::Run, Target::Ask,
                QStringList{"offscreen", "a.rar"}, "");
        dataRow("unknown once Qt's are out", QStringList{"-x", "a.rar"}, removed, Action::Refuse, Target::Ask, a,
                "Unknown option 'x'.");
        dataRow("folder missing", QStringList{"--extract-to"}, present, Action::Refuse, Target::Folder, none,
                "Missing value after '--extract-to'.");
        dataRow("both targets", QStringList{"--extract-here", "--extract-to", "d", "a.rar"}, present, Action::Refuse,
                Target::BesideArchive, a, "Give either --extract-here or --extract-to, not both.");
    }

    void parse()
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
};

QTEST_APPLESS_MAIN(tst_LaunchOptions)
#include "tst_LaunchOptions.moc"
