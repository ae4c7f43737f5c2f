#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

// The desk's slips (notices and receipts), filled from text templates under CFG/LT/.
// A slip's data maps field names without brackets ("姓名", "应罚款额", "经手人") to their texts.
// In a template, "[姓名]" becomes "姓名：" and the value; "[图书馆]" (system parameter 1),
// "[经手人]" and "[单据日期]" (the server date) are replaced by the bare value; "[方式]" of a
// compensation slip names the way ("1" 赔书, "2" 赔钱, "3" 赔退), "[总额]" carries its own caption
// and "[金额]" of a payment slip is written with two decimals. Without a template file the slip is
// the kind's title and one "【姓    名】：value" line per field.
struct SlipKind
{
    QString title;
    QString templateFile; // relative to the CFG directory
    QStringList fields;   // the placeholders, in the order of the fixed layout
};

// The kind's title, template and fields: RedrAsback, BookAsback, PregAsback, StopAsback,
// OverAsback, RetAsback, ExceedFine, Lend, Ret, money; any other kind is a compensation slip.
SlipKind LIB_SlipKind(const QString& kind);

// The slip's text: the template under `cfgDirectory` filled, or the fixed layout. "图书馆" and
// "单据日期" are taken from the data when given there, else from system parameter 1 and the server.
QString LIB_SlipText(const QString& kind, const QMap<QString, QString>& data, const QString& cfgDirectory);

// Prints a slip's text line by line on a paged device. Page count, or -1 when it cannot be painted.
int LIB_PrintSlipText(const QString& text, QPagedPaintDevice* device);

// The whole slip to a PDF file (A4, no window): 0, or -1 when the file cannot be written.
int LIB_PrintSlipToPdf(const QString& kind, const QMap<QString, QString>& data, const QString& path);
