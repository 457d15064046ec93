#pragma once

#include <QString>
#include <QStringList>

// Cuts the program's argument text into archive paths. Only the space separates
// tokens; double quotation marks keep blanks inside a token and are dropped when
// they enclose it whole. There is no escape character.
namespace CommandLine {

// Replaces tokens with the tokens of strText, in order. The list always holds at
// least one element; an odd number of quotation marks yields one empty element.
void SplitCommandLine(const QString& strText, QStringList& tokens);

// Stores one token: into element 0 while that is still empty, else as a new
// last element. One enclosing pair of quotation marks is removed; a lone
// quotation mark both begins and ends the token, which becomes empty.
void AppendToken(QStringList& tokens, const QString& strToken);

// Number of non-overlapping occurrences of strDelimiter in strText.
int countDelimiters(const QString& strText, const QString& strDelimiter);

} // namespace CommandLine
