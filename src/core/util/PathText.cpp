#include "core/util/PathText.h"

#include <QDir>
#include <QUtf8StringView>
#include <sys/stat.h>

namespace PathText {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool isEscapedByte(QChar ch)
{
    return ch.unicode() >= EscapeBase + 0x80 && ch.unicode() <= EscapeBase + 0xFF;
}

// The length of the well-formed UTF-8 sequence at bytes[at], or 0.
qsizetype sequenceLength(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes.at(i)); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = at + 2; i < at + length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

// Characters that would end the line or reorder the text around them.
bool isHazard(QChar c)
{
    const char16_t u = c.unicode();
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
               (u >= 0x2066 && u <= 0x2069);
    }
}

} // namespace

QString fromBytes(const QByteArray& bytes)
{
    if (QUtf8StringView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = sequenceLength(bytes, at);
        if (length == 0) {
            text.append(QChar(EscapeBase + static_cast<unsigned char>(bytes.at(at))));
            ++at;
        } else {
            text.append(QString::fromUtf8(bytes.constData() + at, length));
            at += length;
        }
    }
    return text;
}

QByteArray toBytes(const QString& text)
{
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        // A low surrogate after a high one is half of a real character.
        if (!isEscapedByte(text.at(at)) || (at > 0 && text.at(at - 1).isHighSurrogate()))
            continue;
        bytes += QStringView(text).mid(from, at - from).toUtf8();
        bytes += static_cast<char>(text.at(at).unicode() - EscapeBase);
        from = at + 1;
    }
    return from == 0 ? text.toUtf8() : bytes + QStringView(text).mid(from).toUtf8();
}

QStringList fromArguments(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(fromBytes(QByteArray(argv[i])));
    return arguments;
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString fileNameOf(const QString& path, bool keepExtension)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (keepExtension)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString absoluteExisting(const QString& path)
{
    if (path.isEmpty())
        return {};
    // ".." is folded away by text, before the file system is asked, so the
    // existence check is made on the very path that is returned. The path's
    // own bytes are asked for: they need not be UTF-8.
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path;
    const QString clean = QDir::cleanPath(absolute);
    struct stat st;
    return ::stat(toBytes(clean).constData(), &st) == 0 ? clean : QString();
}

QString displayText(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (QChar c : text) {
        if (!isHazard(c)) {
            shown += c;
            continue;
        }
        const bool byte = c.unicode() < 0x100;
        shown += byte ? QStringLiteral("\\x") : QStringLiteral("\\u");
        shown += QString::number(c.unicode(), 16).toUpper().rightJustified(byte ? 2 : 4, QLatin1Char('0'));
    }
    return shown;
}

} // namespace PathText
