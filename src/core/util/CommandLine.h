#pragma once

#include <QString>
#include <QStringList>

// Cuts the program's argument text into archive paths. Only the space separates
// tokens; double quotation marks keep blanks inside a token and are dropped when
// they enclose it whole. There is no escape character.
namespace CommandLine {

// The tokens of text, in order. The list always holds at least one element; an
// odd number of quotation marks yields one empty element.
QStringList split(const QString& text);

// Argument text that split cuts back into tokens: single blanks between them,
// and quotation marks around those that hold a blank. Without an escape
// character, a token holding a quotation mark cannot come back, nor can a last
// empty token (it leaves only a trailing blank).
QString join(const QStringList& tokens);

// Stores one token: into element 0 while that is still empty, else as a new
// last element. One enclosing pair of quotation marks is removed; a lone
// quotation mark both begins and ends the token, which becomes empty.
void appendToken(QStringList& tokens, const QString& token);

// Number of non-overlapping occurrences of delimiter in text.
int countDelimiters(const QString& text, const QString& delimiter);

} // namespace CommandLine
