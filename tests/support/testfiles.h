#pragma once

// Reading and writing the small files the tests make and check.

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The bytes of a file; empty when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a file, making its folder first; false when that fails.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The text of every file in a folder (the desk's daily logs), one after the other.
inline QString textOfFiles(const QString& folder)
{
    QString text;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
        text += QString::fromUtf8(readFile(file.filePath()));
    return text;
}
