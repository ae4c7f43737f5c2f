#include "copylending.h"

#include "codes/codenames.h"
#include "codes/codetables.h"
#include "codes/fixedcodenames.h"
#include "copylendinglimits.h"
#include "copylendingpermit.h"
#include "db/database.h"
#include "db/dbretry.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "db/workload.h"
#include "itemlookup.h"
#include "lockorder.h"
#include "overduecharge.h"
#include "startup/desksettings.h"

namespace {

// Items without a fixed location carry this code; they belong to the desk that has them in hand.
const QString placeholderLocation = QStringLiteral("99999");

bool select(const QString& statement, ResultTable& rows)
{
    LIB_DB_CurrentStatement() = statement;
    return LIB_DB_Select(LIB_DB_CurrentStatement(), rows) == 0;
}

bool callProc(const QString& statement)
{
    LIB_DB_CurrentStatement() = statement;
    return LIB_DB_CallProc(LIB_DB_CurrentStatement(), 0) == 0;
}

// Whether the book is out already: a lent flag counts only while the loan itself exists.
// -1 after a failed query, 1 when lent, 0 otherwise.
int lentAlready(const ItemDetails& item)
{
    if (item.lendFlag != QLatin1String("1"))
        return 0;
    ResultTable loans;
    if (!select(QStringLiteral("SELECT lend_lst.prop_no FROM lend_lst WHERE prop_no = ") +
                    LIB_SQLQuote(item.propNo),
                loans))
        return -1;
    return loans.isEmpty() ? 0 : 1;
}

// The checks before the reader's loans are locked; true when lending may go on.
bool itemMayBeLent(const DeskContext& desk, const ItemDetails& item)
{
    const QString refusal =
        LIB_DeskPermitRefusal(item.location, desk.location, LocationColumn::LendLocations);
    if (!refusal.isEmpty()) {
        LIB_ShowMsg(QStringLiteral("ELT111") + LIB_LocationNames(refusal));
        return false;
    }
    switch (lentAlready(item)) {
    case -1:
        LIB_DB_ShowError();
        return false;
    case 1:
        LIB_ShowMsg(QStringLiteral("ELT113"));
        return false;
    default:
        break;
    }
    if (item.lendFlag == QLatin1String("3")) {
        LIB_ShowMsg(QStringLiteral("E该书被委托借出,请使用委托管理模块处理!"));
        return false;
    }
    return true;
}

// Ends the transaction before the loan is written: the commit releases the reader's lending lock
// and writes nothing.
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

// The failure of LT_lendbook_new when another desk lent the book since it was looked up: the
// loan list's key holds one loan per book.
bool lostLendingRace()
{
    const ErrorRecord& error = LIB_DB_Error();
    return error.oracleNumber == OraNumber::UniqueViolated &&
           error.description.contains(QLatin1String("LEND_LST_PK"));
}

// The price notice "ILT104", when the book has a price of at least system parameter 6.
void showPriceNotice(const ItemDetails& item)
{
    if (item.priced && LIB_MicroYuan(item.price) >= LIB_MicroYuan(LIB_GetSysPara(6).toDouble()))
        LIB_ShowMsg(QStringLiteral("ILT104") + LIB_CentsText(LIB_CentsHalfAway(LIB_MicroYuan(item.price))));
}

// Locks the reader's lending, checks the limits, dates the loan and records it, all in one
// transaction. Returns the due date sent to the procedure, empty when refused.
QString recordLoan(DeskContext& desk, const ItemDetails& item)
{
    const QString certId = LIB_SQLQuote(desk.reader.certId);
    LIB_DB_BeginTrans();
    // Two desks lending to one reader wait for each other here, so that the counts below cannot
    // be overtaken; a reader without any loan yet has no loan row to lock. The lock is the
    // reader's lending lock, not a row: an admission of the same reader at another desk, which
    // locks the reader's row, never waits for it (lockorder.h).
    ResultTable locked;
    if (!select(readerLendingLockStatement(certId), locked)) {
        commitAndReportError();
        return {};
    }
    ResultTable loans;
    if (!select(
            QStringLiteral("SELECT lend_lst.cert_id, item.location, call_no_lst.circ_type_code, "
                           "call_no_lst.call_no FROM lend_lst, item, call_no_lst WHERE lend_lst.cert_id = ") +
                certId +
                QStringLiteral(" AND lend_lst.prop_no = item.prop_no AND item.call_no = call_no_lst.call_no "
                               "AND lend_lst.rule_no_f like ") +
                LIB_SQLQuote(QStringLiteral("COPY%")),
            loans)) {
        commitAndReportError();
        return {};
    }
    const std::optional<CircRule> rule = LIB_FindCircRule(DeskSettings::current().copyLendRule);
    if (!rule) {
        commitAndShow(QStringLiteral("ELT119"));
        return {};
    }
    const QString refusal =
        LIB_CopyLendLimitRefusal(loans, item.location, item.circTypeCode, desk.reader.typeCode, *rule);
    if (!refusal.isEmpty()) {
        commitAndShow(refusal);
        return {};
    }

    const QString now = LIB_DB_ServerDate();
    if (now.isEmpty()) {
        commitAndReportError();
        return {};
    }
    desk.loanCalendar = LoanCalendar::forLocation(item.location);
    if (rule->countsInDays() && LIB_ClosedEveryWeekDay(desk.loanCalendar.openingTimes)) {
        commitAndShow(LIB_ClosedEveryDayMessage(item.location));
        return {};
    }
    const QString due = LIB_NewLoanDueDate(*rule, now, desk.loanCalendar);

    // The price notice waits for the operator after the transaction has ended, so that no other
    // desk waits on this operator; what the operator sees comes in the same order as ever: the
    // notice, then the outcome.
    const QString lend = QStringLiteral("LT_lendbook_new ") + certId + QLatin1Char(',') +
                         LIB_SQLQuote(item.propNo) + QLatin1Char(',') + LIB_SQLQuote(due) + QLatin1Char(',') +
                         LIB_SQLQuote(rule->ruleNo) + QLatin1Char(',') + LIB_SQLQuote(QString()) +
                         QLatin1Char(',') + LIB_SQLQuote(desk.worker) + QStringLiteral(",'0','0'");
    if (!callProc(lend)) {
        LIB_DB_Rollback();
        if (lostLendingRace()) {
            LIB_DB_Error().clear();
            showPriceNotice(item);
            LIB_ShowMsg(QStringLiteral("ELT113"));
        } else {
            if (!DbRetryRequestedBy(LIB_DB_Error())) // else the notice comes with the second run
                showPriceNotice(item);
            LIB_DB_ShowError();
        }
        return {};
    }
    LIB_AddWorkload(QStringLiteral("424"), 0, 1, 0); // a failed count leaves the loan standing
    const bool committed = LIB_DB_CommitTrans() == 0;
    showPriceNotice(item);
    if (!committed) {
        LIB_DB_ShowError();
        return {};
    }
    return due;
}

// Moves a placeholder item to the desk; on failure the loan stands and the item keeps "99999".
void relocate(const QString& propNo, const QString& deskLocation)
{
    LIB_DB_BeginTrans();
    if (!callProc(QStringLiteral("LT_ModiLoca ") + LIB_SQLQuote(propNo) + QLatin1Char(',') +
                  LIB_SQLQuote(deskLocation)))
        LIB_DB_Rollback();
    else if (LIB_DB_CommitTrans() == 0)
        return;
    LIB_DB_Error().clear();
}

CopyLendOutcome lendOnce(DeskContext& desk, const QString& barcode)
{
    CopyLendOutcome outcome;
    ResultTable items;
    if (!select(itemLookupStatement(barcode), items)) {
        LIB_DB_ShowError();
        return outcome;
    }
    if (items.isEmpty()) {
        // The answer to the question changes nothing: the scan box is emptied either way.
        LIB_ShowMsg(LIB_GetSysPara(7).toBool() ? QStringLiteral("QLT101") : QStringLiteral("ELT130"));
        return outcome;
    }

    const ItemDetails previous = desk.item;
    desk.item = itemFromLookupRow(items);
    const bool placeholder = desk.item.location == placeholderLocation;
    if (placeholder)
        desk.item.location = desk.location;
    if (!itemMayBeLent(desk, desk.item))
        return outcome;

    const QString due = recordLoan(desk, desk.item);
    if (due.isEmpty())
        return outcome;
    if (placeholder)
        relocate(desk.item.propNo, desk.location);

    const QString lentAt = LIB_DB_ServerDate();
    if (lentAt.isEmpty())
        LIB_DB_ShowError();
    readItemTexts(desk.item, previous); // a failed read is reported; the line goes without texts
    outcome.failed = false;
    outcome.line = {desk.item.barcode,
                    desk.item.title,
                    desk.item.callNo,
                    lentAt,
                    due,
                    LIB_LocationName(desk.item.location),
                    LIB_ItemStatusName(desk.item.statusCode),
                    desk.item.author,
                    desk.item.publisher,
                    DeskSettings::current().copyLendRule};
    return outcome;
}

} // namespace

QStringList CopyLendLine::cells() const
{
    return {barcode, title, callNo, lentAt, due, locationName, statusName, author, publisher, ruleNo};
}

CopyLendOutcome LendForPhotocopy(DeskContext& desk, const QString& barcode)
{
    return DbRetryOnce([&] { return lendOnce(desk, barcode); });
}
