#pragma once

#include <QList>
#include <QString>

// The reader detail window's record: the reader and the card of a card barcode as labelled
// values. The reader's values are the boxes txtRedrField0.., the card's txtRedrCertField0..; the
// sex has its own box txtSex.
struct ReaderDetailField
{
    QString box;   // object name of the value box
    QString label; // "姓    名：", ...
    QString value; // as shown (the password in clear: the window masks it)
};

namespace ReaderDetail {
extern const QString passwordBox;

QString statement(const QString& barcode);
// The fields in window order; empty values for an unknown barcode. 0, or -1 with the error record
// filled.
int load(const QString& barcode, QList<ReaderDetailField>& fields);
} // namespace ReaderDetail
