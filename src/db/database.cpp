#include "database.h"

#include "dumpdecoder.h"

#include <QRegularExpression>

int LIB_DB_Connect()
{
    return DbSession::current().connect();
}

int LIB_DB_Close()
{
    // The session lives until the program ends.
    return 0;
}

int LIB_DB_BeginTrans()
{
    DbSession::current().beginTrans();
    return 0;
}

int LIB_DB_CommitTrans()
{
    return DbSession::current().commitTrans();
}

int LIB_DB_Rollback()
{
    DbSession::current().rollback();
    return 0;
}

bool LIB_DB_InTransaction()
{
    return DbSession::current().inTransaction();
}

int LIB_DB_Select(const QString& sql, ResultTable& result)
{
    return DbSession::current().select(sql, result);
}

int LIB_DB_SelectStored(const QString& sql, ResultTable& result)
{
    return DbSession::current().select(sql, result, DbSession::TextValues::Stored);
}

int LIB_DB_SelectDecoded(const QString& sql, ResultTable& result)
{
    if (LIB_DB_Select(sql, result) != 0)
        return -1;
    if (!LIB_DB_SchemaFlags().longMarc)
        return 0;
    for (int c = 0; c < result.fieldCount(); ++c) {
        if (result.value(c, 1).toInt() != ResultTable::TypeText)
            continue;
        for (int r = 2; r < result.recordCount() + 2; ++r) {
            const QString value = result.text(c, r);
            if (!value.startsWith(QLatin1String("Typ=")))
                continue;
            // Right-trimmed like every text of a result table.
            QString text = LIB_DecodeDump(value);
            while (text.endsWith(QLatin1Char(' ')))
                text.chop(1);
            result.setValue(c, r, text);
        }
    }
    return 0;
}

QString LIB_DB_RewriteMarcQuery(const QString& sql)
{
    static const QRegularExpression keywords(QStringLiteral("\\b(select|distinct|from)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression marcColumn(
        QStringLiteral("\\bM_(CALL_NO|TITLE|AUTHOR|PUBLISHER|PUB_YEAR|ISBN|CLASSNO|HEADING|SEE|SEEALSO)\\b"),
        QRegularExpression::CaseInsensitiveOption);

    QString text = sql;
    for (auto it = keywords.globalMatch(sql); it.hasNext();) {
        const auto match = it.next();
        text.replace(match.capturedStart(), match.capturedLength(), match.captured().toUpper());
    }
    const int selectAt = text.indexOf(QLatin1String("SELECT"));
    const int fromAt = text.indexOf(QLatin1String(" FROM"), selectAt < 0 ? 0 : selectAt);
    if (selectAt < 0 || fromAt < 0)
        return text;
    int listStart = selectAt + 6;
    QString head = text.left(listStart);
    QString list = text.mid(listStart, fromAt - listStart);
    if (list.trimmed().startsWith(QLatin1String("DISTINCT"))) {
        const int d = list.indexOf(QLatin1String("DISTINCT")) + 8;
        head += list.left(d);
        list = list.mid(d);
    }
    QStringList items = list.split(QLatin1Char(','));
    for (QString& item : items) {
        // orafce's dump() refuses NULL, which Oracle's shows as "NULL": an empty text instead.
        if (marcColumn.match(item).hasMatch())
            item = QStringLiteral(" dump(coalesce(") + item.trimmed() + QStringLiteral(",''),16) ");
    }
    return head + items.join(QLatin1Char(',')) + text.mid(fromAt);
}

int LIB_DB_SelectMarc(const QString& sql, ResultTable& result)
{
    const QString text = LIB_DB_SchemaFlags().longMarc ? LIB_DB_RewriteMarcQuery(sql) : sql;
    return LIB_DB_SelectDecoded(text, result);
}

int LIB_DB_Execute(const QString& statement, int mode)
{
    return DbSession::current().execute(statement, mode);
}

int LIB_DB_CallProc(const QString& statement, int mode)
{
    return DbSession::current().callProc(statement, mode);
}

QString LIB_DB_ServerDate()
{
    return DbSession::current().serverDate();
}

ErrorRecord& LIB_DB_Error()
{
    return DbSession::current().error();
}

QString& LIB_DB_CurrentStatement()
{
    return DbSession::current().currentStatement();
}

const SchemaFlags& LIB_DB_SchemaFlags()
{
    return DbSession::current().schemaFlags();
}
