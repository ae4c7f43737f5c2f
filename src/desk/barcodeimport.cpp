#include "barcodeimport.h"

namespace {
// Small enough that the progress of a long file moves as it is read.
constexpr qint64 chunkSize = 4096;
} // namespace

BarcodeImportReader::BarcodeImportReader(const QString& separator) : m_separator(separator) {}

bool BarcodeImportReader::open(const QString& path)
{
    m_file.setFileName(path);
    m_buffer.clear();
    m_start = 0;
    m_atEnd = m_failed = false;
    m_bytesRead = 0;
    m_decoder.resetState();
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_failed = true;
        m_size = 0;
        return false;
    }
    m_size = m_file.size();
    return true;
}

bool BarcodeImportReader::fillBuffer()
{
    if (m_atEnd || m_failed)
        return false;
    const QByteArray bytes = m_file.read(chunkSize);
    if (bytes.isEmpty()) {
        m_atEnd = true;
        m_failed = m_file.error() != QFileDevice::NoError;
        m_file.close();
        return false;
    }
    m_bytesRead += bytes.size();
    m_buffer.remove(0, m_start);
    m_start = 0;
    m_buffer += m_decoder.decode(bytes);
    return true;
}

qsizetype BarcodeImportReader::findCodeEnd(qsizetype& markLength) const
{
    if (!m_separator.isEmpty()) {
        markLength = m_separator.size();
        return m_buffer.indexOf(m_separator, m_start);
    }
    markLength = 1;
    for (qsizetype i = m_start; i < m_buffer.size(); ++i) {
        const QChar c = m_buffer.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return i;
    }
    return -1;
}

bool BarcodeImportReader::next(QString& code)
{
    for (;;) {
        qsizetype markLength = 0;
        const qsizetype end = findCodeEnd(markLength);
        QString raw;
        if (end >= 0) {
            raw = m_buffer.mid(m_start, end - m_start);
            m_start = end + markLength;
        } else if (fillBuffer()) {
            continue;
        } else if (m_failed || m_start >= m_buffer.size()) {
            return false;
        } else {
            // The code after the last separator or line end.
            raw = m_buffer.mid(m_start);
            m_start = m_buffer.size();
        }
        code = raw.trimmed().toUpper();
        if (!code.isEmpty())
            return true;
    }
}
