#include "admissioncopyloans.h"

#include "codes/codenames.h"
#include "codes/fixedcodenames.h"
#include "db/database.h"
#include "info/bibelements.h"
#include "info/marcreader.h"

namespace {

enum Column {
    CertId,
    PropNo,
    LendDate,
    DueDate,
    MarcRecNo,
    Barcode,
    CallNo,
    StatusCode,
    Location,
    Rule,
};

QString copyLoansQuery(const QString& certId)
{
    return QStringLiteral(
               "SELECT lend_lst.cert_id, lend_lst.prop_no, lend_lst.lend_date, lend_lst.norm_ret_date, "
               "item.marc_rec_no, item.bar_code, item.call_no, item.book_stat_code, item.location, "
               "lend_lst.rule_no_f FROM lend_lst, item WHERE cert_id = ") +
           LIB_SQLQuote(certId) +
           QStringLiteral(" AND lend_lst.prop_no = item.prop_no AND lend_lst.rule_no_f like ") +
           LIB_SQLQuote(QStringLiteral("COPY%")) + QStringLiteral(" ORDER BY lend_lst.lend_date");
}

} // namespace

int listCopyLoans(const QString& certId, const QString& today, QList<CopyLoanRow>& rows)
{
    rows.clear();
    ResultTable loans;
    LIB_DB_CurrentStatement() = copyLoansQuery(certId);
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), loans) != 0)
        return -1;

    QStringList recordNumbers;
    for (int row = 2; row < loans.recordCount() + 2; ++row)
        recordNumbers.append(loans.text(MarcRecNo, row));
    QHash<QString, MarcRecord> records;
    if (!recordNumbers.isEmpty() && MarcReader::readMany(recordNumbers, records) != 0)
        return -1;

    for (int row = 2; row < loans.recordCount() + 2; ++row) {
        const MarcRecord record = records.value(loans.text(MarcRecNo, row));
        CopyLoanRow loan;
        loan.cells = QStringList{QString::number(row - 1),
                                 loans.text(Barcode, row),
                                 LIB_GetBibElement(record, BibTitle),
                                 loans.text(CallNo, row),
                                 loans.text(LendDate, row),
                                 loans.text(DueDate, row),
                                 LIB_LocationName(loans.text(Location, row)),
                                 LIB_ItemStatusName(loans.text(StatusCode, row)),
                                 LIB_GetBibElement(record, BibResponsible),
                                 LIB_GetBibElement(record, BibPublisher),
                                 loans.text(Rule, row)};
        loan.overdue = loans.text(DueDate, row) < today;
        rows.append(loan);
    }
    return 0;
}
