#pragma once

#include <QString>
#include <QStringList>

// What the program was asked to do on its command line: extract the archives
// as the user chooses (the arguments alone, as ever), extract them without a
// question about the folder (--extract-here, --extract-to DIR), or answer
// --help, --version or a mistake in the options. "--" ends the options.
class LaunchOptions
{
public:
    enum class Action
    {
        Run,
        ShowHelp,
        ShowVersion,
        Refuse // a mistake in the options
    };
    enum class Target
    {
        Ask,
        BesideArchive,
        Folder
    };
    // Qt takes its own options ("-platform", "-style"…) out of the arguments
    // only once the application object exists; before that they are let by.
    enum class QtOptions
    {
        Present,
        Removed
    };

    // arguments: argv[1] on, as PathText::fromArguments gives them.
    static LaunchOptions parse(const QStringList& arguments, QtOptions qtOptions);

    Action action() const { return m_action; }
    Target target() const { return m_target; }
    // The absolute folder of --extract-to.
    QString folder() const { return m_folder; }
    QStringList archives() const { return m_archives; }
    QString error() const { return m_error; }

    // Prints the help, the version or the mistake, and returns the exit status.
    int respond() const;

private:
    Action m_action = Action::Run;
    Target m_target = Target::Ask;
    QString m_folder;
    QStringList m_archives;
    QString m_error;
};
