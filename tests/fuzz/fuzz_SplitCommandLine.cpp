// Any argument text must split without a crash, and where the splitter can
// represent its own tokens, joining them again must give the same tokens.
#include "core/util/CommandLine.h"

#include <cstdint>
#include <cstdlib>

namespace {

// There is no escape character, so a token holding a quotation mark cannot be
// joined back; a last empty token leaves only a trailing blank, which the
// splitter drops.
bool rejoinable(const QStringList& tokens)
{
    for (const QString& token : tokens)
        if (token.contains(u'"'))
            return false;
    return tokens.size() == 1 || !tokens.last().isEmpty();
}

// Single blanks between the tokens, and marks around those holding a blank.
QString joined(const QStringList& tokens)
{
    QStringList parts;
    for (const QString& token : tokens)
        parts.append(token.contains(u' ') ? u'"' + token + u'"' : token);
    return parts.join(u' ');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList tokens;
    CommandLine::SplitCommandLine(text, tokens);
    if (tokens.isEmpty())
        std::abort(); // the list always holds at least one element
    if (!rejoinable(tokens))
        return 0;
    QStringList again;
    CommandLine::SplitCommandLine(joined(tokens), again);
    if (again != tokens)
        std::abort();
    return 0;
}
