#include "recordingrows.h"

#include "codes/codenames.h"

CountedBookRow CountedBookRow::of(const ItemDetails& item)
{
    return {item.title, item.author, item.publisher, item.callNo, item.barcode, item.propNo, item.isbn};
}

QStringList CountedBookRow::captions()
{
    return {QStringLiteral("题名"),   QStringLiteral("责任者"), QStringLiteral("出版社"),
            QStringLiteral("索书号"), QStringLiteral("条码号"), QStringLiteral("财产号"),
            QStringLiteral("ISBN号")};
}

QStringList CountedBookRow::cells() const
{
    return {title, author, publisher, callNo, barcode, propNo, isbn};
}

RegisteredBookRow RegisteredBookRow::of(const DeskContext& desk)
{
    return {desk.lastServerDate, desk.reader.name, CountedBookRow::of(desk.item)};
}

QStringList RegisteredBookRow::captions()
{
    return QStringList{QStringLiteral("到达时间"), QStringLiteral("读者姓名")} + CountedBookRow::captions();
}

QStringList RegisteredBookRow::cells() const
{
    return QStringList{eventTime, readerName} + book.cells();
}

AdmittedReaderRow AdmittedReaderRow::of(const DeskContext& desk)
{
    const ReaderRecord& reader = desk.reader;
    return {reader.name,
            reader.dept,
            LIB_ReaderTypeName(reader.typeCode),
            LIB_LendGradeName(reader.lendGrade),
            reader.certId,
            desk.checkOnly() ? QString() : desk.lastServerDate};
}

QStringList AdmittedReaderRow::captions()
{
    return {QStringLiteral("读者姓名"), QStringLiteral("读者单位"), QStringLiteral("读者类型"),
            QStringLiteral("读者等级"), QStringLiteral("证件号"),   QStringLiteral("到达时间")};
}

QStringList AdmittedReaderRow::cells() const
{
    return {name, unit, readerType, lendGrade, certId, arrivalTime};
}
