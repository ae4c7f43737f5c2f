#include "finecharges.h"

#include "codes/codenames.h"
#include "codes/codetables.h"
#include "db/database.h"
#include "fineamounts.h"
#include "info/bibelements.h"
#include "info/marcreader.h"
#include "overduecharge.h"
#include "startup/computername.h"

#include <QDate>

namespace {

enum Column { PropNo, Barcode, MarcRecNo, LendDate, ReturnDate, Fine, Location, DueDate, Remark, TimeUnit };

QString chargesQuery(const QString& certId)
{
    // Only the charge rows are locked: the items stay free for lending and returns at other
    // desks while this window is open.
    return QStringLiteral(
               "SELECT exceed_fine_lst.prop_no, item.bar_code, item.marc_rec_no, "
               "exceed_fine_lst.lend_date, exceed_fine_lst.ret_date, exceed_fine_lst.fine_amt, "
               "exceed_fine_lst.location_f, exceed_fine_lst.norm_ret_date, exceed_fine_lst.remark, "
               "exceed_fine_lst.time_unit FROM exceed_fine_lst ,item WHERE exceed_fine_lst.cert_id=") +
           LIB_SQLQuote(certId) + QStringLiteral(" AND exceed_fine_lst.debt_deal_flag=") +
           LIB_SQLQuote(QStringLiteral("0")) +
           QStringLiteral(" AND exceed_fine_lst.prop_no=item.prop_no FOR UPDATE OF exceed_fine_lst nowait");
}

} // namespace

QStringList FineChargeLine::captions()
{
    return {QStringLiteral("财产号"),   QStringLiteral("条码号"),   QStringLiteral("题名"),
            QStringLiteral("借书日期"), QStringLiteral("还书日期"), QStringLiteral("超期天/小时"),
            QStringLiteral("应罚款额"), QStringLiteral("馆藏地"),   QStringLiteral("应还日期"),
            QStringLiteral("明细")};
}

QStringList FineChargeLine::cells() const
{
    QString lent = lendDate;
    QString returned = returnDate;
    QString overdue;
    if (timeUnit == QLatin1String("D")) {
        lent = lendDate.left(10);
        returned = returnDate.left(10);
        const QDate due = QDate::fromString(dueDate.left(10), QStringLiteral("yyyy-MM-dd"));
        const QDate back = QDate::fromString(returned, QStringLiteral("yyyy-MM-dd"));
        overdue =
            QString::number(due.isValid() && back.isValid() ? due.daysTo(back) : 0) + QStringLiteral("天");
    } else if (timeUnit == QLatin1String("H")) {
        overdue = QString::number(LIB_ClockHoursBetween(dueDate, returnDate)) + QStringLiteral("小时");
    }
    return {propNo,
            barcode,
            title,
            lent,
            returned,
            overdue,
            LIB_CentsText(fineCents),
            location.isEmpty() ? QString() : LIB_LocationName(location),
            dueDate,
            remark};
}

int LIB_WorkstationFineLocations(QString& fineLocations)
{
    fineLocations.clear();
    ResultTable rows;
    LIB_DB_CurrentStatement() = QStringLiteral("SELECT location FROM loca_comp_lst WHERE comp_name = ") +
                                LIB_SQLQuote(LIB_ComputerName().toUpper());
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    const QString location = rows.text(0, 2);
    const ResultTable& locations = CodeTables::instance().deskLocations();
    for (int row = 2; row < locations.recordCount() + 2 && !location.isEmpty(); ++row) {
        if (locations.text(LocationColumn::Location, row) == location) {
            fineLocations = locations.text(LocationColumn::FineLocations, row);
            break;
        }
    }
    return 0;
}

int LIB_ReadFineCharges(const QString& certId, const QString& fineLocations, FineChargeList& list)
{
    list = FineChargeList();
    ResultTable rows;
    LIB_DB_CurrentStatement() = chargesQuery(certId);
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;

    QStringList recordNumbers;
    for (int row = 2; row < rows.recordCount() + 2; ++row)
        recordNumbers.append(rows.text(MarcRecNo, row));
    QHash<QString, MarcRecord> records;
    if (!recordNumbers.isEmpty() && MarcReader::readMany(recordNumbers, records) != 0)
        return -1;

    for (int row = 2; row < rows.recordCount() + 2; ++row) {
        FineChargeLine line;
        line.propNo = rows.text(PropNo, row);
        line.barcode = rows.text(Barcode, row);
        line.marcRecNo = rows.text(MarcRecNo, row);
        line.lendDate = rows.text(LendDate, row);
        line.returnDate = rows.text(ReturnDate, row);
        line.fineCents = LIB_MoneyCents(rows.number(Fine, row));
        line.location = rows.text(Location, row);
        line.dueDate = rows.text(DueDate, row);
        line.remark = rows.text(Remark, row);
        line.timeUnit = rows.text(TimeUnit, row);
        line.title = LIB_GetBibElement(records.value(line.marcRecNo), BibTitle);
        // A plain substring test, as the location lists have always been read.
        line.settleable = fineLocations.contains(line.location);
        list.totalCents += line.fineCents;
        if (line.settleable) {
            list.settleableCents += line.fineCents;
            ++list.settleableCount;
        }
        list.lines.append(line);
    }
    return 0;
}
