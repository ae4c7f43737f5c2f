#include "admissionviolations.h"

#include "admissionreader.h"
#include "codes/codenames.h"
#include "db/database.h"
#include "db/errorreporter.h"

namespace {

// Columns of the violation query, which are also the argument order of LT_UPD_reader_volt_lst.
enum Column {
    CertId,
    PunishDate,
    ViolationCode,
    PropNo,
    Location,
    FineAmount,
    FineDate,
    BillNo,
    SuspensionEnd,
    DealFlag,
    Operator,
    Remark,
};

QString openViolationsQuery(const QString& certId)
{
    return QStringLiteral(
               "SELECT reader_volt_lst.cert_id, reader_volt_lst.punish_date, reader_volt_lst.volt_code, "
               "reader_volt_lst.prop_no, reader_volt_lst.location_f, reader_volt_lst.real_fine_amt, "
               "reader_volt_lst.fine_date, reader_volt_lst.bill_no, reader_volt_lst.froz_end_date, "
               "reader_volt_lst.volt_deal_flag, reader_volt_lst.resp_wkr, reader_volt_lst.remark "
               "FROM reader_volt_lst WHERE cert_id=") +
           LIB_SQLQuote(certId) + QStringLiteral(" AND reader_volt_lst.volt_deal_flag <> ") +
           LIB_SQLQuote(QStringLiteral("0")) + QStringLiteral(" FOR UPDATE");
}

// Only the deal flag changes; NULL leaves every other column as it is.
QString dealFlagUpdate(const QString& certId, const QString& punishDate, const QString& flag)
{
    QStringList args{LIB_SQLQuote(certId), LIB_SQLQuote(punishDate)};
    for (int i = 0; i < 7; ++i)
        args.append(QStringLiteral("NULL"));
    args << LIB_SQLQuote(flag) << QStringLiteral("NULL") << QStringLiteral("NULL");
    return QStringLiteral("LT_UPD_reader_volt_lst ") + args.join(QLatin1Char(','));
}

// Arguments 2 to 31 follow the reader's columns; volt_flag is the 18th counting cert_id as 1.
QString violationCountUpdate(const QString& certId, int count)
{
    QStringList args{LIB_SQLQuote(certId)};
    for (int position = 2; position <= 31; ++position)
        args.append(position == 18 ? QString::number(count) : QStringLiteral("NULL"));
    return QStringLiteral("LT_UPD_reader_new ") + args.join(QLatin1Char(','));
}

int callOrRollBack(const QString& statement)
{
    LIB_DB_CurrentStatement() = statement;
    if (LIB_DB_CallProc(statement) == 0)
        return 0;
    LIB_DB_Rollback();
    LIB_DB_ShowError();
    return -1;
}

QStringList violationRow(int number, const ResultTable& rows, int row, const QString& flag)
{
    return {QString::number(number),
            violationDealLabel(flag),
            rows.text(PunishDate, row),
            LIB_ViolationName(rows.text(ViolationCode, row)),
            rows.text(PropNo, row),
            LIB_LocationName(rows.text(Location, row)),
            moneyText(rows.number(FineAmount, row)),
            rows.text(FineDate, row),
            rows.text(BillNo, row),
            rows.text(SuspensionEnd, row),
            rows.text(Operator, row),
            rows.text(Remark, row)};
}

} // namespace

QString violationDealLabel(const QString& dealFlag)
{
    static const QStringList labels{QStringLiteral("已处理"), QStringLiteral("停借"), QStringLiteral("罚款"),
                                    QStringLiteral("罚款并停借")};
    bool ok = false;
    const int index = dealFlag.toInt(&ok);
    return ok && dealFlag.size() == 1 ? labels.value(index) : QString();
}

QString flagAfterSuspension(const QString& dealFlag, const QString& suspensionEnd, const QString& today)
{
    if (suspensionEnd >= today)
        return dealFlag;
    if (dealFlag == QLatin1String("3"))
        return QStringLiteral("2");
    if (dealFlag == QLatin1String("1"))
        return QStringLiteral("0");
    return dealFlag;
}

int refreshReaderViolations(const QString& certId, const QString& today, QList<QStringList>& rows)
{
    rows.clear();
    ResultTable violations;
    LIB_DB_CurrentStatement() = openViolationsQuery(certId);
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), violations) != 0) {
        LIB_DB_CommitTrans();
        LIB_DB_ShowError();
        return -1;
    }
    for (int row = 2; row < violations.recordCount() + 2; ++row) {
        const QString flag = violations.text(DealFlag, row);
        const QString newFlag = flagAfterSuspension(flag, violations.text(SuspensionEnd, row), today);
        if (newFlag != flag && callOrRollBack(dealFlagUpdate(violations.text(CertId, row),
                                                             violations.text(PunishDate, row), newFlag)) != 0)
            return -1;
        if (newFlag != QLatin1String("0"))
            rows.append(violationRow(int(rows.size()) + 1, violations, row, newFlag));
    }
    return callOrRollBack(violationCountUpdate(certId, int(rows.size())));
}
