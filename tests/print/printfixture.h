#pragma once

// A small reading-log table in the print hand-over, shared by the print tests.

#include "print/printhandover.h"

#include <QProcess>
#include <QString>

// Columns 编号, 题名, 读者 (hidden: it holds "秘密" values), 金额; three rows, one with a "|".
inline void fillReadingLog(PrintHandover& h)
{
    h.reset(QStringLiteral("阅览日志"));
    const QStringList lines{QStringLiteral("阅览日志"),
                            QStringLiteral("起始日期：2026-01-01"),
                            QStringLiteral("终止日期：2026-01-31"),
                            QStringLiteral("阅览室：第一阅览室"),
                            QStringLiteral("制表日期：2026-02-01"),
                            QStringLiteral("制表人：A001"),
                            QStringLiteral("总计： 3 条")};
    for (int i = 0; i < lines.size(); ++i)
        h.setHeadingLine(i, lines.at(i));
    h.setHeadings(
        {QStringLiteral("编号"), QStringLiteral("题名"), QStringLiteral("读者"), QStringLiteral("金额")});
    h.appendRow(
        {QStringLiteral("1"), QStringLiteral("红楼梦"), QStringLiteral("秘密甲"), QStringLiteral("12.50")});
    h.appendRow({QStringLiteral("2"), QString(), QStringLiteral("秘密乙"), QStringLiteral("0")});
    h.appendRow(
        {QStringLiteral("3"), QStringLiteral("a|b"), QStringLiteral("秘密丙"), QStringLiteral("3.00")});
    h.setColumnHidden(2, true);
}

// The text of a PDF file as pdftotext reads it (pages end in form feeds); empty when it fails.
inline QString pdfText(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}
