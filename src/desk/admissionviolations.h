#pragma once

// The violation part of the admission check: the reader's open violations are read under a row
// lock, suspensions that have ended are written back, and the reader's violation count is
// brought up to date.

#include <QList>
#include <QStringList>

// The label of a deal flag: "0" 已处理, "1" 停借, "2" 罚款, "3" 罚款并停借; others empty.
QString violationDealLabel(const QString& dealFlag);

// The flag a violation has once its suspension is over: "3" becomes "2" and "1" becomes "0" when
// the suspension ended before today ("yyyy-mm-dd" texts); any other flag stays.
QString flagAfterSuspension(const QString& dealFlag, const QString& suspensionEnd, const QString& today);

// Runs inside the admission's transaction. Reads the open violations, writes the changed flags
// (LT_UPD_reader_volt_lst) and the new count (LT_UPD_reader_new), and returns the rows still open
// in `rows` (vsVolt rows, numbered from 1). On success the transaction is still open. On a failure
// the transaction has been ended (committed after a failed read, rolled back after a failed write),
// the error shown, and -1 is returned.
int refreshReaderViolations(const QString& certId, const QString& today, QList<QStringList>& rows);
