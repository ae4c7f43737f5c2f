#include "recording.h"

#include "db/database.h"
#include "db/dbretry.h"
#include "db/errorreporter.h"
#include "db/workload.h"
#include "itemlookup.h"
#include "startup/environment.h"

#include <QStringList>
#include <functional>

namespace {

QString procedureCall(const char* name, const QStringList& arguments)
{
    QStringList quoted;
    for (const QString& argument : arguments)
        quoted << LIB_SQLQuote(argument);
    return QLatin1String(name) + QLatin1Char(' ') + quoted.join(QLatin1Char(','));
}

int rollBackAndReport()
{
    LIB_DB_Rollback();
    LIB_DB_ShowError();
    return -1;
}

// One reading event: the server time, the event's procedure and the workload, committed
// together. The event time is handed back for the desk's grids.
int recordEvent(const std::function<QString(const QString& eventTime)>& eventCall, const QString& job,
                QString& eventTime)
{
    // Locks, taken by the procedures: the item, its call number, then the workload (lockorder.h).
    LIB_DB_BeginTrans();
    const QString now = LIB_GetEnv(0).toString();
    if (now.isEmpty())
        return rollBackAndReport(); // the server time could not be read; the error record says why
    LIB_DB_CurrentStatement() = eventCall(now);
    if (LIB_DB_CallProc(LIB_DB_CurrentStatement()) != 0)
        return rollBackAndReport();
    LIB_AddWorkload(job, 0, 1, 0); // a failed count leaves the event standing
    if (LIB_DB_CommitTrans() != 0) {
        LIB_DB_ShowError(); // the event is not recorded: nothing to show in the grid
        return -1;
    }
    eventTime = now;
    return 0;
}

} // namespace

QString bookUseCall(const ItemDetails& item, const QString& eventTime, const QString& location,
                    const QString& worker)
{
    return procedureCall("LT_book_use_stat", {item.propNo, eventTime, location, worker, item.callNo});
}

QString readerBookCall(const ItemDetails& item, const QString& certId, const QString& eventTime,
                       const QString& location, const QString& worker)
{
    return procedureCall("LT_reader_book_stat",
                         {item.propNo, certId, eventTime, location, worker, item.callNo});
}

QString readerVisitCall(const QString& certId, const QString& eventTime, const QString& location,
                        const QString& worker)
{
    return procedureCall("LT_reader_stat", {certId, eventTime, location, worker});
}

namespace {

int countOrRegisterOnce(DeskContext& desk, const QString& scannedCode)
{
    const bool counting = desk.mode == DeskMode::BookCounting;
    if (!counting && (!desk.readerAdmitted || desk.reader.isEmpty()))
        return -1;

    ItemDetails item;
    if (lookUpDeskItem(scannedCode, desk.location, item) != 0)
        return -1;

    const QString certId = desk.reader.certId;
    auto eventCall = [&](const QString& eventTime) {
        return counting ? bookUseCall(item, eventTime, desk.location, desk.worker)
                        : readerBookCall(item, certId, eventTime, desk.location, desk.worker);
    };
    QString eventTime;
    if (recordEvent(eventCall, counting ? ReadingJob::BookCounting : ReadingJob::ReaderBook, eventTime) != 0)
        return -1;
    desk.lastServerDate = eventTime;

    // The event stands; a record that cannot be read only leaves the texts empty.
    readItemTexts(item, desk.item);
    desk.item = item;
    return 0;
}

int recordCheckInOnce(DeskContext& desk)
{
    if (desk.checkOnly())
        return 0;
    if (!desk.readerAdmitted || desk.reader.isEmpty())
        return -1;
    const QString certId = desk.reader.certId;
    auto eventCall = [&](const QString& eventTime) {
        return readerVisitCall(certId, eventTime, desk.location, desk.worker);
    };
    QString eventTime;
    if (recordEvent(eventCall, ReadingJob::CheckIn, eventTime) != 0)
        return -1;
    desk.lastServerDate = eventTime;
    return 0;
}

} // namespace

int countOrRegisterBook(DeskContext& desk, const QString& scannedCode)
{
    return DbRetryOnce([&] { return countOrRegisterOnce(desk, scannedCode); });
}

int recordCheckIn(DeskContext& desk)
{
    return DbRetryOnce([&] { return recordCheckInOnce(desk); });
}
