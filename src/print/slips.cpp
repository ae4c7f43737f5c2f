#include "slips.h"

#include "db/sysparams.h"
#include "startup/environment.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

const QString NoticeFields = QStringLiteral("单位 姓名 证件号 题名 责任者 索书号 条码号");
const QString LibraryField = QStringLiteral("图书馆");
const QString OperatorField = QStringLiteral("经手人");
const QString DateField = QStringLiteral("单据日期");
const QString TotalCaption = QStringLiteral("【赔偿额 + 技术费 + 人工费 + 超期额】：");

QStringList words(const QString& list)
{
    return list.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// "姓名" -> "【姓    名】", "证件号" -> "【证 件 号】": captions of the fixed layout line up.
QString fixedCaption(const QString& field)
{
    QString spaced = field;
    if (field.size() == 2)
        spaced = field.at(0) + QStringLiteral("    ") + field.at(1);
    else if (field.size() == 3)
        spaced = field.at(0) + QLatin1Char(' ') + field.at(1) + QLatin1Char(' ') + field.at(2);
    return QStringLiteral("【") + spaced + QStringLiteral("】：");
}

QString fieldValue(const QString& kind, const QString& field, const QMap<QString, QString>& data)
{
    const QString value = data.value(field);
    if (field == LibraryField && !data.contains(field))
        return LIB_GetSysPara(1).toString();
    if (field == DateField && !data.contains(field))
        return LIB_GetEnv(1).toString();
    if (kind == QLatin1String("money") && field == QStringLiteral("金额") && !value.isEmpty())
        return QString::number(value.toDouble(), 'f', 2);
    if (field == QStringLiteral("方式") && LIB_SlipKind(kind).title == QStringLiteral("遗失赔偿单")) {
        static const QMap<QString, QString> ways{{QStringLiteral("1"), QStringLiteral("赔书")},
                                                 {QStringLiteral("2"), QStringLiteral("赔钱")},
                                                 {QStringLiteral("3"), QStringLiteral("赔退")}};
        return ways.value(value.trimmed(), value);
    }
    return value;
}

bool bareField(const QString& field)
{
    return field == LibraryField || field == OperatorField || field == DateField;
}

} // namespace

SlipKind LIB_SlipKind(const QString& kind)
{
    static const QStringList notices{QStringLiteral("RedrAsback"), QStringLiteral("BookAsback"),
                                     QStringLiteral("PregAsback"), QStringLiteral("StopAsback")};
    const QString people = QStringLiteral(" 图书馆 经手人 单据日期");
    if (notices.contains(kind))
        return {QStringLiteral("催还通知单"), QStringLiteral("LT/LT_ForceAsb.ini"),
                words(NoticeFields + QStringLiteral(" 原还书日期 要求还书日期 图书馆 催还日期 馆藏地"))};
    if (kind == QLatin1String("OverAsback") || kind == QLatin1String("RetAsback"))
        return {QStringLiteral("到期提醒通知单"),
                kind == QLatin1String("RetAsback") ? QStringLiteral("LT/LT_RetAsb.ini")
                                                   : QStringLiteral("LT/LT_ExceedAsb.ini"),
                words(NoticeFields + QStringLiteral(" 应还书日期 图书馆 催还日期 馆藏地"))};
    if (kind == QLatin1String("ExceedFine"))
        return {QStringLiteral("超期罚款"), QStringLiteral("LT/LT_ExceedFine.ini"),
                words(QStringLiteral(
                    "姓名 证件号 题名 财产号 借书日期 还书日期 应还日期 应罚款额 实罚款额 票据号 明细 "
                    "图书馆 经手人 单据日期 馆藏地"))};
    if (kind == QLatin1String("Lend"))
        return {QStringLiteral("读者借阅单"), QStringLiteral("LT/LT_PrtLend.ini"),
                words(QStringLiteral("单位 姓名 证件号 索书号 条码号 题名 责任者 借阅日期 应还日期 附件") +
                      people)};
    if (kind == QLatin1String("Ret"))
        return {
            QStringLiteral("读者还书单"), QStringLiteral("LT/LT_PrtRet.ini"),
            words(QStringLiteral(
                      "单位 姓名 证件号 索书号 条码号 题名 责任者 借阅日期 应还日期 还书日期 超期天数 附件") +
                  people)};
    if (kind == QLatin1String("money"))
        return {QStringLiteral("读者缴费单"), QStringLiteral("LT/LT_PrtMoney.ini"),
                words(QStringLiteral("缴费项目 单位 姓名 证件号 缴费方式 金额 缴费时间 票据号") + people)};
    return {QStringLiteral("遗失赔偿单"), QStringLiteral("LT/LT_PrtRecp.ini"),
            words(QStringLiteral("方式 姓名 证件号 题名 责任者 索书号 出版社 出版年 馆藏地 财产号 条码号 "
                                 "总额 明细 票据号 备注") +
                  people)};
}

QString LIB_SlipText(const QString& kind, const QMap<QString, QString>& data, const QString& cfgDirectory)
{
    const SlipKind slip = LIB_SlipKind(kind);
    QFile file(cfgDirectory + slip.templateFile);
    if (file.open(QIODevice::ReadOnly)) {
        QString text = QString::fromUtf8(file.readAll());
        for (const QString& field : slip.fields) {
            QString caption = field + QStringLiteral("：");
            if (bareField(field))
                caption.clear();
            else if (field == QStringLiteral("总额"))
                caption = TotalCaption;
            text.replace(QLatin1Char('[') + field + QLatin1Char(']'),
                         caption + fieldValue(kind, field, data));
        }
        return text;
    }
    QString text = slip.title + QStringLiteral("\n\n");
    for (const QString& field : slip.fields)
        text += (field == QStringLiteral("总额") ? TotalCaption : fixedCaption(field)) +
                fieldValue(kind, field, data) + QLatin1Char('\n');
    return text;
}

int LIB_PrintSlipText(const QString& text, QPagedPaintDevice* device)
{
    QPainter painter;
    if (!painter.begin(device))
        return -1;
    QFont font;
    font.setPointSize(11);
    painter.setFont(font);
    const QFontMetricsF metrics(font, device);
    const QRect page = device->pageLayout().paintRectPixels(device->logicalDpiX());
    const double lineHeight = metrics.lineSpacing();
    int pages = 1;
    double y = 0;
    QString body = text;
    body.remove(QLatin1Char('\r'));
    for (const QString& line : body.split(QLatin1Char('\n'))) {
        if (y + lineHeight > page.height()) {
            device->newPage();
            ++pages;
            y = 0;
        }
        painter.drawText(QRectF(0, y, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += lineHeight;
    }
    painter.end();
    return pages;
}

int LIB_PrintSlipToPdf(const QString& kind, const QMap<QString, QString>& data, const QString& path)
{
    {
        QPdfWriter writer(path);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        if (LIB_PrintSlipText(LIB_SlipText(kind, data, LIB_GetEnv(14).toString()), &writer) < 0)
            return -1;
    }
    return QFileInfo(path).size() > 0 ? 0 : -1;
}
