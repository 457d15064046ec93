#include "core/util/CommandLine.h"

namespace CommandLine {

namespace {
const QChar Quote = u'"';
const QChar Blank = u' ';

bool isOdd(int n)
{
    return n % 2 != 0;
}
} // namespace

int countDelimiters(const QString& text, const QString& delimiter)
{
    if (delimiter.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype pos = text.indexOf(delimiter); pos >= 0; pos = text.indexOf(delimiter, pos + delimiter.size()))
        ++count;
    return count;
}

void appendToken(QStringList& tokens, const QString& token)
{
    if (tokens.isEmpty() || !tokens.first().isEmpty())
        tokens.append(QString());
    QString& last = tokens.last();
    last = token;
    if (last.startsWith(Quote) && last.endsWith(Quote))
        last = last.size() == 1 ? QString() : last.mid(1, last.size() - 2);
}

QStringList split(const QString& text)
{
    QStringList tokens{QString()};
    const QString quote(Quote);
    if (isOdd(countDelimiters(text, quote)))
        return tokens;

    qsizetype start = 0;
    for (qsizetype end = text.indexOf(Blank, start); end >= 0; end = text.indexOf(Blank, start)) {
        if (isOdd(countDelimiters(text.mid(start, end - start), quote))) {
            // A quoted part runs on to its closing mark; the character right
            // after that mark is passed over like a separating blank.
            const qsizetype closing = text.indexOf(Quote, end);
            end = closing >= 0 ? closing + 1 : text.size();
        }
        appendToken(tokens, text.mid(start, end - start));
        start = end + 1;
    }
    if (start < text.size())
        appendToken(tokens, text.mid(start));
    return tokens;
}

QString join(const QStringList& tokens)
{
    QStringList parts;
    for (const QString& token : tokens)
        parts.append(token.contains(Blank) ? Quote + token + Quote : token);
    return parts.join(Blank);
}

} // namespace CommandLine
