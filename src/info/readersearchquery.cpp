#include "readersearchquery.h"

#include "codes/codenames.h"
#include "db/database.h"
#include "readercaptions.h"
#include "startup/readersearchlists.h"

#include <QDate>

const QString ReaderSearch::noRestriction = QStringLiteral("[不定]");

namespace {

ReaderSearchField field(const char* column, ReaderCaptions::Section section, int index, int itemType = 0,
                        bool named = false)
{
    const QString name = QLatin1String(column);
    return {name, ReaderCaptions::instance().captionOr(section, index, name), itemType, named};
}

bool isDate(const QString& text)
{
    return text.size() == 10 && QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid();
}

QString range(const QString& column, const QString& from, const QString& to)
{
    QString conditions;
    if (!from.isEmpty())
        conditions += QStringLiteral(" AND ") + column + QStringLiteral(">=") + LIB_SQLQuote(from);
    if (!to.isEmpty())
        conditions += QStringLiteral(" AND ") + column + QStringLiteral("<=") + LIB_SQLQuote(to);
    return conditions;
}

} // namespace

QList<ReaderSearchField> ReaderSearch::fields()
{
    using C = ReaderCaptions;
    return {
        field("READER.cert_id", C::Reader, C::CertId),
        field("READER.code01", C::Reader, C::GradeGroup, 13),
        field("READER.dept", C::Reader, C::Department, 11),
        field("READER.id_card", C::Reader, C::IdCard),
        field("READER.name", C::Reader, C::Name),
        field("READER.occupation", C::Reader, C::Occupation, 12),
        field("READER.r_dep_id", C::Reader, C::DepartmentCode, 14, true),
        field("READER.redr_type_code", C::Reader, C::ReaderType, 15, true),
        field("READER_CERT.redr_cert_id", C::Card, C::CardBarcode),
    };
}

QList<ReaderSearchCode> ReaderSearch::codes(const ReaderSearchField& field)
{
    if (field.itemType == 0)
        return {};
    QList<ReaderSearchCode> entries{{QString(), noRestriction}};
    const ResultTable& list = ReaderSearchLists::instance().list(field.itemType);
    for (int row = 2; row < list.recordCount() + 2; ++row) {
        const QString code = list.text(0, row);
        QString name;
        if (field.named)
            name = field.itemType == 15 ? LIB_ReaderTypeName(code) : LIB_DepartmentName(code);
        entries.append({code, name.isEmpty() || name == code ? code : code + QLatin1Char(' ') + name});
    }
    return entries;
}

QString ReaderSearch::statement(const ReaderSearchCriteria& criteria, QString* refusal)
{
    QString conditions;
    switch (criteria.option) {
    case ReaderSearchCriteria::BarcodeRange:
    case ReaderSearchCriteria::CertIdRange:
        if (criteria.from.isEmpty() && criteria.to.isEmpty()) {
            *refusal = QStringLiteral("E条码号或者证件号空间不许为空!");
            return {};
        }
        conditions = range(criteria.option == ReaderSearchCriteria::BarcodeRange
                               ? QStringLiteral("READER_CERT.redr_cert_id")
                               : QStringLiteral("READER.cert_id"),
                           criteria.from, criteria.to);
        break;
    case ReaderSearchCriteria::DateRange:
        if (!isDate(criteria.from) || !isDate(criteria.to)) {
            *refusal = QStringLiteral("E时间输入错误!");
            return {};
        }
        conditions = range(QStringLiteral("READER.redr_reg_day"), criteria.from, criteria.to);
        break;
    case ReaderSearchCriteria::Combined:
        for (const auto& [column, value] : criteria.conditions) {
            if (column.isEmpty() || value.isEmpty())
                continue;
            conditions += QStringLiteral(" AND (") + column +
                          (criteria.exactMatch
                               ? QStringLiteral(" = ") + LIB_SQLQuote(value)
                               : QStringLiteral(" LIKE ") + LIB_SQLQuote(QString(value + QLatin1Char('%')))) +
                          QLatin1Char(')');
        }
        if (conditions.isEmpty()) {
            *refusal = QStringLiteral("EBM003");
            return {};
        }
        break;
    }
    return QStringLiteral(
               "SELECT READER.redr_flag, READER_CERT.redr_cert_id, READER.cert_id, READER.name, "
               "READER.id_card, "
               "READER.dept, READER.occupation, READER_type.redr_type_name, READER.code01, "
               "READER_CERT.oper_date, "
               "READER_CERT.resp_wkr, READER_CERT.cert_flag FROM READER, READER_CERT,READER_TYPE WHERE "
               "READER.cert_id = READER_CERT.cert_id AND READER_TYPE.redr_type_code=READER.redr_type_code") +
           conditions +
           QStringLiteral(
               " ORDER BY reader.cert_id ASC, reader_cert.cert_flag DESC, reader_cert.oper_date DESC");
}

QString ReaderSearch::columnOfKind(int kind)
{
    static const char* const columns[] = {"READER_CERT.redr_cert_id", "READER.cert_id", "READER.id_card",
                                          "READER.name"};
    return QLatin1String(columns[kind >= 0 && kind < 4 ? kind : 3]);
}
