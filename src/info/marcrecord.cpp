#include "marcrecord.h"

#include <algorithm>

namespace {

constexpr int leaderLength = 24;
constexpr int entryLength = 12;

// The number at the start of a text: blanks are passed over, reading stops at the first other
// character that is not a digit; no digits give 0. Leader and directory numbers are read this way.
int numberAt(QStringView digits)
{
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            continue;
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
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

// The bytes one UTF-16 unit takes in a count: the ANSI code page of Chinese cataloguing (GBK)
// writes every character outside ASCII in two bytes.
int unitBytes(char16_t unit, MarcRecord::ByteCount count)
{
    if (unit < 0x80)
        return 1;
    if (count == MarcRecord::ByteCount::Ansi || unit < 0x800 || QChar::isSurrogate(unit))
        return 2;
    return 3;
}

QList<int> byteOffsets(const QString& text, MarcRecord::ByteCount count)
{
    QList<int> offsets;
    offsets.reserve(text.size() + 1);
    int at = 0;
    for (const QChar unit : text) {
        offsets.append(at);
        at += unitBytes(unit.unicode(), count);
    }
    offsets.append(at);
    return offsets;
}

// The unit that begins at a byte position; -1 when none does (inside a character, or outside).
qsizetype unitAt(const QList<int>& offsets, qint64 position)
{
    const auto it = std::lower_bound(offsets.cbegin(), offsets.cend(), position);
    return it != offsets.cend() && *it == position ? it - offsets.cbegin() : -1;
}

bool endsField(const QString& text, const QList<int>& offsets, qint64 end)
{
    const qsizetype unit = unitAt(offsets, end);
    return unit > 0 && text.at(unit - 1) == QChar(MarcRecord::FieldTerminator);
}

// Whether the leader and directory agree with a count: the record length is the byte total (or
// 0, never filled in), the directory ends at the base address, every field on its terminator.
bool agrees(const QString& text, const QList<int>& offsets, int baseAddress,
            const QList<MarcDirectoryEntry>& directory)
{
    const int declared = numberAt(QStringView(text).left(5));
    if (declared != 0 && declared != offsets.last())
        return false;
    if (!endsField(text, offsets, baseAddress))
        return false;
    return std::all_of(directory.cbegin(), directory.cend(), [&](const MarcDirectoryEntry& e) {
        return e.length > 0 && unitAt(offsets, qint64(baseAddress) + e.start) >= 0 &&
               endsField(text, offsets, qint64(baseAddress) + e.start + e.length);
    });
}

bool isAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

MarcRecord MarcRecord::fromText(const QString& text, bool decoded)
{
    MarcRecord record;
    record.m_text = text;
    record.m_decoded = decoded;
    // Leader and directory are ASCII: their byte positions are the same in either count.
    record.m_baseAddress = numberAt(QStringView(text).left(leaderLength).mid(12, 5));
    const int entries = directoryEntries(record.m_baseAddress);
    for (int i = 0; i < entries; ++i) {
        const qsizetype at = leaderLength + qsizetype(i) * entryLength;
        if (at + entryLength > text.size())
            break;
        const QStringView entry = QStringView(text).sliced(at, entryLength);
        record.m_directory.append(
            {entry.first(3).toString(), numberAt(entry.sliced(3, 4)), numberAt(entry.sliced(7, 5))});
    }
    if (text.isEmpty())
        return record;

    record.m_byteOffsets = byteOffsets(text, ByteCount::Utf8);
    if (agrees(text, record.m_byteOffsets, record.m_baseAddress, record.m_directory))
        return record;
    if (isAscii(text)) {
        // Either count reads it alike; what is whole reads.
        record.m_problem = QStringLiteral("leader and directory do not match the record text");
        return record;
    }
    QList<int> ansi = byteOffsets(text, ByteCount::Ansi);
    if (agrees(text, ansi, record.m_baseAddress, record.m_directory)) {
        record.m_byteOffsets = std::move(ansi);
        record.m_byteCount = ByteCount::Ansi;
        return record;
    }
    record.m_problem =
        QStringLiteral("leader and directory agree with neither UTF-8 nor ANSI (two bytes per Chinese "
                       "character) byte counts");
    record.m_directory.clear();
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

QByteArray MarcRecord::data() const
{
    return m_baseAddress < m_text.size() ? m_text.mid(m_baseAddress).toUtf8() : QByteArray();
}

QString MarcRecord::textBetween(qint64 from, qint64 to) const
{
    // Positions past the end read as far as the text goes; one inside a character starts at the
    // character after it.
    const auto unit = [this](qint64 position) {
        return std::lower_bound(m_byteOffsets.cbegin(), m_byteOffsets.cend() - 1, position) -
               m_byteOffsets.cbegin();
    };
    if (m_byteOffsets.isEmpty() || from >= m_byteOffsets.last())
        return {};
    const qsizetype first = unit(from);
    const qsizetype end = unit(to);
    return m_text.mid(first, qMax<qsizetype>(0, end - first));
}

QString MarcRecord::fieldText(int entry) const
{
    if (entry < 0 || entry >= m_directory.size())
        return {};
    const MarcDirectoryEntry& e = m_directory.at(entry);
    if (e.length <= 0)
        return {};
    const qint64 from = qint64(m_baseAddress) + e.start;
    QString text = textBetween(from, from + e.length);
    if (text.endsWith(QChar(FieldTerminator)))
        text.chop(1);
    return text;
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
