#include "admissionreader.h"

#include "codes/codenames.h"
#include "codes/codetables.h"
#include "db/database.h"

namespace {

// Columns of readerRecordQuery(); 13 to 17 only hold places for the reader type's figures.
enum Column {
    CertId,
    TypeCode,
    LendGrade,
    IdCard,
    Name,
    Dept,
    Sex,
    ViolationCount,
    Debt,
    TotalLendQty,
    YearLendQty,
    ReaderFlag,
    DeregisteredDay,
    CardFlag = 18,
    CardBeginDate,
    CardEndDate,
};

QString unlessEmpty(const QString& code, QString (*name)(const QString&))
{
    return code.isEmpty() ? QString() : name(code);
}

} // namespace

QString readerRecordQuery(const QString& cardBarcode)
{
    return QStringLiteral(
               "SELECT reader.cert_id, reader.redr_type_code, reader.lend_grd, reader.id_card, "
               "reader.name, reader.dept, reader.sex, reader.volt_flag, reader.debt_flag, "
               "reader.total_lend_qty, reader.year_lend_qty, reader.redr_flag, reader.redr_del_day, "
               "reader.sex, reader.sex, reader.sex, reader.sex, reader.sex, reader_cert.cert_flag, "
               "reader_cert.bgn_date, reader_cert.end_date, reader.sex FROM reader_cert, reader "
               "WHERE reader_cert.redr_cert_id = ") +
           LIB_SQLQuote(cardBarcode) + QStringLiteral(" AND reader_cert.cert_id = reader.cert_id FOR UPDATE");
}

ReaderRecord readerRecordFromRow(const ResultTable& rows, int row)
{
    ReaderRecord reader;
    reader.certId = rows.text(CertId, row);
    reader.typeCode = rows.text(TypeCode, row);
    reader.lendGrade = rows.text(LendGrade, row);
    reader.idCard = rows.text(IdCard, row);
    reader.name = rows.text(Name, row);
    reader.dept = rows.text(Dept, row);
    reader.sex = rows.text(Sex, row);
    reader.violationCount = int(rows.number(ViolationCount, row));
    reader.debt = rows.number(Debt, row);
    reader.totalLendQty = rows.number(TotalLendQty, row);
    reader.yearLendQty = rows.number(YearLendQty, row);
    reader.readerFlag = rows.text(ReaderFlag, row);
    reader.deregisteredDay = rows.text(DeregisteredDay, row);
    reader.cardFlag = rows.text(CardFlag, row);
    reader.cardBeginDate = rows.text(CardBeginDate, row);
    reader.cardEndDate = rows.text(CardEndDate, row);
    applyReaderType(reader);
    return reader;
}

bool applyReaderType(ReaderRecord& reader)
{
    const ResultTable& types = LIB_CodeTable(CodeTable::ReaderTypes);
    for (int row = 2; row < types.recordCount() + 2; ++row) {
        if (types.text(ReaderTypeColumn::Code, row) != reader.typeCode)
            continue;
        reader.typeName = types.text(ReaderTypeColumn::Name, row);
        reader.typeChecksValidity = types.text(ReaderTypeColumn::CheckValidityPeriod, row);
        reader.typeMaxLendQty = types.number(ReaderTypeColumn::MaxLendQty, row);
        reader.typeMaxDebt = types.number(ReaderTypeColumn::MaxDebtAmt, row);
        reader.typeMaxReservations = types.number(ReaderTypeColumn::MaxPregQty, row);
        return true;
    }
    reader.typeName = reader.typeCode;
    reader.typeChecksValidity = QStringLiteral("1");
    reader.typeMaxLendQty = 0;
    reader.typeMaxDebt = 0;
    reader.typeMaxReservations = 0;
    return false;
}

QStringList readerPanelLabels()
{
    return {QStringLiteral("姓    名"), QStringLiteral("借阅等级"), QStringLiteral("证 件 号"),
            QStringLiteral("读者类型"), QStringLiteral("单    位")};
}

QStringList readerPanelValues(const ReaderRecord& reader)
{
    return {reader.name, unlessEmpty(reader.lendGrade, LIB_LendGradeName), reader.certId,
            unlessEmpty(reader.typeCode, LIB_ReaderTypeName), reader.dept};
}

QString moneyText(double amount)
{
    return QString::number(amount, 'f', 2);
}
