#include "isbnform.h"

namespace {

// Length of the publisher part, from the first digit of the group-and-publisher number.
int publisherLength(QChar digit)
{
    switch (digit.unicode()) {
    case '0':
        return 2;
    case '1':
    case '2':
    case '3':
        return 3;
    case '4':
    case '5':
    case '6':
    case '7':
        return 4;
    case '8':
        return 5;
    case '9':
        return 6;
    default:
        return 2;
    }
}

bool allDigits(const QString& text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The ISBN-10 check character of nine digits (the EAN's own check digit does not carry over).
QChar isbn10Check(const QString& nine)
{
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += nine.at(i).digitValue() * (10 - i);
    const int check = 11 - sum % 11;
    if (check == 10)
        return QLatin1Char('X');
    if (check == 11)
        return QLatin1Char('0');
    return QLatin1Char(char('0' + check));
}

} // namespace

QString LIB_IsbnForm(const QString& ean)
{
    if (ean.size() != 13)
        return ean;
    const QString prefix = ean.left(3);
    if (prefix == QLatin1String("977"))
        return ean.mid(3, 4) + QLatin1Char('-') + ean.mid(7, 3);
    if (prefix != QLatin1String("978") && prefix != QLatin1String("979"))
        return ean;
    const QString nine = ean.mid(3, 9);
    if (!allDigits(nine))
        return ean;
    const int length = publisherLength(nine.at(1));
    return nine.left(1) + QLatin1Char('-') + nine.mid(1, length) + QLatin1Char('-') + nine.mid(1 + length) +
           QLatin1Char('-') + isbn10Check(nine);
}
