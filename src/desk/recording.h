#pragma once

#include "deskcontext.h"

#include <QString>

// The reading room's recordings: a book used in the room (book counting), a book used by the
// admitted reader (reader and book registration) and a reader's visit (check-in). Each event is
// written by its procedure together with the operator's workload in one short transaction; a
// failure rolls both back and is reported. The operations return 0, or -1 when nothing was
// recorded (the refusal or the error has then been shown).

// Job codes of the operator's workload.
namespace ReadingJob {
inline const QString BookCounting = QStringLiteral("405");
inline const QString CheckIn = QStringLiteral("422");
inline const QString ReaderBook = QStringLiteral("423");
} // namespace ReadingJob

// A scan recorded after it was made (the offline journal catching up): the event carries the
// time of the scan instead of the server's now, the workload counts for the desk's operator on
// the day of the scan, and the scan's key goes into offline_scan_key in the event's own
// transaction. A key found there already means the scan was recorded before: nothing is written
// again, the operation succeeds and alreadyRecorded tells so.
struct EventReplay
{
    QString eventTime; // "yyyy-mm-ddhh:mm:ss"
    QString key;
    bool alreadyRecorded = false;
};

// Book counting (book counting mode) or registration for the admitted reader (any other mode) of
// the scanned code. On success the desk's current item becomes this book with its MARC texts,
// and the desk's last server date-time is the event time. In registration without an admitted
// reader nothing happens (-1, no message: the desk keeps its book box closed then).
int countOrRegisterBook(DeskContext& desk, const QString& scannedCode, EventReplay* replay = nullptr);

// The check-in of the admitted reader, after admission. The identity check records nothing and
// succeeds; the desk's last server date-time is then left as it was. Without an admitted reader
// nothing happens (-1, no message).
int recordCheckIn(DeskContext& desk, EventReplay* replay = nullptr);

// The procedure calls exactly as they are sent ("name" and the quoted arguments).
QString bookUseCall(const ItemDetails& item, const QString& eventTime, const QString& location,
                    const QString& worker);
QString readerBookCall(const ItemDetails& item, const QString& certId, const QString& eventTime,
                       const QString& location, const QString& worker);
QString readerVisitCall(const QString& certId, const QString& eventTime, const QString& location,
                        const QString& worker);
