// Settling the settleable charges with the actual amount (cmdOK of the fine window).
#include "campuscard.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/workload.h"
#include "fineamounts.h"
#include "finereceipt.h"
#include "finesettlement.h"
#include "finestatements.h"
#include "overduecharge.h"
#include "startup/desksettings.h"
#include "startup/environment.h"

namespace {

constexpr const char* Savepoint = "fine_settle";

// The actual amount may round the settleable total up by this much.
constexpr qint64 RoundingAllowance = 5;
// An actual amount this far below the settleable total is a reduction that needs right 4024.
constexpr qint64 SmallestReduction = 10;

} // namespace

FineSettlement::Reply FineSettlement::settle(Form& form)
{
    const Use use(*this);
    Reply reply;
    qint64 actual = 0;
    if (!LIB_ParseMoneyText(form.amount, actual)) {
        say(QStringLiteral("E实罚款额输入错误!"));
        reply.focus = Focus::Amount;
        return reply;
    }
    form.amount = LIB_CentsText(actual);
    if (!takeBillNumber(form, reply) || say(QStringLiteral("WLT284")) != 1)
        return reply;

    const qint64 settleable = m_charges.settleableCents;
    const qint64 maximum = settleable + RoundingAllowance;
    if (actual <= settleable - SmallestReduction) {
        if (!hasRight(QStringLiteral("4024")))
            return reply;
        if (actual == 0) {
            say(QStringLiteral("E实际罚款额为0,请使用免罚"));
            reply.focus = Focus::Amount;
            return reply;
        }
    }
    if (actual > maximum) {
        say(QStringLiteral("E实际罚款额最大超过可罚款额"));
        form.amount = LIB_CentsText(maximum);
        reply.focus = Focus::Amount;
        return reply;
    }
    if (form.payMode == PayFromPrepayment && m_prepaidCents - actual < 0) {
        say(prepaidRefusal(m_prepaidCents));
        return reply;
    }

    const Recording recording = record(form, actual);
    reply.close = recording != Recording::Undone;
    // Printed once the settlement stands, so that no lock waits for the printer.
    if (recording == Recording::Committed && DeskSettings::current().printFineNotice == 1) {
        handOverReceipt(form, actual, settleable - actual);
        reply.printReceipt = true;
    }
    return reply;
}

FineSettlement::Recording FineSettlement::record(const Form& form, qint64 actual)
{
    if (!LIB_DB_InTransaction())
        return Recording::Lost; // the connection was lost and made anew: the lock has gone
    // Locks: the charges (held), the reader row, the workload (lockorder.h).
    if (LIB_DB_Execute(QStringLiteral("SAVEPOINT ") + QLatin1String(Savepoint)) != 0) {
        LIB_DB_ShowError();
        return Recording::Undone;
    }
    const auto failed = [this] {
        failUndoing(Savepoint);
        return Recording::Undone;
    };
    const auto refused = [this](const QString& message) {
        refuseUndoing(Savepoint, message);
        return Recording::Undone;
    };
    const qint64 settleable = m_charges.settleableCents;
    m_time = LIB_GetEnv(0).toString();
    if (m_time.isEmpty() || !settleRows(form, actual))
        return failed();

    // The reader row is read under its lock, so that a return recorded meanwhile at another desk
    // is neither lost nor paid for unseen.
    ResultTable reader;
    if (fineSelect(QStringLiteral("SELECT debt_flag, obligate FROM reader WHERE reader.cert_id = ") +
                       LIB_SQLQuote(m_certId) + QStringLiteral(" FOR UPDATE"),
                   reader) != 0)
        return failed();
    const qint64 debt = LIB_MoneyCents(reader.number(0, 2));
    const qint64 balance = LIB_MoneyCents(reader.number(1, 2));
    if (debt <= 0)
        return refused(QStringLiteral("E读者无未处理超期罚款记录,请检查!"));
    QMap<int, QString> values{{18, LIB_CentsText(qMax<qint64>(debt - settleable, 0))}};
    if (form.payMode == PayFromPrepayment) {
        if (balance - actual < 0)
            return refused(prepaidRefusal(balance));
        values.insert(29, LIB_CentsText(balance - actual));
    }
    if (fineCall(fineReaderUpdate(m_certId, values, QStringLiteral("NULL"))) != 0)
        return failed();
    if (form.payMode == PayByCard && DeskSettings::current().campusCard == 1 && !chargeCard(actual))
        return Recording::Undone;
    if (!recordAccounts(form, actual, settleable - actual))
        return failed();

    if (LIB_DB_CommitTrans() != 0) {
        LIB_DB_ShowError(); // nothing was recorded, and the window has lost its lock
        return Recording::Lost;
    }
    m_desk.fineAmount = fineYuan(m_charges.totalCents - settleable);
    return Recording::Committed;
}

