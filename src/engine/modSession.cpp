#include "engine/modSession.h"

#include <QStandardPaths>

namespace modSession {

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

QString TrimControlChars(const QString& strText)
{
    const auto isTrimmed = [](QChar c) { return c.unicode() <= 32; };
    qsizetype first = 0;
    qsizetype last = strText.size();
    while (first < last && isTrimmed(strText[first]))
        ++first;
    while (last > first && isTrimmed(strText[last - 1]))
        --last;
    return strText.mid(first, last - first);
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
