#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

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