bool FineSettlement::settleRows(const Form& form, qint64 actualCents)
{
    QList<qint64> fines;
    for (const FineChargeLine& line : m_charges.lines) {
        if (line.settleable)
            fines << line.fineCents;
    }
    m_charged = LIB_ApportionFine(fines, actualCents);
    qsizetype settled = 0;
    for (const FineChargeLine& line : m_charges.lines) {
        if (!line.settleable)
            continue;
        const QString statement = fineChargeUpdate(
            line.propNo, m_certId, line.lendDate, QStringLiteral("NULL"),
            LIB_CentsText(m_charged.at(settled++)), form.billNo, QString::number(form.payMode),
            form.remark + QStringLiteral(" LT2(") + line.remark + ')');
        if (fineCall(statement) != 0)
            return false;
    }
    return true;
}

bool FineSettlement::chargeCard(qint64 actualCents)
{
    // The settled reader's own identifiers: the certificate and the valid card.
    ResultTable cards;
    if (fineSelect(QStringLiteral("SELECT redr_cert_id FROM reader_cert WHERE cert_id=") +
                       LIB_SQLQuote(m_certId) + QStringLiteral(" AND cert_flag=") +
                       LIB_SQLQuote(QStringLiteral("1")),
                   cards) != 0)
        return failUndoing(Savepoint);
    CampusCard* card = LIB_CampusCard();
    int result = 1;
    QString error = QStringLiteral("一卡通接口未创建，请重新连接一卡通");
    if (card) {
        card->charge(m_certId, cards.text(0, 2), fineYuan(actualCents),
                     LIB_CardChargeMode(DeskSettings::current(), m_charges.settleableCents), m_time,
                     LIB_GetEnv(4).toString() + QStringLiteral(",超期罚款"), result);
        error = card->errorText();
    }
    return result == 0 || refuseUndoing(Savepoint, QStringLiteral("E刷卡出错：") + error);
}

bool FineSettlement::recordAccounts(const Form& form, qint64 actualCents, qint64 reductionCents)
{
    const int settled = m_charges.settleableCount;
    LIB_AddWorkload(QStringLiteral("415"), 0, settled, fineYuan(actualCents));
    if (reductionCents > 0)
        LIB_AddWorkload(QStringLiteral("419"), 0, settled, fineYuan(reductionCents));
    if (fineCall(fineAccountEntry(m_certId, QStringLiteral("5"), QString::number(form.payMode), m_time,
                                  form.billNo, LIB_CentsText(actualCents))) != 0)
        return false;
    return reductionCents <= 0 ||
           fineCall(fineAccountEntry(m_certId, QStringLiteral("6"), QStringLiteral("0"), m_time,
                                     form.billNo + QLatin1Char('C'), LIB_CentsText(reductionCents))) == 0;
}

void FineSettlement::handOverReceipt(const Form& form, qint64 actualCents, qint64 reductionCents)
{
    FineReceipt receipt;
    receipt.readerName = m_readerName;
    receipt.certId = m_certId;
    receipt.billNo = form.billNo;
    receipt.payMode = form.payMode;
    receipt.time = m_time;
    receipt.worker = LIB_GetEnv(4).toString();
    receipt.actualCents = actualCents;
    receipt.reductionCents = reductionCents;
    qsizetype settled = 0;
    for (const FineChargeLine& line : m_charges.lines) {
        if (line.settleable)
            receipt.lines.append({line, m_charged.value(settled++)});
    }
    LIB_HandOverFineReceipt(receipt);
}
