#pragma once

#include <QString>
#include <functional>

struct ErrorRecord;

// Shows the message for the error record (or the pending program fault), writes the log lines and
// clears the record. After a lost connection it offers to reconnect. Returns 0, or -1 for fault 364,
// which is passed over silently.
int LIB_DB_ShowError();

// The message the reporter shows for a select or statement failure (without the reconnect case).
QString LIB_DB_ErrorMessage(long oracleNumber, const QString& description);

// Called by LIB_DB_ShowError with the record before it is shown and cleared: a program without a
// window (readdesk-report) prints the server's own text this way. nullptr removes it.
void LIB_DB_SetErrorObserver(std::function<void(const ErrorRecord&)> observer);

// Called by LIB_DB_ShowError once the reconnect dialogue after a lost connection is over, with the
// failure as it was recorded (its routine tells whether the commit itself was lost): reconnected
// is false when the operator declined or stopped trying. The desk's offline journal listens here.
// nullptr removes it.
void LIB_DB_SetConnectionLossObserver(
    std::function<void(const ErrorRecord& lost, bool reconnected)> observer);
