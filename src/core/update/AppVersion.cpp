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
    QString integer;
    QString fraction;
};

std::optional<Decimal> parseDecimal(const QString& text)
{
    // Anchored at the very end: a plain "$" would also accept a final line break.
    static const QRegularExpression number(QRegularExpression::anchoredPattern(u"([0-9]+)(?:\\.([0-9]+))?"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    Decimal value{match.captured(1), match.captured(2)};
    while (value.integer.size() > 1 && value.integer.startsWith(u'0'))
        value.integer.remove(0, 1);
    while (value.fraction.endsWith(u'0'))
        value.fraction.chop(1);
    return value;
}

// Exact for any length of digits, unlike a conversion to double.
int compare(const Decimal& a, const Decimal& b)
{
    if (a.integer.size() != b.integer.size())
        return a.integer.size() < b.integer.size() ? -1 : 1;
    if (const int order = a.integer.compare(b.integer))
        return order;
    return a.fraction.compare(b.fraction);
}

QString urlFor(const QString& path)
{
    const QString base = baseUrl();
    return base.isEmpty() ? QString() : base + path;
}

} // namespace

QString text(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2%3").arg(major).arg(minor).arg(revision);
}

QString text()
{
    return text(Version::Major, Version::Minor, Version::Revision);
}

QString offeredVersion(const QString& content)
{
    if (!content.endsWith(u'\n'))
        return content;
    const QString line = content.chopped(1);
    return line.endsWith(u'\r') ? line.chopped(1) : line;
}

bool isNewer(const QString& offered, const QString& installed)
{
    const std::optional<Decimal> offeredNumber = parseDecimal(offered);
    const std::optional<Decimal> installedNumber = parseDecimal(installed);
    return offeredNumber && installedNumber && compare(*offeredNumber, *installedNumber) > 0;
}

QString baseUrl()
{
    QString base = qEnvironmentVariableIsSet("ZORVANE_UPDATE_URL") ? qEnvironmentVariable("ZORVANE_UPDATE_URL")
                                                                   : QString::fromLatin1(DefaultBaseUrl);
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString versionFileUrl()
{
    return urlFor(QLatin1String(VersionFilePath));
}

QString installerUrl()
{
    return urlFor(QLatin1String(DownloadFolder) + QLatin1String(InstallerName));
}

} // namespace AppVersion
