#include "readerlookup.h"

#include "db/database.h"

namespace {
std::function<QString(const QString&)>& cardNormaliser()
{
    static std::function<QString(const QString&)> normaliser;
    return normaliser;
}
} // namespace

void ReaderLookup::setCardNormaliser(std::function<QString(const QString&)> normaliser)
{
    cardNormaliser() = std::move(normaliser);
}

QString ReaderLookup::searchText(Kind kind, const QString& typed)
{
    switch (kind) {
    case CardBarcode:
        return (cardNormaliser() ? cardNormaliser()(typed) : typed).toUpper();
    case CertId:
    case IdCard:
        return typed.toUpper();
    case Name:
        break;
    }
    return typed;
}

QString ReaderLookup::column(Kind kind)
{
    switch (kind) {
    case CardBarcode:
        return QStringLiteral("reader_cert.redr_cert_id");
    case CertId:
        return QStringLiteral("reader.cert_id");
    case IdCard:
        return QStringLiteral("reader.id_card");
    case Name:
        break;
    }
    return QStringLiteral("reader.name");
}

QString ReaderLookup::notFoundMessage(Kind kind)
{
    switch (kind) {
    case CardBarcode:
        return QStringLiteral("ELT205");
    case CertId:
        return QStringLiteral("ELT101");
    case IdCard:
    case Name:
        break;
    }
    return QStringLiteral("ELT201");
}

QString ReaderLookup::statement(Kind kind, const QString& text)
{
    return QStringLiteral(" SELECT distinct reader.cert_id    FROM reader,reader_cert   WHERE "
                          "reader.cert_id=reader_cert.cert_id     AND ") +
           column(kind) + QStringLiteral(" LIKE ") + LIB_SQLQuote(QString(text + QLatin1Char('%')));
}

int ReaderLookup::find(Kind kind, const QString& typed, QStringList& certIds)
{
    certIds.clear();
    if (typed.isEmpty())
        return 0;
    LIB_DB_CurrentStatement() = statement(kind, searchText(kind, typed));
    ResultTable rows;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    for (int row = 2; row < rows.recordCount() + 2; ++row)
        certIds.append(rows.text(0, row));
    return 0;
}
