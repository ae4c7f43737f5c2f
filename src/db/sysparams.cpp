#include "sysparams.h"

#include "database.h"
#include "errorreporter.h"
#include "messages.h"

SystemParameters& SystemParameters::instance()
{
    static SystemParameters parameters;
    return parameters;
}

int SystemParameters::load()
{
    ResultTable table;
    LIB_DB_CurrentStatement() =
        QStringLiteral("SELECT sys_para_code,sys_para_value FROM sys_comm_para ORDER BY sys_para_code");
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), table) != 0)
        return -1;
    setRows(table);
    return 0;
}

void SystemParameters::setRows(const ResultTable& table)
{
    m_rows.clear();
    for (int r = 2; r < table.recordCount() + 2; ++r) {
        bool ok = false;
        const double code = table.value(0, r).toString().trimmed().toDouble(&ok);
        m_rows.append({ok ? code : -1e300, table.text(1, r)});
    }
}

QString SystemParameters::rawValue(int code) const
{
    for (const auto& row : m_rows) {
        if (row.first == code)
            return row.second.isNull() ? QStringLiteral("") : row.second;
    }
    return {};
}

QVariant LIB_GetSysPara(int code)
{
    const SystemParameters& parameters = SystemParameters::instance();
    const QString value = parameters.rawValue(code == 142 ? 14 : code);
    if (value.isNull())
        return {};
    switch (code) {
    case 3:
    case 4:
        if (value == QLatin1String("0"))
            return false;
        if (value == QLatin1String("1"))
            return true;
        return value;
    case 5:
    case 6:
    case 8:
    case 9:
    case 10:
    case 12:
        return value.trimmed().toDouble();
    case 7:
    case 11:
    case 23:
        return value == QLatin1String("1");
    case 14:
        return value.section(QLatin1Char(','), 0, 0);
    case 142:
        return value.section(QLatin1Char(','), 1, 1);
    case 20: {
        QString text = value;
        text.replace(QLatin1Char('_'), QLatin1Char(' '));
        return text.isEmpty() ? QStringLiteral(" ") : text;
    }
    case 22:
        return value.trimmed();
    case 28:
        return value.trimmed().isEmpty() ? QVariant(-1) : QVariant(value.trimmed());
    case 29:
        return value.trimmed() == QLatin1String("1");
    default:
        return value;
    }
}

int LIB_LoadBaseData()
{
    if (MessageCatalogue::instance().load() != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    if (SystemParameters::instance().load() != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    return 0;
}
