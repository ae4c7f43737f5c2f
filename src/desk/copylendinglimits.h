#pragma once

// The limits a reader's photocopy loans must stay within: per location group (the reader-group
// limit rows), per location (the rule's max_lend_qty) and per location and circulation type
// (the rule's limt_lend_qty).

#include "codes/circrule.h"
#include "db/resulttable.h"

#include <QString>

// Columns of the reader's photocopy loans as the lending reads them.
namespace CopyLoanColumn {
enum { CertId, Location, CircType, CallNo };
}

// The message that refuses one more loan of an item at `location` with circulation type
// `circType`, or empty when the loan stays within every limit. `loans` holds only the reader's
// loans under photocopy rules.
QString LIB_CopyLendLimitRefusal(const ResultTable& loans, const QString& location, const QString& circType,
                                 const QString& readerType, const CircRule& rule);
