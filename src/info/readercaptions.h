#pragma once

#include <QString>
#include <array>

// The display captions of the reader's fields (section "读者") and of the card's fields (section
// "读者证件") from LT/LT_reader.ini under the configuration directory, read once at start-up. A
// key is "R" and the field's index in three digits; a missing key leaves the caption empty.
class ReaderCaptions
{
public:
    static constexpr int FieldCount = 32;
    enum Section { Reader, Card };
    // The indexes the desk names.
    enum ReaderField {
        CertId = 0,
        ReaderType = 1,
        IdCard = 3,
        Name = 4,
        Department = 7,
        Occupation = 8,
        GradeGroup = 21, // code01
        DepartmentCode = 29,
    };
    enum CardField { CardBarcode = 0 };

    static ReaderCaptions& instance();
    static QString defaultFile();

    // Reads every key of both sections; a missing file leaves every caption empty.
    void load(const QString& path);
    QString caption(Section section, int index) const;
    // The caption, or `fallback` when the file leaves it empty.
    QString captionOr(Section section, int index, const QString& fallback) const;

private:
    std::array<QString, FieldCount> m_reader;
    std::array<QString, FieldCount> m_card;
};
