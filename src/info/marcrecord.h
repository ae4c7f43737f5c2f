#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The header row of a MARC record (table marc).
struct MarcHeader
{
    QString marcType;
    QString docTypeCode;
    QString langCode;
    QString countryCode;
    QString marcUseFlag;
    QString cataOper;
    QString cataDate;
};

struct MarcDirectoryEntry
{
    QString tag;
    int length = 0; // bytes, field terminator included
    int start = 0;  // bytes from the base address
};

// One bibliographic record in ISO 2709 form, split into leader, directory and data.
//
// The leader and the directory count bytes, and records were written in two ways: in UTF-8 (this
// library's own records) or in the ANSI code page of the earlier cataloguing, where a character
// outside ASCII takes two bytes. Each record is read by the count that its own leader (record
// length, base address) and directory agree with: the record length is the byte total (or left
// at 0) and every field ends on a field terminator. A record that agrees with neither gets a
// problem() text and, when that matters (it has characters outside ASCII), no fields: it is
// reported, not guessed. An ASCII record reads the same either way; a damaged one keeps whatever
// fields lie whole, and a field past the end of the text reads only as far as the text goes.
class MarcRecord
{
public:
    enum Type { UnknownType = -1, CnMarc = 0, UsMarc = 1, CnAuthority = 2, UsAuthority = 3 };
    enum class ByteCount { Utf8, Ansi };

    static constexpr char16_t SubfieldDelimiter = 31;
    static constexpr char16_t FieldTerminator = 30;
    static constexpr char16_t RecordTerminator = 29;

    MarcRecord() = default;

    // Parses a record text. decoded tells that the text came through the dump-decoding path.
    static MarcRecord fromText(const QString& text, bool decoded = false);
    static MarcRecord fromIso2709(const QByteArray& utf8, bool decoded = false)
    {
        return fromText(QString::fromUtf8(utf8), decoded);
    }

    // How the leader and directory of this record count (UTF-8 also for a record that agrees
    // with neither count).
    ByteCount byteCount() const { return m_byteCount; }
    // Empty for a well-formed record; otherwise what is wrong with it, for the log.
    QString problem() const { return m_problem; }

    // The MARC type of a marc_type value, by its first character.
    static Type typeOf(const QString& marcType);

    void setHeader(const MarcHeader& header);
    const MarcHeader& header() const { return m_header; }
    Type type() const { return m_type; }

    QByteArray text() const { return m_text.toUtf8(); }
    QString leader() const { return m_text.left(24); }
    int baseAddress() const { return m_baseAddress; }
    int fieldCount() const { return int(m_directory.size()); }
    const QList<MarcDirectoryEntry>& directory() const { return m_directory; }
    QByteArray data() const;
    bool isDecoded() const { return m_decoded; }
    bool isEmpty() const { return m_directory.isEmpty(); }

    // The text of the field of a directory entry, indicators first, without the field terminator.
    QString fieldText(int entry) const;
    // The first field with this tag; empty text when there is none.
    QString field(const QString& tag) const;
    // Every field with this tag, in directory order.
    QStringList fields(const QString& tag) const;

    // The value of the first subfield with this code, searched after the two indicators, up to the
    // next delimiter, trimmed; empty text when absent.
    static QString subfield(const QString& fieldText, QChar code);

private:
    // The text between two byte positions of the record's count.
    QString textBetween(qint64 from, qint64 to) const;

    MarcHeader m_header;
    Type m_type = UnknownType;
    QString m_text;
    QList<int> m_byteOffsets; // where each UTF-16 unit begins, in bytes of the record's count; then the total
    ByteCount m_byteCount = ByteCount::Utf8;
    QString m_problem;
    int m_baseAddress = 0;
    QList<MarcDirectoryEntry> m_directory;
    bool m_decoded = false;
};
