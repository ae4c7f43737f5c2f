#include "finesettlement.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "fineamounts.h"
#include "finestatements.h"
#include "overduecharge.h"
#include "startup/environment.h"
#include "startup/operatorlogin.h"

namespace {

// Debts below a tenth are rounding remainders, nothing to settle.
constexpr qint64 SmallestSettlement = 10;

} // namespace

FineSettlement::Use::Use(const FineSettlement& settlement) : m_previous(&DbSession::current())
{
    DbSession::setCurrent(settlement.m_session.get());
}

FineSettlement::Use::~Use()
{
    DbSession::setCurrent(m_previous);
}

FineSettlement::FineSettlement(DeskContext& desk)
    : m_desk(desk), m_deskSession(&DbSession::current()), m_session(std::make_unique<DbSession>())
{
}

FineSettlement::~FineSettlement()
{
    close();
}

QString FineSettlement::prepaidText() const
{
    return LIB_CentsText(m_prepaidCents);
}

int FineSettlement::say(const QString& message) const
{
    // A box runs an event loop: whatever else runs meanwhile must meet the desk's session.
    DbSession* own = &DbSession::current();
    DbSession::setCurrent(m_deskSession);
    const int answer = LIB_ShowMsg(message);
    DbSession::setCurrent(own);
    return answer;
}

bool FineSettlement::hasRight(const QString& code) const
{
    if (LIB_HasRight(code, 0, false))
        return true;
    say(QStringLiteral("ECM504"));
    return false;
}

bool FineSettlement::open(bool readOutstanding)
{
    m_certId = m_desk.fineReader;
    m_session->setConnectionValues(m_deskSession->connectionValues());
    const Use use(*this);
    ResultTable rows;
    if (m_session->connect() != 0 ||
        (readOutstanding &&
         fineSelect(QStringLiteral("SELECT debt_flag FROM reader WHERE cert_id=") + LIB_SQLQuote(m_certId),
                    rows) != 0)) {
        LIB_DB_ShowError();
        return false;
    }
    if (readOutstanding)
        m_desk.fineAmount = rows.number(0, 2);
    if (fineSelect(QStringLiteral(" select obligate,name from reader where cert_id = ") +
                       LIB_SQLQuote(m_certId),
                   rows) != 0) {
        LIB_DB_ShowError();
        return false;
    }
    m_prepaidCents = LIB_MoneyCents(rows.number(0, 2));
    m_readerName = rows.text(1, 2);
    return loadCharges();
}

bool FineSettlement::loadCharges()
{
    // Locks: the charge rows, without waiting, held for the window's life (lockorder.h).
    LIB_DB_BeginTrans();
    QString fineLocations;
    if (LIB_WorkstationFineLocations(fineLocations) != 0 ||
        LIB_ReadFineCharges(m_certId, fineLocations, m_charges) != 0) {
        LIB_DB_Rollback();
        LIB_DB_ShowError();
        return false;
    }
    m_view = View();
    m_view.total = LIB_CentsText(m_charges.totalCents);
    m_view.settleable = LIB_CentsText(m_charges.settleableCents);
    qint64 proposal = 0;
    m_view.proposes =
        LIB_ProposedFineCents(m_charges.settleableCents, LIB_GetSysPara(9).toDouble(), proposal);
    m_view.proposal = LIB_CentsText(proposal);

    // Charges that do not add up to the reader's outstanding total put the total right instead.
    if (m_charges.totalCents != LIB_MoneyCents(m_desk.fineAmount)) {
        LIB_DB_CurrentStatement() = QStringLiteral("update reader set debt_flag = ") + m_view.total +
                                    QStringLiteral(" where cert_id = ") + LIB_SQLQuote(m_certId);
        if (LIB_DB_Execute(LIB_DB_CurrentStatement()) != 0 || LIB_DB_CommitTrans() != 0) {
            LIB_DB_Rollback();
            LIB_DB_ShowError();
            return false;
        }
        m_desk.fineAmount = fineYuan(m_charges.totalCents);
        return false;
    }
    const qint64 remaining = m_charges.totalCents - m_charges.settleableCents;
    if (remaining > 0)
        m_view.remarkAddition = QStringLiteral("本次余额(") + LIB_CentsText(remaining) + QLatin1Char(')');
    m_view.settleEnabled =
        m_charges.settleableCents >= SmallestSettlement && LIB_HasRight(QStringLiteral("4005"), 0, false);
    m_view.amountEditable = LIB_HasRight(QStringLiteral("4024"), 0, false);
    return true;
}

bool FineSettlement::takeBillNumber(Form& form, Reply& reply)
{
    if (form.billNo.isEmpty()) // the server's date and time as 14 digits
        form.billNo = LIB_GetEnv(0).toString().remove(QLatin1Char('-')).remove(QLatin1Char(':'));
    ResultTable rows;
    if (fineSelect(QStringLiteral("SELECT COUNT(*) FROM deposit_account_lst WHERE bill_no = ") +
                       LIB_SQLQuote(form.billNo) + QStringLiteral(" AND bill_no IS NOT NULL"),
                   rows) != 0) {
        LIB_DB_ShowError();
        return false;
    }
    if (rows.number(0, 2) > 0) {
        say(QStringLiteral("E票据号已存在!"));
        reply.focus = Focus::BillNo;
        return false;
    }
    return true;
}

bool FineSettlement::undo(const char* savepoint)
{
    // The window's lock was taken before the savepoint and stays.
    const ErrorRecord failure = LIB_DB_Error();
    LIB_DB_Execute(QStringLiteral("ROLLBACK TO SAVEPOINT ") + QLatin1String(savepoint));
    LIB_DB_Error() = failure;
    return false;
}

bool FineSettlement::failUndoing(const char* savepoint)
{
    undo(savepoint);
    LIB_DB_ShowError();
    return false;
}

bool FineSettlement::refuseUndoing(const char* savepoint, const QString& message)
{
    undo(savepoint);
    say(message);
    return false;
}

QString FineSettlement::prepaidRefusal(qint64 balanceCents)
{
    return QStringLiteral("E读者预付款不足(") + QString::number(fineYuan(balanceCents)) +
           QStringLiteral("),不能罚款!");
}

void FineSettlement::cancel()
{
    m_desk.fineAmount = fineYuan(m_charges.totalCents);
    if (m_session->inTransaction()) {
        const Use use(*this);
        LIB_DB_Rollback();
    }
    close();
}

void FineSettlement::close()
{
    if (!m_session->isConnected())
        return;
    const Use use(*this);
    // All the transaction still holds is the lock; a commit that fails leaves nothing behind.
    if (m_session->inTransaction() && LIB_DB_CommitTrans() != 0)
        LIB_DB_Error().clear();
    m_session->disconnect();
}
