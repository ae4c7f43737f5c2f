#include "copyreturn.h"

#include "admissionreader.h"
#include "codes/codenames.h"
#include "codes/codetables.h"
#include "codes/loancalendar.h"
#include "copylendingpermit.h"
#include "db/database.h"
#include "db/dbretry.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "db/workload.h"
#include "info/bibelements.h"
#include "info/marcreader.h"
#include "lockorder.h"
#include "readerportrait.h"
#include "startup/desksettings.h"

namespace {

// The open loan of the book, with the card that made it.
struct Loan
{
    QString due;
    QString ruleNo;
    QString propNo;
    QString marcRecNo;
    QString location;
    QString callNo;
    QString barcode;
    double price = 0;
    bool priced = false; // price not NULL
    QString cardBarcode;
    QString lentAt;
};

Loan loanFromRow(const ResultTable& rows)
{
    const int row = 2;
    Loan loan;
    loan.due = rows.text(0, row);
    loan.ruleNo = rows.text(1, row);
    loan.propNo = rows.text(2, row);
    loan.marcRecNo = rows.text(3, row);
    loan.location = rows.text(4, row);
    loan.callNo = rows.text(5, row);
    loan.barcode = rows.text(6, row);
    loan.price = rows.number(10, row);
    loan.priced = rows.hasNumber(10, row);
    loan.cardBarcode = rows.text(11, row);
    loan.lentAt = rows.text(12, row);
    return loan;
}

bool select(const QString& statement, ResultTable& rows)
{
    LIB_DB_CurrentStatement() = statement;
    return LIB_DB_Select(LIB_DB_CurrentStatement(), rows) == 0;
}

// Ends the transaction before anything is written; the commit releases the row locks.
void commitAndShow(const QString& message)
{
    LIB_DB_CommitTrans();
    LIB_ShowMsg(message);
}

void commitAndReportError()
{
    LIB_DB_CommitTrans();
    LIB_DB_ShowError();
}

// Reads the loan, the borrower and the rule under lock and works out the charge. False when the
// return was refused (the transaction is then ended and the refusal shown).
bool prepareReturn(DeskContext& desk, const QString& barcode, Loan& loan, CopyReturnOutcome& outcome)
{
    // The item first, as every operation takes its locks (lockorder.h): the loan query below
    // locks its loan row before its item row.
    ResultTable items;
    if (!select(QStringLiteral("SELECT prop_no FROM item WHERE bar_code = ") + LIB_SQLQuote(barcode) +
                    QStringLiteral(" FOR UPDATE"),
                items)) {
        commitAndReportError();
        return false;
    }
    ResultTable loans;
    // With several cards of the reader the card of the highest cert_flag comes first. The
    // locking clause follows the ordering: this server accepts FOR UPDATE only after ORDER BY.
    if (!select(QStringLiteral(
                    "SELECT lend_lst.norm_ret_date, lend_lst.rule_no_f, item.prop_no, item.marc_rec_no, "
                    "item.location, item.call_no, item.bar_code, item.book_stat_code, "
                    "item.book_lend_flag, lend_lst.attachment, item.price, reader_cert.redr_cert_id, "
                    "lend_lst.lend_date FROM lend_lst,item,reader_cert WHERE item.bar_code = ") +
                    LIB_SQLQuote(barcode) +
                    QStringLiteral(
                        " AND item.prop_no = lend_lst.prop_no AND lend_lst.cert_id = reader_cert.cert_id") +
                    QStringLiteral(" ORDER BY reader_cert.cert_flag desc ") + QStringLiteral(" FOR UPDATE "),
                loans)) {
        commitAndReportError();
        return false;
    }
    if (loans.isEmpty()) {
        commitAndShow(QStringLiteral("ELT132"));
        return false;
    }
    loan = loanFromRow(loans);
    const QString copyRule = DeskSettings::current().copyLendRule;
    if (loan.ruleNo != copyRule) {
        commitAndShow(QStringLiteral("E非复印外借图书"));
        return false;
    }

    ResultTable readers;
    if (!select(readerRecordQuery(loan.cardBarcode), readers)) {
        commitAndReportError();
        return false;
    }
    if (readers.isEmpty()) {
        commitAndShow(QStringLiteral("ELT101") + loan.cardBarcode);
        return false;
    }
    desk.reader = readerRecordFromRow(readers, 2);
    desk.reader.cardBarcode = loan.cardBarcode;
    outcome.readerShown = true;
    if (DeskSettings::current().showReaderPhoto == 1) {
        outcome.portraitShown = true;
        if (LIB_LoadReaderPortrait(desk.reader.certId, outcome.portraitPath) != 0) {
            commitAndReportError();
            return false;
        }
    }

    const std::optional<CircRule> rule = LIB_FindCircRule(copyRule);
    if (!rule) {
        commitAndShow(QStringLiteral("ELT119"));
        return false;
    }
    QString due = loan.due;
    if (rule->countsInDays()) {
        const ResultTable openingTimes = OpeningTimes(loan.location);
        if (LIB_ClosedEveryWeekDay(openingTimes)) {
            commitAndShow(LIB_ClosedEveryDayMessage(loan.location));
            return false;
        }
        due = AdjustDueDate(due, ClosingPeriods(loan.location), openingTimes);
    }
    const QString now = LIB_DB_ServerDate();
    if (now.isEmpty()) {
        commitAndReportError();
        return false;
    }
    outcome.charge = LIB_OverdueCharge(*rule, due, now, LIB_GetSysPara(9).toDouble());
    return true;
}

// Records the return with its charge and the workload in the transaction of prepareReturn, so
// that the loan stays locked until it is closed.
bool recordReturn(const DeskContext& desk, const Loan& loan, const OverdueCharge& charge)
{
    LIB_DB_CurrentStatement() =
        QStringLiteral("LT_retbook_new ") + LIB_SQLQuote(loan.propNo) + QLatin1Char(',') +
        LIB_SQLQuote(desk.reader.certId) + QLatin1Char(',') + LIB_SQLQuote(charge.dueString) +
        QLatin1Char(',') + QString::number(charge.count) + QLatin1Char(',') + charge.fineText() +
        QLatin1Char(',') + LIB_SQLQuote(charge.unit) + QLatin1Char(',') + LIB_SQLQuote(charge.description) +
        QLatin1Char(',') + LIB_SQLQuote(desk.worker);
    if (LIB_DB_CallProc(LIB_DB_CurrentStatement(), 0) != 0) {
        LIB_DB_Rollback();
        LIB_DB_ShowError();
        return false;
    }
    LIB_AddWorkload(QStringLiteral("425"), 0, 1, 0); // a failed count leaves the return standing
    if (LIB_DB_CommitTrans() != 0) {
        LIB_DB_ShowError();
        return false;
    }
    return true;
}

CopyReturnLine lineFor(const Loan& loan, const OverdueCharge& charge, const MarcRecord& record)
{
    QString overdue;
    if (charge.count > 0)
        overdue = QString::number(charge.count) +
                  (charge.unit == QLatin1String("D") ? QStringLiteral("天") : QStringLiteral("小时"));
    return {loan.barcode,
            LIB_GetBibElement(record, BibTitle),
            loan.callNo,
            LIB_LocationName(loan.location),
            loan.lentAt,
            loan.due,
            overdue,
            LIB_GetBibElement(record, BibResponsible),
            LIB_GetBibElement(record, BibPublisher),
            loan.ruleNo};
}

CopyReturnOutcome returnOnce(DeskContext& desk, const QString& barcode)
{
    CopyReturnOutcome outcome;
    ResultTable items;
    if (!select(
            QStringLiteral("SELECT item.location, marc.marc_use_flag FROM item,marc WHERE item.bar_code = ") +
                LIB_SQLQuote(barcode) + QStringLiteral(" AND item.marc_rec_no = marc.marc_rec_no"),
            items)) {
        LIB_DB_ShowError();
        return outcome;
    }
    if (items.isEmpty()) {
        LIB_ShowMsg(QStringLiteral("ELT130"));
        return outcome;
    }
    const QString refusal =
        LIB_DeskPermitRefusal(items.text(0, 2), desk.location, LocationColumn::ReturnLocations);
    if (!refusal.isEmpty()) {
        LIB_ShowMsg(QStringLiteral("ELT131") + LIB_LocationNames(refusal));
        return outcome;
    }
    const QString marcUseFlag = items.text(1, 2);

    Loan loan;
    LIB_DB_BeginTrans();
    if (!prepareReturn(desk, barcode, loan, outcome) || !recordReturn(desk, loan, outcome.charge))
        return outcome;
    outcome.returned = true;

    QHash<QString, MarcRecord> records;
    if (MarcReader::readMany({loan.marcRecNo}, records) != 0)
        LIB_DB_ShowError(); // the return stands; the line goes without its texts
    outcome.line = lineFor(loan, outcome.charge, records.value(loan.marcRecNo));

    if (loan.priced && LIB_MicroYuan(loan.price) >= LIB_MicroYuan(LIB_GetSysPara(6).toDouble()))
        LIB_ShowMsg(QStringLiteral("ILT105") + LIB_CentsText(LIB_CentsHalfAway(LIB_MicroYuan(loan.price))));
    if (marcUseFlag == QLatin1String("2"))
        LIB_ShowMsg(QStringLiteral("ILT102"));
    desk.fineReader = desk.reader.certId;
    return outcome;
}

} // namespace

QStringList CopyReturnLine::cells() const
{
    return {barcode, title, callNo, locationName, lentAt, due, overdue, author, publisher, ruleNo};
}

CopyReturnOutcome ReturnPhotocopy(DeskContext& desk, const QString& barcode)
{
    return DbRetryOnce([&] { return returnOnce(desk, barcode); });
}
