#include "offlinereplay.h"

#include "admission.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "recording.h"

#include <QDateTime>

namespace {

// How far an uncertain scan's estimated time may lie from the time its event was recorded with.
constexpr int UncertainSeconds = 2;

QString shiftedTime(const QString& time, int seconds)
{
    const QDateTime at = QDateTime::fromString(time, QStringLiteral("yyyy-MM-ddHH:mm:ss"));
    return at.addSecs(seconds).toString(QStringLiteral("yyyy-MM-ddHH:mm:ss"));
}

// The event of an uncertain scan, as its operation would have written it.
QString eventCountOf(const OfflineScan& scan)
{
    const QString card = LIB_SQLQuote(scan.readerCode.trimmed().toUpper());
    const QString book = LIB_SQLQuote(scan.bookCode.trimmed().toUpper());
    const QString where = QStringLiteral(" h.location_f = ") + LIB_SQLQuote(scan.location) +
                          QStringLiteral(" AND h.resp_wkr = ") + LIB_SQLQuote(scan.worker) +
                          QStringLiteral(" AND h.date_time BETWEEN ") +
                          LIB_SQLQuote(shiftedTime(scan.scanTime, -UncertainSeconds)) +
                          QStringLiteral(" AND ") +
                          LIB_SQLQuote(shiftedTime(scan.scanTime, UncertainSeconds));
    switch (scan.mode) {
    case DeskMode::BookCounting:
        return QStringLiteral(
                   "SELECT count(*) FROM book_use_stat_hist h JOIN item i ON i.prop_no = h.prop_no "
                   "WHERE i.bar_code = ") +
               book + QStringLiteral(" AND") + where;
    case DeskMode::ReaderBookRegistration:
        return QStringLiteral(
                   "SELECT count(*) FROM redr_book_stat_hist h JOIN item i ON i.prop_no = h.prop_no "
                   "JOIN reader_cert c ON c.cert_id = h.cert_id WHERE i.bar_code = ") +
               book + QStringLiteral(" AND c.redr_cert_id = ") + card + QStringLiteral(" AND") + where;
    default:
        return QStringLiteral(
                   "SELECT count(*) FROM reader_stat_hist h JOIN reader_cert c ON c.cert_id = h.cert_id "
                   "WHERE c.redr_cert_id = ") +
               card + QStringLiteral(" AND") + where;
    }
}

// 1 when the server holds the scan already, 0 when not, -1 when the question failed.
int recordedBefore(const OfflineScan& scan)
{
    LIB_DB_CurrentStatement() =
        QStringLiteral("SELECT count(*) FROM offline_scan_key WHERE scan_key = ") + LIB_SQLQuote(scan.key);
    if (scan.uncertain)
        LIB_DB_CurrentStatement() = QStringLiteral("SELECT (") + LIB_DB_CurrentStatement() +
                                    QStringLiteral(") + (") + eventCountOf(scan) + QLatin1Char(')');
    ResultTable count;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), count) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    return count.number(0, 2) > 0 ? 1 : 0;
}

ReplayResult notRecorded(const MessageCapture& capture)
{
    ReplayResult result;
    if (!DbSession::current().isConnected()) {
        result.outcome = ReplayResult::ConnectionLost;
        return result;
    }
    result.outcome = ReplayResult::Refused;
    if (!capture.messages.isEmpty()) {
        result.messageCode = capture.messages.constLast().code;
        result.messageText = capture.messages.constLast().text;
    }
    return result;
}

} // namespace

ReplayResult LIB_ReplayOfflineScan(const OfflineScan& scan)
{
    MessageCapture capture;
    const int before = recordedBefore(scan);
    if (before < 0)
        return notRecorded(capture);
    ReplayResult result;
    result.outcome = ReplayResult::Recorded;
    if (before == 1) {
        result.alreadyRecorded = true;
        return result;
    }

    DeskContext desk;
    desk.mode = scan.mode;
    desk.location = scan.location;
    desk.worker = scan.worker;
    EventReplay replay{scan.scanTime, scan.key};
    if (scan.mode != DeskMode::BookCounting) {
        ReaderAdmission admission;
        if (admission.admit(desk, scan.readerCode).refused)
            return notRecorded(capture);
    }
    const int recorded = scan.mode == DeskMode::ReaderCheckIn
                             ? recordCheckIn(desk, &replay)
                             : countOrRegisterBook(desk, scan.bookCode, &replay);
    if (recorded != 0)
        return notRecorded(capture);
    result.alreadyRecorded = replay.alreadyRecorded;
    return result;
}
