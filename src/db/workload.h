#pragma once

#include <QString>

// Adds to the operator's workload for a job code (XT_wkr_job_qty). Silent on failure (-1, the
// reason in the log); inside a transaction a failed count leaves the caller's work standing.
int LIB_AddWorkload(const QString& jobCode, long count1, long count2, double amount);

// The same for a given worker and day ("yyyy-mm-dd"): work done earlier and recorded now (the
// offline journal's scans) counts for whoever scanned it, on the day it was scanned.
int LIB_AddWorkloadFor(const QString& worker, const QString& day, const QString& jobCode, long count1,
                       long count2, double amount);
