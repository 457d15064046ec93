#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

// A file's whole content; empty when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file's content, making its folder first.
inline void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

// Every file, folder and link below root with what it holds, sorted, for
// comparing trees. A pipe or device is listed, never opened.
inline QStringList tree(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(root).relativeFilePath(info.filePath());
        if (info.isSymLink())
            out << name + " -> " + info.symLinkTarget().section(u'/', -1);
        else if (info.isDir())
            out << name + u'/';
        else if (info.isFile())
            out << name + u' ' + QCryptographicHash::hash(readFile(info.filePath()), QCryptographicHash::Md5).toHex();
        else
            out << name + " |";
    }
    out.sort();
    return out;
}

// A temporary folder removed whole even when names in it are not UTF-8,
// which QDir cannot spell back to the file system.
class TemporaryTree : public QTemporaryDir
{
public:
    ~TemporaryTree()
    {
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(path()).toStdString(), ignored);
    }
};
