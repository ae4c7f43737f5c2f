#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The quick reader lookup: a prefix of a card barcode, certificate number, identity card or name
// finds the readers whose key begins with it.
class ReaderLookup
{
public:
    // The positions of the key-kind lists.
    enum Kind { CardBarcode = 0, CertId = 1, IdCard = 2, Name = 3 };

    // The card barcode is normalised by the desk's barcode read rules when they are in use; the
    // desk hands that rule in here (the information windows know nothing of the desk).
    static void setCardNormaliser(std::function<QString(const QString&)> normaliser);

    // The text that is looked up: the normalised and upper-cased barcode, the upper-cased
    // certificate number or identity card, the name as typed.
    static QString searchText(Kind kind, const QString& typed);
    static QString column(Kind kind);          // "reader_cert.redr_cert_id", ...
    static QString notFoundMessage(Kind kind); // ELT205, ELT101, ELT201
    static QString statement(Kind kind, const QString& text);

    // The certificate numbers of the readers found for the typed text (after searchText), each
    // once. 0, or -1 with the error record filled. Empty typed text finds nothing and sends nothing.
    static int find(Kind kind, const QString& typed, QStringList& certIds);
};
