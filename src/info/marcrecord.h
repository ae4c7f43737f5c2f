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
// Directory lengths and starts count bytes of the UTF-8 text, as they are stored; a malformed
// record keeps whatever complete directory entries it has, and a field that lies outside the
// data reads as empty text.
class MarcRecord
{
public:
    enum Type { UnknownType = -1, CnMarc = 0, UsMarc = 1, CnAuthority = 2, UsAuthority = 3 };

    static constexpr char16_t SubfieldDelimiter = 31;
    static constexpr char16_t FieldTerminator = 30;
    static constexpr char16_t RecordTerminator = 29;

    MarcRecord() = default;

    // Parses a record text. decoded tells that the text came through the dump-decoding path.
    static MarcRecord fromIso2709(const QByteArray& text, bool decoded = false);

    // The MARC type of a marc_type value, by its first character.
    static Type typeOf(const QString& marcType);

    void setHeader(const MarcHeader& header);
    const MarcHeader& header() const { return m_header; }
    Type type() const { return m_type; }

    QByteArray text() const { return m_text; }
    QString leader() const;
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
    MarcHeader m_header;
    Type m_type = UnknownType;
    QByteArray m_text;
    int m_baseAddress = 0;
    QList<MarcDirectoryEntry> m_directory;
    bool m_decoded = false;
};
