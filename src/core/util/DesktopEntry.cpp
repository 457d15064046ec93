#include "core/util/DesktopEntry.h"

namespace DesktopEntry {

QString escapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case ' ':
            out += out.isEmpty() ? QStringLiteral("\\s") : QStringLiteral(" ");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray format(const Entry& keys)
{
    QString text = QStringLiteral("[Desktop Entry]\n");
    for (const auto& [key, value] : keys)
        text += key + u'=' + escapeValue(value) + u'\n';
    return text.toUtf8();
}

} // namespace DesktopEntry
