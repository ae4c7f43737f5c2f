#pragma once

#include "admissionresult.h"

// The reader's photocopy loans (rules "COPY…") in lending order, as vsCopyLend rows, with titles,
// authors and publishers from the items' MARC records (read in one go). A loan whose due date lies
// before today is overdue. 0, or -1 with the error record filled (the caller reports it).
int listCopyLoans(const QString& certId, const QString& today, QList<CopyLoanRow>& rows);
