#include "gui/dialogs/FileDialogText.h"

namespace FileDialogText {

namespace {

const QChar Nul = QChar(0);
const QString PairEnd = QString(2, QChar(0));

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

// The longest folder, ending with "/", that holds every path.
QString commonFolder(const QStringList& paths)
{
    QString folder = folderOf(paths.first());
    for (const QString& path : paths) {
        while (!folder.isEmpty() && !path.startsWith(folder))
            folder = folderOf(folder.chopped(1));
    }
    return folder;
}

QString qtPatterns(const QString& patternText)
{
    QStringList patterns;
    for (const QString& pattern : patternText.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (!trimmed.isEmpty())
            patterns.append(trimmed == u"*.*" ? QStringLiteral("*") : trimmed);
    }
    return patterns.isEmpty() ? QStringLiteral("*") : patterns.join(u' ');
}

// "All Files (*.*)" already names its pattern; drop that copy so Qt's form
// does not show it twice.
QString descriptionWithoutPattern(const QString& description, const QString& patternText)
{
    const QString own = u'(' + patternText.trimmed() + u')';
    if (description.trimmed().endsWith(own, Qt::CaseInsensitive))
        return description.trimmed().chopped(own.size()).trimmed();
    return description.trimmed();
}

} // namespace

QString storedFilter(const QString& filter)
{
    QString stored = filter;
    stored.replace(u'|', Nul);
    return stored.endsWith(PairEnd) ? stored : stored + PairEnd;
}

QString defaultFilter()
{
    return storedFilter(QStringLiteral("All Files (*.*)|*.*|Batch Files (*.BAT)|*.BAT|INF Files (*.INF)|*.INF|"
                                       "SYS Files (*.SYS)|*.SYS|HTM Files (*.HTM)|*.HTM|Text Files (*.TXT)|*.TXT"));
}

QStringList nameFilters(const QString& stored)
{
    const QStringList parts = stored.left(stored.indexOf(PairEnd)).split(Nul);
    QStringList filters;
    // A description left without its pattern is not a filter.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = qtPatterns(parts.at(i + 1));
        filters.append(descriptionWithoutPattern(parts.at(i), parts.at(i + 1)) + QStringLiteral(" (") + patterns +
                       u')');
    }
    return filters;
}

OpenSelection singleSelection(const QString& path)
{
    OpenSelection selection;
    selection.result = path;
    selection.folder = folderOf(path);
    selection.file = path;
    selection.bufferLength = path.size() + 1;
    return selection;
}

OpenSelection multiSelection(const QStringList& paths)
{
    if (paths.size() < 2) {
        OpenSelection selection = singleSelection(paths.value(0));
        selection.fileCount = 1;
        selection.file = selection.result.mid(selection.folder.size());
        selection.bufferLength = selection.result.size() + 2;
        return selection;
    }
    OpenSelection selection;
    selection.fileCount = static_cast<qint32>(paths.size());
    selection.folder = commonFolder(paths);
    QStringList names;
    for (const QString& path : paths)
        names.append(path.mid(selection.folder.size()));
    selection.result = names.join(Nul);
    // The names as a whole when none of them lies in a subfolder.
    selection.file = selection.result.mid(selection.result.lastIndexOf(u'/') + 1);
    selection.files = paths;
    // The folder's "/" stands for the NUL after it; one more NUL ends the list.
    selection.bufferLength = selection.folder.size() + selection.result.size() + 2;
    return selection;
}

} // namespace FileDialogText
