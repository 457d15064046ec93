#include "gui/dialogs/FileDialogText.h"

namespace FileDialogText {

namespace {

const QChar Nul = QChar(0);
const QString PairEnd = QString(2, QChar(0));

QString folderOf(const QString& strPath)
{
    return strPath.left(strPath.lastIndexOf(u'/') + 1);
}

// The longest folder, ending with "/", that holds every path.
QString commonFolder(const QStringList& arrstrPaths)
{
    QString folder = folderOf(arrstrPaths.first());
    for (const QString& path : arrstrPaths) {
        while (!folder.isEmpty() && !path.startsWith(folder))
            folder = folderOf(folder.chopped(1));
    }
    return folder;
}

QString qtPatterns(const QString& strPatterns)
{
    QStringList patterns;
    for (const QString& pattern : strPatterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (!trimmed.isEmpty())
            patterns.append(trimmed == u"*.*" ? QStringLiteral("*") : trimmed);
    }
    return patterns.isEmpty() ? QStringLiteral("*") : patterns.join(u' ');
}

// "All Files (*.*)" already names its pattern; drop that copy so Qt's form
// does not show it twice.
QString descriptionWithoutPattern(const QString& strDescription, const QString& strPatterns)
{
    const QString own = u'(' + strPatterns.trimmed() + u')';
    if (strDescription.trimmed().endsWith(own, Qt::CaseInsensitive))
        return strDescription.trimmed().chopped(own.size()).trimmed();
    return strDescription.trimmed();
}

} // namespace

QString StoredFilter(const QString& strFilter)
{
    QString stored = strFilter;
    stored.replace(u'|', Nul);
    return stored.endsWith(PairEnd) ? stored : stored + PairEnd;
}

QString DefaultFilter()
{
    return StoredFilter(QStringLiteral("All Files (*.*)|*.*|Batch Files (*.BAT)|*.BAT|INF Files (*.INF)|*.INF|"
                                       "SYS Files (*.SYS)|*.SYS|HTM Files (*.HTM)|*.HTM|Text Files (*.TXT)|*.TXT"));
}

QStringList NameFilters(const QString& strStoredFilter)
{
    const QStringList parts = strStoredFilter.left(strStoredFilter.indexOf(PairEnd)).split(Nul);
    QStringList filters;
    // A description left without its pattern is not a filter.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = qtPatterns(parts.at(i + 1));
        filters.append(descriptionWithoutPattern(parts.at(i), parts.at(i + 1)) + QStringLiteral(" (") + patterns +
                       u')');
    }
    return filters;
}

OpenSelection SingleSelection(const QString& strPath)
{
    OpenSelection selection;
    selection.strResult = strPath;
    selection.strFolder = folderOf(strPath);
    selection.strFile = strPath;
    selection.lngBufferLength = strPath.size() + 1;
    return selection;
}

OpenSelection MultiSelection(const QStringList& arrstrPaths)
{
    if (arrstrPaths.size() < 2) {
        OpenSelection selection = SingleSelection(arrstrPaths.value(0));
        selection.lngNumFilesSelected = 1;
        selection.strFile = selection.strResult.mid(selection.strFolder.size());
        selection.lngBufferLength = selection.strResult.size() + 2;
        return selection;
    }
    OpenSelection selection;
    selection.lngNumFilesSelected = static_cast<qint32>(arrstrPaths.size());
    selection.strFolder = commonFolder(arrstrPaths);
    QStringList names;
    for (const QString& path : arrstrPaths)
        names.append(path.mid(selection.strFolder.size()));
    selection.strResult = names.join(Nul);
    // The names as a whole when none of them lies in a subfolder.
    selection.strFile = selection.strResult.mid(selection.strResult.lastIndexOf(u'/') + 1);
    selection.arrstrFiles = arrstrPaths;
    // The folder's "/" stands for the NUL after it; one more NUL ends the list.
    selection.lngBufferLength = selection.strFolder.size() + selection.strResult.size() + 2;
    return selection;
}

} // namespace FileDialogText
