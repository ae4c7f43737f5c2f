// Waiving selected charges (cmdCancelExceed of the fine window); the window then lists anew.
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/workload.h"
#include "fineamounts.h"
#include "finesettlement.h"
#include "finestatements.h"
#include "overduecharge.h"
#include "startup/environment.h"

namespace {

constexpr const char* Savepoint = "fine_waive";

} // namespace

FineSettlement::Reply FineSettlement::waive(Form& form, const QList<int>& lines)
{
    const Use use(*this);
    Reply reply;
    const auto failed = [this, &reply] {
        failUndoing(Savepoint);
        return reply;
    };
    QList<int> waived; // in grid order, settleable lines only
    for (int index = 0; index < m_charges.lines.size(); ++index) {
        if (lines.contains(index) && m_charges.lines.at(index).settleable)
            waived << index;
    }
    if (waived.isEmpty() || !hasRight(QStringLiteral("4024")) || !takeBillNumber(form, reply))
        return reply;
    if (say(QStringLiteral("WLT285")) != 1) {
        form.billNo.clear();
        return reply;
    }

    if (!LIB_DB_InTransaction()) {
        reply.close = true; // the connection was lost and made anew: the lock has gone
        return reply;
    }
    // Locks: the charges (held), the reader's cards and row, the workload (lockorder.h).
    if (LIB_DB_Execute(QStringLiteral("SAVEPOINT ") + QLatin1String(Savepoint)) != 0) {
        LIB_DB_ShowError();
        return reply;
    }
    ResultTable rows;
    if (fineSelect(
            QStringLiteral("SELECT reader_cert.redr_cert_id, reader.cert_id FROM reader_cert, reader WHERE "
                           "reader.cert_id = ") +
                LIB_SQLQuote(m_certId) +
                QStringLiteral(" AND reader_cert.cert_id = reader.cert_id AND reader_cert.cert_flag <> '0' "
                               "FOR UPDATE"),
            rows) != 0)
        return failed();
    const QString time = LIB_GetEnv(0).toString();
    if (time.isEmpty())
        return failed();
    qint64 waivedCents = 0;
    for (int index : waived) {
        const FineChargeLine& line = m_charges.lines.at(index);
        if (fineCall(fineChargeUpdate(line.propNo, m_certId, line.lendDate, QStringLiteral(" null"),
                                      QStringLiteral("0.00"), form.billNo, time, form.remark)) != 0)
            return failed();
        waivedCents += line.fineCents;
    }
    if (fineSelect(QStringLiteral(" SELECT reader.debt_flag FROM reader WHERE reader.cert_id = ") +
                       LIB_SQLQuote(m_certId),
                   rows) != 0)
        return failed();
    const QString debt = LIB_CentsText(LIB_MoneyCents(rows.number(0, 2)) - waivedCents);
    if (fineCall(fineReaderUpdate(m_certId, {{18, debt}}, QStringLiteral("null"))) != 0)
        return failed();
    LIB_AddWorkload(QStringLiteral("419"), 0, long(waived.size()), fineYuan(waivedCents));
    if (fineCall(fineAccountEntry(m_certId, QStringLiteral("6"), QStringLiteral("0"), time, form.billNo,
                                  LIB_CentsText(waivedCents))) != 0)
        return failed();
    if (LIB_DB_CommitTrans() != 0) {
        LIB_DB_ShowError(); // nothing was recorded, and the window has lost its lock
        reply.close = true;
        return reply;
    }
    m_desk.fineAmount = fineYuan(LIB_MoneyCents(m_desk.fineAmount) - waivedCents);
    form.billNo.clear();
    // Listed again under a new lock; a list that cannot be loaded closes the window.
    reply.reloaded = true;
    reply.close = !loadCharges();
    return reply;
}
