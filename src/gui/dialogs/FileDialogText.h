#pragma once

#include <QString>
#include <QStringList>

// The text rules of the open and save dialogs that need no window: the filter
// list in its stored form and as Qt's name filters, and what a selection of
// files means for the dialog's results.
namespace FileDialogText {

// The filter as stored: every "|" becomes a NUL, and the text ends in two
// NULs, so "Rar Files|*.rar" and "Rar Files\0*.rar\0\0" are stored alike.
QString storedFilter(const QString& filter);

// The filter offered when none is set: all files, then batch, INF, SYS, HTM
// and text files.
QString defaultFilter();

// The description/pattern pairs of a stored filter as Qt name filters, one per
// pair, in order: "Rar Files (*.rar)". ";" between patterns becomes a blank
// and "*.*" becomes "*", which is what matches every file here.
QStringList nameFilters(const QString& stored);

// What one accepted open dialog yields, in the shape the dialog's callers read.
struct OpenSelection
{
    qint32 fileCount = 0;
    // One file: its full path. Several: their names below folder, NUL-separated.
    QString result;
    // Ends with "/".
    QString folder;
    QString file;
    // Full paths, in the dialog's order; filled for two files or more.
    QStringList files;
    // Characters the selection needs in the dialog's file buffer, terminators included.
    qsizetype bufferLength = 0;
};

// A single-selection dialog: the folder and the last file are those of the path.
OpenSelection singleSelection(const QString& path);

// A multi-select dialog: one path is taken whole; several are split into their
// common folder and the names below it, kept in the order given.
OpenSelection multiSelection(const QStringList& paths);

} // namespace FileDialogText
