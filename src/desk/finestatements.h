#pragma once

// The statements of the fine window: the procedure calls that settle or waive a charge, update
// the reader and write the account book, as the settlement and the waiver send them. Values are
// quoted here; amounts are handed in as "0.00" texts.

#include "db/resulttable.h"

#include <QMap>
#include <QString>

// Runs a query or a procedure call as the current statement (LIB_DB_Select, LIB_DB_CallProc).
int fineSelect(const QString& sql, ResultTable& rows);
int fineCall(const QString& statement);

// LT_UPD_exceed_fine_lst for one charge: prop_no, cert_id, lend_date, eight `null`s, the amount
// paid (unquoted), the bill number, the date or payment mode, "1" (settled), the worker, the
// remark, two NULLs.
QString fineChargeUpdate(const QString& propNo, const QString& certId, const QString& lendDate,
                         const QString& null, const QString& amount, const QString& bill,
                         const QString& dateOrPayMode, const QString& remark);

// LT_UPD_reader_new for a reader: the 30 values after cert_id, each `null` unless given by its
// position (1-based: 18 the outstanding total, 29 the prepaid balance).
QString fineReaderUpdate(const QString& certId, const QMap<int, QString>& values, const QString& null);

// INSERT_DEPOSIT_ACCOUNT_LST: an entry of the reader's account book (type "5" a fine paid, "6" a
// fine reduced or waived), flagged "1", by the operator.
QString fineAccountEntry(const QString& certId, const QString& type, const QString& payMode,
                         const QString& time, const QString& bill, const QString& amount);

// Cents as yuan, for the workload count and the card component.
inline double fineYuan(qint64 cents)
{
    return double(cents) / 100;
}
