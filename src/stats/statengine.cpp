#include "statengine.h"

#include "codes/codenames.h"
#include "db/boundcall.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "oneofftemplate.h"

namespace {

// A list in the query shape from names and rows of text.
ResultTable textTable(const QStringList& names, const QList<QStringList>& rows)
{
    ResultTable table(int(names.size()), int(rows.size()));
    for (int c = 0; c < names.size(); ++c) {
        table.setValue(c, 0, names.at(c));
        table.setValue(c, 1, QStringLiteral("10"));
        for (int r = 0; r < rows.size(); ++r)
            table.setValue(c, r + 2, rows.at(r).value(c));
    }
    return table;
}

QString conditionFor(const QString& table, const QString& subStatCode)
{
    return QStringLiteral(" AND ") + BuildClassCondition(table, subStatCode);
}

QStringList classCodes()
{
    QStringList codes;
    for (int i = 0; i < LIB_StatLists().classCount(); ++i)
        codes.append(LIB_StatLists().code(i));
    return codes;
}

} // namespace

StatLists& LIB_StatLists()
{
    static StatLists lists;
    return lists;
}

QString StatLists::patterns(const QString& subStatCode) const
{
    QStringList texts;
    for (int row = 2; row < compositions.recordCount() + 2; ++row)
        if (compositions.text(0, row) == subStatCode)
            texts.append(compositions.text(2, row));
    return texts.join(QLatin1Char(';'));
}

int LoadStatType(const QString& statTypeCode)
{
    StatLists& lists = LIB_StatLists();
    lists = StatLists();
    const QString code = LIB_SQLQuote(statTypeCode);
    const QString queries[] = {
        QStringLiteral("SELECT sub_stat_code,sub_stat_name ") + QStringLiteral("     FROM stat_type_detl ") +
            QStringLiteral("     WHERE  stat_type_code=") + code +
            QStringLiteral("     AND    code_use_flag='1'") + QStringLiteral("     ORDER BY sub_stat_code"),
        QStringLiteral("SELECT distinct cls_id  ") + QStringLiteral("     FROM stat_cls_comp ") +
            QStringLiteral("     WHERE  stat_type_code =") + code,
        QStringLiteral("SELECT sub_stat_code,cls_id,comp_cls") +
            QStringLiteral("     FROM   stat_cls_comp ") + QStringLiteral("     WHERE  stat_type_code=") +
            code + QStringLiteral("     ORDER BY sub_stat_code"),
    };
    ResultTable* targets[] = {&lists.subStats, &lists.schemes, &lists.compositions};
    for (int step = 0; step < 3; ++step) {
        if (LIB_DB_Select(queries[step], *targets[step]) != 0) {
            LIB_DB_ShowError();
            return -1;
        }
    }
    return 0;
}

