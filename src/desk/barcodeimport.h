#pragma once

#include <QFile>
#include <QString>
#include <QStringDecoder>

// Reads the codes of a barcode import file one at a time, so that the desk can let the window
// breathe and show progress between codes of a long file. A file holds either one code per line
// or codes split at a separator text chosen by the operator. Every code comes out trimmed and
// upper-cased; empty codes are passed over. The file is read as UTF-8.
class BarcodeImportReader
{
public:
    // An empty separator reads one code per line (LF, CR LF or a lone CR ends a line).
    explicit BarcodeImportReader(const QString& separator = {});

    // false when the file cannot be opened.
    bool open(const QString& path);

    // The next code; false at the end of the file or when reading fails (failed() tells which).
    bool next(QString& code);

    bool failed() const { return m_failed; }
    // Progress: bytes of the file consumed so far, and the file's size.
    qint64 bytesRead() const { return m_bytesRead; }
    qint64 size() const { return m_size; }

private:
    bool fillBuffer();
    // Index of the next code's end in the buffer and the length of the mark that ends it; -1
    // when the buffer holds no complete code yet.
    qsizetype findCodeEnd(qsizetype& markLength) const;

    QString m_separator;
    QFile m_file;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    QString m_buffer;
    qsizetype m_start = 0; // where the next code begins in the buffer
    bool m_atEnd = false;
    bool m_failed = false;
    qint64 m_bytesRead = 0;
    qint64 m_size = 0;
};
