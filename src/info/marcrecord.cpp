#include "marcrecord.h"

namespace {

constexpr int leaderLength = 24;
constexpr int entryLength = 12;

// The number at the start of a text: blanks are passed over, reading stops at the first other
// character that is not a digit; no digits give 0. Leader and directory numbers are read this way.
int numberAt(QByteArrayView digits)
{
    qint64 value = 0;
    for (const char c : digits) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > 99999999)
            break;
    }
    return int(value);
}

// (base - 25) / 12 rounded to the nearest integer, halves to the even one; never negative.
int directoryEntries(int baseAddress)
{
    const int span = baseAddress - (leaderLength + 1);
    if (span <= 0)
        return 0;
    const int whole = span / entryLength;
    const int rest = span % entryLength;
    if (rest * 2 > entryLength || (rest * 2 == entryLength && whole % 2 == 1))
        return whole + 1;
    return whole;
}

} // namespace

MarcRecord MarcRecord::fromIso2709(const QByteArray& text, bool decoded)
{
    MarcRecord record;
    record.m_text = text;
    record.m_decoded = decoded;
    record.m_baseAddress = numberAt(text.left(leaderLength).mid(12, 5));
    const int entries = directoryEntries(record.m_baseAddress);
    for (int i = 0; i < entries; ++i) {
        const qsizetype at = leaderLength + qsizetype(i) * entryLength;
        if (at + entryLength > text.size())
            break;
        const QByteArrayView entry = QByteArrayView(text).sliced(at, entryLength);
        record.m_directory.append(
            {QString::fromUtf8(entry.first(3)), numberAt(entry.sliced(3, 4)), numberAt(entry.sliced(7, 5))});
    }
    return record;
}

MarcRecord::Type MarcRecord::typeOf(const QString& marcType)
{
    if (marcType.isEmpty())
        return UnknownType;
    switch (marcType.at(0).unicode()) {
    case 'C':
    case 'N': // the older code for CN MARC
        return CnMarc;
    case 'U':
        return UsMarc;
    case 'c':
        return CnAuthority;
    case 'u':
        return UsAuthority;
    default:
        return UnknownType;
    }
}

void MarcRecord::setHeader(const MarcHeader& header)
{
    m_header = header;
    m_type = typeOf(header.marcType);
}

QString MarcRecord::leader() const
{
    return QString::fromUtf8(m_text.left(leaderLength));
}

QByteArray MarcRecord::data() const
{
    return m_baseAddress < m_text.size() ? m_text.mid(m_baseAddress) : QByteArray();
}

QString MarcRecord::fieldText(int entry) const
{
    if (entry < 0 || entry >= m_directory.size())
        return {};
    const MarcDirectoryEntry& e = m_directory.at(entry);
    const qsizetype from = qsizetype(m_baseAddress) + e.start;
    if (e.length <= 0 || from >= m_text.size())
        return {};
    QByteArrayView bytes =
        QByteArrayView(m_text).sliced(from, qMin<qsizetype>(e.length, m_text.size() - from));
    if (bytes.endsWith(char(FieldTerminator)))
        bytes.chop(1);
    return QString::fromUtf8(bytes);
}

QString MarcRecord::field(const QString& tag) const
{
    for (int i = 0; i < m_directory.size(); ++i) {
        if (m_directory.at(i).tag == tag)
            return fieldText(i);
    }
    return {};
}

QStringList MarcRecord::fields(const QString& tag) const
{
    QStringList texts;
    for (int i = 0; i < m_directory.size(); ++i) {
        if (m_directory.at(i).tag == tag)
            texts.append(fieldText(i));
    }
    return texts;
}

QString MarcRecord::subfield(const QString& fieldText, QChar code)
{
    const QString mark = QChar(SubfieldDelimiter) + code;
    const qsizetype at = fieldText.indexOf(mark, 2);
    if (at < 0)
        return {};
    const qsizetype from = at + 2;
    const qsizetype next = fieldText.indexOf(QChar(SubfieldDelimiter), from);
    return fieldText.mid(from, next < 0 ? -1 : next - from).trimmed();
}
