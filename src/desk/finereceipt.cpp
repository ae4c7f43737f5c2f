#include "finereceipt.h"

#include "overduecharge.h"
#include "print/printhandover.h"

QStringList LIB_FinePayModeNames()
{
    return {QStringLiteral("现金"), QStringLiteral("刷卡"), QStringLiteral("预付款扣除")};
}

void LIB_HandOverFineReceipt(const FineReceipt& receipt)
{
    PrintHandover& handover = PrintHandover::instance();
    handover.reset(QStringLiteral("超期罚款单"));
    handover.setHeadings(FineChargeLine::captions() << QStringLiteral("实罚款额"));
    QList<QStringList> rows;
    for (const FineReceipt::Line& line : receipt.lines)
        rows.append(line.charge.cells() << LIB_CentsText(line.chargedCents));
    handover.setRows(std::move(rows));
    handover.setHeadingLine(0, QStringLiteral("超期罚款单"));
    handover.setHeadingLine(1, QStringLiteral("读者：") + receipt.readerName + QLatin1Char('(') +
                                   receipt.certId + QStringLiteral(")  票据号：") + receipt.billNo);
    handover.setHeadingLine(2, QStringLiteral("交款方式：") + LIB_FinePayModeNames().value(receipt.payMode));
    handover.setHeadingLine(3, QStringLiteral("制表日期：") + receipt.time.left(10));
    handover.setHeadingLine(4, QStringLiteral("制表人：") + receipt.worker);
    QString total = QStringLiteral("实罚款额：") + LIB_CentsText(receipt.actualCents);
    if (receipt.reductionCents > 0)
        total += QStringLiteral("  减免：") + LIB_CentsText(receipt.reductionCents);
    handover.setHeadingLine(6, total);
}
