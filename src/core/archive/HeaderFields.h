#pragma once

#include "core/archive/EntryPath.h"

#include <QByteArray>
#include <QString>
#include <cstring>

// Reading the UnRAR library's fixed-size header fields.
namespace HeaderFields {

// A narrow field up to its first NUL, as text.
template <size_t N> QString text(const char (&field)[N])
{
    return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, N)));
}

// A narrow field's own bytes: a stored name need not be valid UTF-8.
template <size_t N> QByteArray bytes(const char (&field)[N])
{
    return QByteArray(field, static_cast<qsizetype>(strnlen(field, N)));
}

// The name shown and reported for an entry: where the library writes it.
inline QString entryName(const QByteArray& stored)
{
    const QByteArray cleaned = EntryPath::cleanedName(stored);
    return QString::fromUtf8(cleaned.isEmpty() ? stored : cleaned);
}

} // namespace HeaderFields
