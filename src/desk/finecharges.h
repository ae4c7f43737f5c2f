#pragma once

// A reader's unsettled overdue charges as the fine window lists them, and which of them this
// workstation may settle.

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

struct FineChargeLine
{
    QString propNo;
    QString barcode;
    QString marcRecNo;
    QString lendDate;
    QString returnDate;
    qint64 fineCents = 0;
    QString location;
    QString dueDate;
    QString remark;
    QString timeUnit; // "D" or "H"
    QString title;
    bool settleable = false; // its location is in this workstation's fine-location list

    // The grid's columns: 财产号, 条码号, 题名, 借书日期, 还书日期, 超期天/小时, 应罚款额,
    // 馆藏地, 应还日期, 明细.
    QStringList cells() const;
    static QStringList captions();
};

struct FineChargeList
{
    QList<FineChargeLine> lines;
    qint64 totalCents = 0;
    qint64 settleableCents = 0;
    int settleableCount = 0;
};

// The fine-location list of this workstation's location (the location registered for the
// computer's name, looked up in the cached desk location list). -1 with the error record filled.
int LIB_WorkstationFineLocations(QString& fineLocations);

// Reads the reader's unsettled charges and locks them without waiting: a charge another window
// holds fails the read at once (the error record says so). The titles come from the items' MARC
// records, one query for all. -1 with the error record filled.
int LIB_ReadFineCharges(const QString& certId, const QString& fineLocations, FineChargeList& list);
