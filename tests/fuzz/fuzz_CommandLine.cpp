// Any argument text must split without a crash, and where join can represent
// the tokens, splitting what it makes must give the same tokens.
#include "core/util/CommandLine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// There is no escape character, so a token holding a quotation mark cannot be
// joined back; a last empty token leaves only a trailing blank, which the
// splitter drops.
bool rejoinable(const QStringList& tokens)
{
    return std::none_of(tokens.begin(), tokens.end(), [](const QString& token) { return token.contains(u'"'); }) &&
           (tokens.size() == 1 || !tokens.last().isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList tokens = CommandLine::split(text);
    if (tokens.isEmpty())
        std::abort(); // the list always holds at least one element
    if (rejoinable(tokens) && CommandLine::split(CommandLine::join(tokens)) != tokens)
        std::abort();
    return 0;
}
