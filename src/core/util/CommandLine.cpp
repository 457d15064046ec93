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

int countDelimiters(const QString& strText, const QString& strDelimiter)
{
    if (strDelimiter.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype pos = strText.indexOf(strDelimiter); pos >= 0;
         pos = strText.indexOf(strDelimiter, pos + strDelimiter.size()))
        ++count;
    return count;
}

void AppendToken(QStringList& tokens, const QString& strToken)
{
    if (tokens.isEmpty() || !tokens.first().isEmpty())
        tokens.append(QString());
    QString& last = tokens.last();
    last = strToken;
    if (last.startsWith(Quote) && last.endsWith(Quote))
        last = last.size() == 1 ? QString() : last.mid(1, last.size() - 2);
}

void SplitCommandLine(const QString& strText, QStringList& tokens)
{
    tokens = QStringList{QString()};
    const QString quote(Quote);
    if (isOdd(countDelimiters(strText, quote)))
        return;

    qsizetype start = 0;
    for (qsizetype end = strText.indexOf(Blank, start); end >= 0; end = strText.indexOf(Blank, start)) {
        if (isOdd(countDelimiters(strText.mid(start, end - start), quote))) {
            // A quoted part runs on to its closing mark; the character right
            // after that mark is passed over like a separating blank.
            const qsizetype closing = strText.indexOf(Quote, end);
            end = closing >= 0 ? closing + 1 : strText.size();
        }
        AppendToken(tokens, strText.mid(start, end - start));
        start = end + 1;
    }
    if (start < strText.size())
        AppendToken(tokens, strText.mid(start));
}

} // namespace CommandLine
