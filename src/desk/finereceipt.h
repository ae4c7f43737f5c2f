#pragma once

// The notice "超期罚款单" of a settlement: the settled charges with what each was charged,
// handed to the print designer.

#include "finecharges.h"

#include <QList>
#include <QString>

struct FineReceipt
{
    struct Line
    {
        FineChargeLine charge;
        qint64 chargedCents = 0;
    };
    QString readerName;
    QString certId;
    QString billNo;
    int payMode = 0; // 0 cash, 1 card, 2 prepaid balance
    QString time;    // "yyyy-mm-ddhh:mm:ss"
    QString worker;
    qint64 actualCents = 0;
    qint64 reductionCents = 0;
    QList<Line> lines;
};

// The payment modes as the fine window lists them (the position is the mode's code).
QStringList LIB_FinePayModeNames();

// Fills the print hand-over (PrintHandover::instance()) with the notice: the grid's columns and
// "实罚款额", one row per settled charge, the heading lines with the reader, the bill, the
// payment, the date and the operator.
void LIB_HandOverFineReceipt(const FineReceipt& receipt);
