// Rebuilding the argument text from an argument vector and splitting it must
// give the paths back: the program's command line goes through exactly that.
#include "settings/modVbCmdLine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One argument per NUL-separated part, as in /proc/self/cmdline.
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList arguments = text.split(QChar(u'\0'));
    // A path is never empty, and the splitter has no escape for a quotation
    // mark: only such arguments are promised to come back.
    arguments.removeIf([](const QString& argument) { return argument.isEmpty() || argument.contains(u'"'); });
    if (arguments.isEmpty())
        return 0;
    QStringList tokens;
    modVbCmdLine::SplitCommandLine(modVbCmdLine::JoinArguments(arguments), tokens);
    if (tokens != arguments)
        std::abort();
    return 0;
}
