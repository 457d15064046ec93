#include "platform/DocumentLauncher.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace DocumentLauncher {

namespace {

// The whole look-up blocks the GUI thread, so it gets one small budget.
constexpr int LookupBudgetMs = 3000;

// The target's URL scheme in lower case, empty for a plain path. A scheme as
// RFC 3986 spells it, at least two characters so that nothing resembling a
// drive letter counts.
QString schemeOf(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+):"));
    return scheme.match(target).captured(1).toLower();
}

// The desktop file xdg-mime names as the default for mimeType; empty when
// there is none or xdg-mime does not answer within the budget.
QString defaultApplication(const QString& mimeType, const QDeadlineTimer& deadline)
{
    QProcess xdgMime;
    xdgMime.setStandardInputFile(QProcess::nullDevice());
    xdgMime.setStandardErrorFile(QProcess::nullDevice());
    xdgMime.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!xdgMime.waitForFinished(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) {
        xdgMime.kill();
        xdgMime.waitForFinished(500);
        return {};
    }
    return QString::fromUtf8(xdgMime.readAllStandardOutput()).trimmed();
}

// The type and its aliases: mimeapps.list may name a type by any of them.
QStringList mimeTypeNames(const QFileInfo& info)
{
    if (info.isDir())
        return {QStringLiteral("inode/directory")};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    return QStringList{type.name()} + type.aliases();
}

bool hasDefaultApplication(const QStringList& mimeTypes)
{
    const QDeadlineTimer deadline(LookupBudgetMs);
    for (const QString& mimeType : mimeTypes) {
        if (deadline.hasExpired())
            return false;
        if (!defaultApplication(mimeType, deadline).isEmpty())
            return true;
    }
    return false;
}

int launch(const QStringList& mimeTypes, const QString& argument)
{
    if (!hasDefaultApplication(mimeTypes))
        return ResultNoAssociation;
    // Detached, so the program never waits for the application; xdg-open gets
    // the target as a single argument, with no shell in between.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {argument}) ? ResultLaunched : ResultOutOfResources;
}

} // namespace

int open(const QString& target)
{
    const QString scheme = schemeOf(target);
    const bool fileUrl = scheme == QLatin1String("file");
    if (!scheme.isEmpty() && !fileUrl)
        return launch({QStringLiteral("x-scheme-handler/") + scheme}, target);

    const QFileInfo info(fileUrl ? QUrl(target).toLocalFile() : target);
    if (!info.exists())
        return ResultFileNotFound;
    // An absolute path cannot be mistaken for an option or a URL by xdg-open.
    return launch(mimeTypeNames(info), info.absoluteFilePath());
}

} // namespace DocumentLauncher
