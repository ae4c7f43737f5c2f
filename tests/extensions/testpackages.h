#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Zip archives made by the tests, with members as hostile archives carry them.
struct ZipMember
{
    QString name;
    QByteArray data;
    unsigned unixMode = 0;   // file type and permissions; 0: a plain file
    quint32 claimedSize = 0; // when set, the size the archive's headers claim instead of the real one
};

// Writes the archive; false when libzip refuses.
bool writeZip(const QString& path, const QList<ZipMember>& members);

// A minimal add-in definition importing a library under a class, with extra body XML.
QByteArray addinXml(const QString& id, const QString& library, const QString& className,
                    const QString& body = {});

// An add-in directory with the example add-in and a faulty one importing its library as
// "Faulty.Lib" (with extra body XML); false when a file cannot be written.
bool writeExampleAddins(const QString& directory, const QString& faultyBody = {});

// Every file and folder below a directory, as relative paths ("" when none).
QStringList filesBelow(const QString& directory);
