#include "core/update/AppVersion.h"

#include "Version.h"

#include <QRegularExpression>
#include <optional>

namespace AppVersion {

namespace {

constexpr char VersionFilePath[] = "/versionfiles/zorvane_version.html";
constexpr char DownloadFolder[] = "/download/";

// A decimal number as its integer digits without leading zeros and its
// fraction digits without trailing zeros, so that both compare as text.
struct Decimal
{
    QString strInteger;
    QString strFraction;
};

std::optional<Decimal> parseDecimal(const QString& strText)
{
    // Anchored at the very end: a plain "$" would also accept a final line break.
    static const QRegularExpression number(QRegularExpression::anchoredPattern(u"([0-9]+)(?:\\.([0-9]+))?"));
    const QRegularExpressionMatch match = number.match(strText);
    if (!match.hasMatch())
        return std::nullopt;
    Decimal value{match.captured(1), match.captured(2)};
    while (value.strInteger.size() > 1 && value.strInteger.startsWith(u'0'))
        value.strInteger.remove(0, 1);
    while (value.strFraction.endsWith(u'0'))
        value.strFraction.chop(1);
    return value;
}

// Exact for any length of digits, unlike a conversion to double.
int compare(const Decimal& a, const Decimal& b)
{
    if (a.strInteger.size() != b.strInteger.size())
        return a.strInteger.size() < b.strInteger.size() ? -1 : 1;
    if (const int intOrder = a.strInteger.compare(b.strInteger))
        return intOrder;
    return a.strFraction.compare(b.strFraction);
}

QString urlFor(const QString& strPath)
{
    const QString strBase = BaseUrl();
    return strBase.isEmpty() ? QString() : strBase + strPath;
}

} // namespace

QString VersionText(int intMajor, int intMinor, int intRevision)
{
    return QStringLiteral("%1.%2%3").arg(intMajor).arg(intMinor).arg(intRevision);
}

QString VersionText()
{
    return VersionText(Version::Major, Version::Minor, Version::Revision);
}

QString OfferedVersion(const QString& strContent)
{
    if (!strContent.endsWith(u'\n'))
        return strContent;
    const QString strLine = strContent.chopped(1);
    return strLine.endsWith(u'\r') ? strLine.chopped(1) : strLine;
}

bool IsNewer(const QString& strContent, const QString& strVersion)
{
    const std::optional<Decimal> offered = parseDecimal(strContent);
    const std::optional<Decimal> installed = parseDecimal(strVersion);
    return offered && installed && compare(*offered, *installed) > 0;
}

QString BaseUrl()
{
    QString strBase = qEnvironmentVariableIsSet("ZORVANE_UPDATE_URL") ? qEnvironmentVariable("ZORVANE_UPDATE_URL")
                                                                      : QString::fromLatin1(DefaultBaseUrl);
    while (strBase.endsWith(u'/'))
        strBase.chop(1);
    return strBase;
}

QString VersionFileUrl()
{
    return urlFor(QLatin1String(VersionFilePath));
}

QString InstallerUrl()
{
    return urlFor(QLatin1String(DownloadFolder) + QLatin1String(InstallerName));
}

} // namespace AppVersion
