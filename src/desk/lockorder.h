#pragma once

// The order in which the desk's operations take their locks. Every operation takes the locks it
// needs in this order (skipping those it does not need), so that two desks never wait for each
// other in a circle; the stored procedures follow it too (sql/procedures.sql).
//
//   0. exceed_fine_lst rows           the fine window (the reader's unsettled charges, taken
//                                      with NOWAIT when it lists them and held on its own
//                                      connection until it closes: nobody ever waits for them,
//                                      a second window is refused at once)
//   1. the reader's photocopy-lending lock (a transaction-scoped advisory lock on the reader's
//      certificate number: photocopy lending only)
//   2. item rows                       lending (LT_lendbook_new), return (first statement),
//                                      counting and registration (their procedures)
//   3. lend_lst rows                   lending (new loan), return (loan query, LT_retbook_new)
//   4. reader_cert and reader rows     admission (reader query), return (borrower query),
//                                      lending (the loan's key check and the reader's counts),
//                                      fine settlement (reader row) and waiver (cards and row)
//   5. reader_volt_lst rows            admission (violation query)
//   6. call_no_lst rows                lending, counting and registration (their counts)
//   7. wkr_job_qty rows                the workload count, last in every operation
//
// Should the server still find a deadlock or fail to serialise a transaction, the operation is
// rolled back and runs once more (DbRetryOnce); only a second failure reaches the operator.

#include <QString>

// The statement that takes lock 1 for a reader's certificate number (already quoted).
inline QString readerLendingLockStatement(const QString& quotedCertId)
{
    // 424 is photocopy lending's job code: it keeps these keys apart from other advisory locks.
    return QStringLiteral("SELECT pg_advisory_xact_lock(424, hashtext(") + quotedCertId +
           QStringLiteral("))");
}
