#include "generalinfo.h"

#include "info/generalcert.h"

QStringList GeneralInfo::fieldCaptions()
{
    return {QStringLiteral("证号"),     QStringLiteral("证件状态"), QStringLiteral("姓名"),
            QStringLiteral("单位"),     QStringLiteral("性别"),     QStringLiteral("读者类型"),
            QStringLiteral("身份证号"), QStringLiteral("办证日期"), QStringLiteral("生效日期"),
            QStringLiteral("失效日期"), QStringLiteral("押金"),     QStringLiteral("预付款"),
            QStringLiteral("欠款"),     QStringLiteral("可借册数"), QStringLiteral("已借册数"),
            QStringLiteral("违章次数"), QStringLiteral("电话"),     QStringLiteral("手机"),
            QStringLiteral("电子邮件"), QStringLiteral("地址"),     QStringLiteral("邮编"),
            QStringLiteral("职业"),     QStringLiteral("职称"),     QStringLiteral("学历"),
            QStringLiteral("年级"),     QStringLiteral("发证馆"),   QStringLiteral("备注")};
}

QString GeneralInfo::gridTitle(Grid grid)
{
    switch (grid) {
    case Loans:
        return QStringLiteral("当前借阅");
    case History:
        return QStringLiteral("借阅历史");
    default:
        return QStringLiteral("欠款信息");
    }
}

QStringList GeneralInfo::gridCaptions(Grid grid)
{
    switch (grid) {
    case Loans:
        return {QStringLiteral("条码号"), QStringLiteral("题名"), QStringLiteral("借出日期"),
                QStringLiteral("应还日期"), QStringLiteral("所在馆")};
    case History:
        return {QStringLiteral("条码号"), QStringLiteral("题名"), QStringLiteral("借出日期"),
                QStringLiteral("归还日期"), QStringLiteral("所在馆")};
    default:
        return {QStringLiteral("条码号"), QStringLiteral("题名"), QStringLiteral("欠款类型"),
                QStringLiteral("金额"), QStringLiteral("日期")};
    }
}

QList<QList<QStringList>> GeneralInfo::gridRows(const QString& rest)
{
    QList<QList<QStringList>> grids(GridCount);
    const QStringList sections = rest.split(QChar(GeneralCert::GroupSeparator));
    for (int grid = 0; grid < GridCount && grid < sections.size(); ++grid) {
        for (const QString& row : sections.at(grid).split(QChar(RowSeparator), Qt::SkipEmptyParts))
            grids[grid].append(row.split(QChar(GeneralCert::FieldSeparator)));
    }
    return grids;
}
