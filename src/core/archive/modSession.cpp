#include "core/archive/modSession.h"

#include <QStandardPaths>

namespace modSession {

namespace {

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

QString FolderFromPath(const QString& strPath)
{
    const qsizetype slash = strPath.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : strPath.left(slash);
}

QString FileNameFromPath(const QString& strPath, bool blnKeepExtension)
{
    const QString name = strPath.mid(strPath.lastIndexOf(u'/') + 1);
    if (blnKeepExtension)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString DisplayText(const QString& strText)
{
    QString strShown;
    strShown.reserve(strText.size());
    for (QChar c : strText) {
        if (!isHazard(c)) {
            strShown += c;
            continue;
        }
        const bool blnByte = c.unicode() < 0x100;
        strShown += blnByte ? QStringLiteral("\\x") : QStringLiteral("\\u");
        strShown += QString::number(c.unicode(), 16).toUpper().rightJustified(blnByte ? 2 : 4, QLatin1Char('0'));
    }
    return strShown;
}

double HiLoAsDouble(unsigned int lngHigh, unsigned int lngLow)
{
    return static_cast<double>(lngHigh) * 4294967296.0 + static_cast<double>(lngLow);
}

QString SpecialFolderPath(int lngCsidl)
{
    constexpr int CsidlDesktop = 0;
    if (lngCsidl != CsidlDesktop)
        return QString();
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

} // namespace modSession
