#include "core/util/LaunchOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

const QString ExtractHere = QStringLiteral("extract-here");
const QString ExtractTo = QStringLiteral("extract-to");
constexpr int UsageError = 2;

// One description for reading and for the help, so the two never disagree.
void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Extracts RAR archives. Without an option, asks where "
                                                    "each archive goes, as when opened from the desktop."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")},
        {QStringList{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version and exit.")},
        {ExtractHere, QStringLiteral("Extract each archive beside itself, without asking for a folder.")},
        {ExtractTo, QStringLiteral("Extract every archive into <folder>, made when missing, without asking."),
         QStringLiteral("folder")},
    });
    parser.addPositionalArgument(QStringLiteral("archives"), QStringLiteral("The RAR archives to extract."),
                                 QStringLiteral("[archive...]"));
}

// The first option written with two dashes, before any "--", that the
// parser does not know; Qt's own options have one dash.
QString unknownLongOption(const QCommandLineParser& parser, const QStringList& arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    for (const QString& argument : arguments) {
        if (argument == QStringLiteral("--"))
            break;
        const QString name = argument.mid(2).section(u'=', 0, 0);
        if (argument.startsWith(QStringLiteral("--")) && unknown.contains(name))
            return QStringLiteral("--") + name;
    }
    return {};
}

// What is wrong with the options, if anything. Before Qt took its own out,
// an unknown option with one dash is let by: it may be Qt's.
QString mistake(const QCommandLineParser& parser, const QStringList& arguments, LaunchOptions::QtOptions qtOptions)
{
    if (qtOptions == LaunchOptions::QtOptions::Removed || parser.unknownOptionNames().isEmpty())
        return parser.errorText();
    const QString option = unknownLongOption(parser, arguments);
    return option.isEmpty() ? QString() : QStringLiteral("Unknown option '%1'.").arg(option);
}

} // namespace

LaunchOptions LaunchOptions::parse(const QStringList& arguments, QtOptions qtOptions)
{
    QCommandLineParser parser;
    describe(parser);
    LaunchOptions options;
    // The first mistake is the one reported.
    const auto refuse = [&options](const QString& error) {
        if (options.m_error.isEmpty())
            options.m_error = error;
    };
    if (!parser.parse(QStringList{QStringLiteral("zorvane")} + arguments))
        refuse(mistake(parser, arguments, qtOptions));
    if (parser.isSet(ExtractHere) && parser.isSet(ExtractTo))
        refuse(QStringLiteral("Give either --extract-here or --extract-to, not both."));
    options.m_archives = parser.positionalArguments();
    if (parser.isSet(ExtractHere)) {
        options.m_target = Target::BesideArchive;
    } else if (parser.isSet(ExtractTo)) {
        options.m_target = Target::Folder;
        options.m_folder = QDir::cleanPath(QDir::current().absoluteFilePath(parser.value(ExtractTo)));
    }
    if (options.m_target != Target::Ask && options.m_archives.isEmpty())
        refuse(QStringLiteral("No archive given to extract."));
    if (parser.isSet(QStringLiteral("help")))
        options.m_action = Action::ShowHelp;
    else if (parser.isSet(QStringLiteral("version")))
        options.m_action = Action::ShowVersion;
    else if (!options.m_error.isEmpty())
        options.m_action = Action::Refuse;
    return options;
}

int LaunchOptions::respond() const
{
    switch (m_action) {
    case Action::ShowHelp: {
        QCommandLineParser parser;
        describe(parser);
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    case Action::ShowVersion:
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    case Action::Refuse:
        std::fprintf(stderr, "zorvane: %s\nTry 'zorvane --help' for more information.\n", qPrintable(m_error));
        return UsageError;
    case Action::Run:
        break;
    }
    return 0;
}
