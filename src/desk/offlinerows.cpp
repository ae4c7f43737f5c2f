#include "offlinerows.h"

#include "codes/codenames.h"
#include "db/sysparams.h"
#include "print/printhandover.h"

#include <QRegularExpression>

namespace {

QString modeCaption(DeskMode mode)
{
    switch (mode) {
    case DeskMode::BookCounting:
        return QStringLiteral("图书计次");
    case DeskMode::ReaderBookRegistration:
        return QStringLiteral("读者图书登记");
    default:
        return QStringLiteral("读者登到");
    }
}

// The id of a catalogue message ("ELT103"); empty for a literal text.
QString messageId(const QString& code)
{
    static const QRegularExpression id(QStringLiteral("^[EIWQS][A-Z]{2}[0-9]{3}"));
    const QRegularExpressionMatch match = id.match(code);
    return match.hasMatch() ? match.captured() : QString();
}

} // namespace

namespace OfflineRows {

QString waitingMark()
{
    return QStringLiteral("（脱机待补录）");
}

QStringList waitingCells(const OfflineScan& scan)
{
    switch (scan.mode) {
    case DeskMode::BookCounting: // 题名 责任者 出版社 索书号 条码号 财产号 ISBN号
        return {waitingMark(), {}, {}, {}, scan.bookCode, {}, {}};
    case DeskMode::ReaderBookRegistration: // 到达时间 读者姓名, then the book's
        return QStringList{scan.scanTime, scan.readerCode} +
               QStringList{waitingMark(), {}, {}, {}, scan.bookCode, {}, {}};
    default: // 读者姓名 读者单位 读者类型 读者等级 证件号 到达时间
        return {waitingMark(), {}, {}, {}, scan.readerCode, scan.scanTime};
    }
}

QStringList refusedCaptions()
{
    return {QStringLiteral("扫描时间"), QStringLiteral("阅览类型"), QStringLiteral("读者证号"),
            QStringLiteral("图书条码"), QStringLiteral("消息号"),   QStringLiteral("未登记原因"),
            QStringLiteral("操作员"),   QStringLiteral("阅览室")};
}

QList<QStringList> refusedRows(const QList<RefusedScan>& refused)
{
    QList<QStringList> rows;
    rows.reserve(refused.size());
    for (const RefusedScan& r : refused) {
        QString reason = r.messageText;
        reason.replace(QLatin1Char('\r'), QLatin1Char(' '));
        rows.append({r.scan.scanTime, modeCaption(r.scan.mode), r.scan.readerCode, r.scan.bookCode,
                     messageId(r.messageCode), reason, r.scan.worker, LIB_LocationName(r.scan.location)});
    }
    return rows;
}

int handOverRefused(const QList<RefusedScan>& refused, const QString& worker, const QString& today)
{
    PrintHandover& handover = PrintHandover::instance();
    handover.reset(QStringLiteral("脱机扫描未登记清单"));
    handover.setHeadings(refusedCaptions());
    handover.setRows(refusedRows(refused));
    handover.setHeadingLine(0, LIB_GetSysPara(1).toString() + QStringLiteral("脱机扫描未登记清单"));
    handover.setHeadingLine(3, QStringLiteral("制表日期：") + today);
    handover.setHeadingLine(4, QStringLiteral("制表人：") + worker);
    handover.setHeadingLine(6, QStringLiteral("总计： ") + QString::number(refused.size()) +
                                   QStringLiteral(" 条"));
    return int(refused.size());
}

} // namespace OfflineRows
