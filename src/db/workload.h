#pragma once

#include <QString>

// Adds to the operator's workload for a job code (XT_wkr_job_qty). Silent on failure (-1, the
// reason in the log); inside a transaction a failed count leaves the caller's work standing.
int LIB_AddWorkload(const QString& jobCode, long count1, long count2, double amount);
