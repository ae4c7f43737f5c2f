#pragma once

// The purge of old reading records: every row of the current reading mode's log stamped on a
// day up to and including the chosen one. Only the three recording modes (0 book counting,
// 1 reader check-in, 2 reader and book registration) keep a log; in the others the purge has
// nothing to delete and runs no statement.

#include <QString>

// The mode's log table, or empty for a mode without one.
QString readingLogTable(int deskMode);

// "删除历史记录" followed by "-(图书计次)", "-(读者登到)" or "-(读者图书登记)"; the bare title
// in a mode without a log.
QString readingLogPurgeTitle(int deskMode);

// The DELETE for the mode and the day ("yyyy-mm-dd", trimmed here); empty for a mode without a log.
QString readingLogPurgeStatement(int deskMode, const QString& day);

// "确定(&O)" of the purge window: the operator's right 4023 (its message when missing), the
// question "Q是否确认删除历史记录?" (Cancel the default), then the DELETE in one transaction and
// "ISC102". 1 when rows were purged, 0 when nothing was done (no right, no log in this mode, the
// question answered Cancel), -1 after the database error was shown and the transaction rolled back.
int purgeReadingLog(int deskMode, const QString& day);