int PrepareStatLists(const QString& statTypeCode)
{
    if (!statTypeCode.isEmpty())
        return LoadStatType(statTypeCode);
    // The one-off template: each distinct class name in order of first appearance is a class
    // "01", "02", ...; every row is a composition row of its class.
    QStringList names;
    QList<QStringList> classes;
    QList<QStringList> compositions;
    QStringList schemes;
    for (const OneOffTemplate::Row& row : OneOffTemplate::current().rows()) {
        qsizetype index = names.indexOf(row.className);
        if (index < 0) {
            names.append(row.className);
            index = names.size() - 1;
            classes.append({QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0')), row.className});
        }
        const QString scheme = LIB_ClassId(row.schemeName);
        compositions.append({classes.at(index).first(), scheme, row.classCode});
        if (!schemes.contains(scheme))
            schemes.append(scheme);
    }
    QList<QStringList> schemeRows;
    for (const QString& scheme : schemes)
        schemeRows.append({scheme});
    StatLists& lists = LIB_StatLists();
    lists.subStats = textTable({QStringLiteral("SUB_STAT_CODE"), QStringLiteral("SUB_STAT_NAME")}, classes);
    lists.schemes = textTable({QStringLiteral("CLS_ID")}, schemeRows);
    lists.compositions =
        textTable({QStringLiteral("SUB_STAT_CODE"), QStringLiteral("CLS_ID"), QStringLiteral("COMP_CLS")},
                  compositions);
    return 0;
}

QString LIB_EmptyClassCondition()
{
    return QStringLiteral(" (1=0) ");
}

QString BuildClassCondition(const QString& table, const QString& subStatCode)
{
    const ResultTable& rows = LIB_StatLists().compositions;
    const QString field = table + QStringLiteral(".call_no ");
    auto range = [&field](const QString& piece, qsizetype tilde) -> QString {
        const QString high = piece.mid(tilde + 1);
        return field + QStringLiteral(" >= ") + LIB_SQLQuote(piece.left(tilde)) +
               QStringLiteral(" AND substr(") + field + QStringLiteral(",1,") + QString::number(high.size()) +
               QStringLiteral(")<= ") + LIB_SQLQuote(high);
    };
    QString acc;
    for (int row = 2; row < rows.recordCount() + 2; ++row) {
        if (rows.text(0, row) != subStatCode)
            continue;
        const QString scheme = table + QStringLiteral(".cls_id = ") + LIB_SQLQuote(rows.text(1, row));
        const QString pattern = rows.text(2, row).trimmed();
        QString condition;
        if (pattern.contains(QLatin1Char(','))) {
            QString parts;
            for (const QString& piece : pattern.split(QLatin1Char(','))) {
                const qsizetype tilde = piece.indexOf(QLatin1Char('~'));
                if (tilde >= 0)
                    parts += QStringLiteral(" OR (") + range(piece, tilde) + QStringLiteral(") ");
                else
                    parts += QStringLiteral(" OR ") + field + QStringLiteral(" like ") +
                             LIB_SQLQuote(QString(piece + QLatin1Char('%')));
            }
            const qsizetype first = parts.indexOf(QLatin1String(" OR "), 0, Qt::CaseInsensitive);
            parts.replace(first, 4, QStringLiteral(" "));
            condition = QStringLiteral(" (") + scheme + QStringLiteral(" AND ") + QStringLiteral(" (") +
                        parts + QStringLiteral(") ") + QStringLiteral(") ");
        } else if (const qsizetype tilde = pattern.indexOf(QLatin1Char('~')); tilde >= 0) {
            condition = QStringLiteral(" (") + scheme + QStringLiteral(" AND ") + range(pattern, tilde) +
                        QStringLiteral(") ");
        } else {
            condition = QStringLiteral(" (") + scheme + QStringLiteral(" AND ") + field +
                        QStringLiteral(" like ") + LIB_SQLQuote(QString(pattern + QLatin1Char('%'))) +
                        QStringLiteral(") ");
        }
        acc += QStringLiteral(" OR ") + condition;
    }
    if (acc.isEmpty())
        return LIB_EmptyClassCondition();
    acc.remove(acc.indexOf(QLatin1String("OR"), 0, Qt::CaseInsensitive), 2);
    return QStringLiteral(" (") + acc + QStringLiteral(") ");
}

int CallCommonSortData(const QString& statement, const QString& table, QList<QStringList>& result)
{
    const QStringList codes = classCodes();
    if (codes.isEmpty())
        return -1;
    QStringList conditions;
    for (const QString& code : codes)
        conditions.append(conditionFor(table, code));
    BoundParameters parameters;
    parameters.bind(QStringLiteral("STRSQL"), statement);
    parameters.bind(QStringLiteral("ARRAYSIZE"), QString::number(codes.size()));
    parameters.bindArray(QStringLiteral("CONDITION"), conditions);
    parameters.bindArray(QStringLiteral("RESULT"), {}, BoundParameters::Output);
    if (LIB_DB_ExecuteBound(
            QStringLiteral("Begin TJ_SORT.GetCommonSortData( :STRSQL, :ARRAYSIZE, :CONDITION, "
                           ":RESULT); End;"),
            parameters) != 0)
        return -1;
    const QStringList figures = parameters.array(QStringLiteral("RESULT"));
    result.clear();
    for (qsizetype i = 0; i < codes.size(); ++i)
        result.append(figures.value(i).split(QLatin1Char(',')));
    result.append(QStringList());
    return 0;
}

int CallGroupData(const QString& statement, const QString& table, const QString& extra)
{
    const QStringList codes = classCodes();
    if (codes.isEmpty())
        return -1;
    QStringList conditions;
    for (const QString& code : codes)
        conditions.append(conditionFor(table, code) + extra);
    BoundParameters parameters;
    parameters.bind(QStringLiteral("STRSQL"), statement);
    parameters.bind(QStringLiteral("ARRAYSIZE"), QString::number(codes.size()));
    parameters.bindArray(QStringLiteral("CONDITION"), conditions);
    parameters.bindArray(QStringLiteral("GROUPID"), codes);
    return LIB_DB_ExecuteBound(
        QStringLiteral("Begin TJ_SORT.GetGroupData( :STRSQL, :ARRAYSIZE, :CONDITION, :GROUPID); End;"),
        parameters);
}

int CallBulkData(const QString& statement, QList<QStringList>& result)
{
    BoundParameters parameters;
    parameters.bind(QStringLiteral("STRSQL"), statement);
    parameters.bind(QStringLiteral("ARRAYSIZE"), QString(), BoundParameters::Output);
    parameters.bindArray(QStringLiteral("RESULT"), {}, BoundParameters::Output);
    if (LIB_DB_ExecuteBound(QStringLiteral("Begin TJ_SORT.GetBulkData( :STRSQL,:ARRAYSIZE,:RESULT); End;"),
                            parameters) != 0)
        return -1;
    const int rows = parameters.value(QStringLiteral("ARRAYSIZE")).toInt();
    const QStringList lines = parameters.array(QStringLiteral("RESULT"));
    result.clear();
    result.append(rows > 0 ? QStringList{QString::number(rows),
                                         QString::number(lines.value(0).split(QLatin1Char(',')).size())}
                           : QStringList());
    for (int i = 0; i < rows; ++i)
        result.append(lines.value(i).split(QLatin1Char(',')));
    return 0;
}

QString LIB_ShiftColumnLetter(const QString& column, int n)
{
    if (column.size() >= 2)
        return QStringLiteral("A") + LIB_ShiftColumnLetter(column.mid(1, 1), n);
    if (column.isEmpty())
        return column;
    const int letter = column.at(0).unicode() + n;
    if (letter <= 'Z')
        return QString(QChar(letter));
    return QStringLiteral("A") + QChar(int('A') + (letter - 'Z' - 1));
}
