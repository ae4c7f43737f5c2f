#include "codetables.h"

#include "db/database.h"

namespace {

// The text 1 as the statements compare it with the use flags.
QString inUse()
{
    return LIB_SQLQuote(QStringLiteral("1"));
}

QString circRuleQuery()
{
    return QStringLiteral(" SELECT rule_no,rule_name,time_unit,norm_term,limt_lend_qty,max_lend_qty,"
                          "perg_ysno,renew_ysno,max_renew_times,renew_bef_exp_days,fst_renew_days,"
                          "add_renew_days,preg_keep_days,min_use_days,use_bef_exp_days,"
                          "use_aft_asback_days,max_excd_times,fst_notice,snd_notice,thd_notice,"
                          "unfine_ext_days,fst_fine_days,fst_fine_price,other_fine_price,tech_fee,"
                          "serv_fee,fst_notice_no,snd_notice_no,thd_notice_no,preg_notice_no,"
                          "keep_book_qty,renew_calc_flag,rule_flag,reg_day,upt_day,resp_wkr") +
           QStringLiteral(" FROM circ_rule ORDER BY rule_no");
}

// The eight columns of the desk location list, qualified when location_sort is joined.
QString deskLocationColumns(const QString& prefix)
{
    QString columns;
    for (const char* column : {"location_name", "location_property", "short_loca_name", "lend_location",
                               "ret_location", "fine_location", "group_id"})
        columns += QLatin1Char(',') + prefix + QLatin1String(column);
    return columns;
}

} // namespace

CodeTables& CodeTables::instance()
{
    static CodeTables tables;
    return tables;
}

QString CodeTables::query(CodeTable table)
{
    switch (table) {
    case CodeTable::CircRules:
        return circRuleQuery();
    case CodeTable::RuleComponents:
        return QStringLiteral(
                   " SELECT no, rule_no, loca_code_c, circ_type_code_c, redr_type_code_c,r_dep_id ") +
               QStringLiteral("   FROM rule_comp") + QStringLiteral("  ORDER BY no DESC");
    case CodeTable::StatTypes:
        return QStringLiteral(" SELECT stat_type_name,stat_type_code ") +
               QStringLiteral(" FROM   stat_type_code");
    case CodeTable::Locations:
        // Names only: the lending and return permits read the desk location list.
        return QStringLiteral(" SELECT location,location_name,location_property,short_loca_name") +
               QStringLiteral("   FROM location_lst ");
    case CodeTable::CircTypes:
        return QStringLiteral(" SELECT circ_type_code,circ_type_name,remark") +
               QStringLiteral("   FROM circ_type_code") + QStringLiteral("  WHERE code_use_flag = ") +
               inUse() + QStringLiteral("  ORDER BY circ_type_code");
    case CodeTable::CircTypeByClass:
        return QStringLiteral(" SELECT cls_id,circ_type_code,class") +
               QStringLiteral("   FROM circ_type_sort") + QStringLiteral("  ORDER BY cls_id,circ_type_code");
    case CodeTable::Classifications:
        return QStringLiteral(" SELECT cls_id,cls_name,marc_field") +
               QStringLiteral("   FROM classifica_code") + QStringLiteral("  WHERE code_use_flag = ") +
               inUse() + QStringLiteral("  ORDER BY cls_id");
    case CodeTable::ClassGroups:
        return QStringLiteral(" SELECT grp_code,grp_name") + QStringLiteral("   FROM cls_group ") +
               QStringLiteral("  ORDER BY grp_code");
    case CodeTable::StatTemplates:
        return QStringLiteral(" SELECT distinct template_no,template_name,cls_id from stat_template");
    case CodeTable::DocTypes:
        return QStringLiteral(" SELECT doc_type_code,doc_type_name") +
               QStringLiteral("   FROM doc_type_code") + QStringLiteral("  WHERE code_use_flag = ") +
               inUse() + QStringLiteral(" ORDER BY doc_type_code");
    case CodeTable::Carriers:
        return QStringLiteral(" SELECT carrier_code, carrier_name") + QStringLiteral("   FROM carrier_code") +
               QStringLiteral("  WHERE code_use_flag = ") + inUse() +
               QStringLiteral(" ORDER BY carrier_code");
    case CodeTable::GetModes:
        return QStringLiteral(" SELECT get_mode_code, get_mode_name") +
               QStringLiteral("   FROM get_mode_code") + QStringLiteral("  WHERE code_use_flag = ") +
               inUse() + QStringLiteral(" ORDER BY get_mode_code");
    case CodeTable::Languages:
        return QStringLiteral(" SELECT lang_code,lang_name") + QStringLiteral("   FROM language_code") +
               QStringLiteral("  WHERE code_use_flag = ") + inUse();
    case CodeTable::Countries:
        return QStringLiteral(" SELECT country_code,country_name") + QStringLiteral("   FROM country_code") +
               QStringLiteral("  WHERE code_use_flag = ") + inUse();
    case CodeTable::ReaderTypes:
        return QStringLiteral(" SELECT redr_type_code,redr_type_name,chk_validity_period,max_lend_qty,"
                              "max_debt_amt,max_preg_qty,max_preg_days") +
               QStringLiteral("   FROM reader_type") + QStringLiteral("  WHERE code_use_flag = ") + inUse();
    case CodeTable::LendGrades:
        return QStringLiteral(" SELECT lend_grd, remark") + QStringLiteral("   FROM lend_grd") +
               QStringLiteral("  WHERE code_use_flag = ") + inUse();
    case CodeTable::Violations:
        return QStringLiteral(" SELECT volt_code, volt_name") + QStringLiteral("   FROM violate_code") +
               QStringLiteral("  WHERE code_use_flag = ") + inUse();
    case CodeTable::Workers:
        return QStringLiteral(" SELECT wkr_no, wkr_name") + QStringLiteral("   FROM lib_worker");
    case CodeTable::ClosingPeriods:
        return QStringLiteral(" SELECT close_bgn_day, close_end_day, ext_days, location ") +
               QStringLiteral("   FROM CLOSE_DAY order by location ");
    case CodeTable::OpeningTimes:
        return QStringLiteral(
                   " SELECT morn_open_time, aftn_open_time, even_open_time, week, location FROM open_time") +
               QStringLiteral(" ORDER BY week");
    case CodeTable::Departments:
        return QStringLiteral(" SELECT dep_id, dep_name ") + QStringLiteral(" FROM department ") +
               QStringLiteral(" WHERE use_flag = ") + inUse() + QStringLiteral(" ORDER BY dep_id ");
    case CodeTable::LocationGroups:
        return QStringLiteral(" SELECT group_id, group_name") + QStringLiteral(" FROM loca_group") +
               QStringLiteral(" WHERE use_flag = ") + inUse() + QStringLiteral(" ORDER BY group_id");
    case CodeTable::GroupLimits:
        return QStringLiteral(" SELECT r_group_id, redr_type_code_r, max_lend_qty ") +
               QStringLiteral(" FROM group_rule_comp") + QStringLiteral(" ORDER BY r_group_id");
    }
    return {};
}

QString CodeTables::deskLocationQuery(int operationType)
{
    if (operationType == -1)
        return QStringLiteral(" SELECT location") + deskLocationColumns({}) +
               QStringLiteral("   FROM location_lst ");
    return QStringLiteral(" SELECT location_sort.location,") +
           deskLocationColumns(QStringLiteral("location_lst.")).mid(1) +
           QStringLiteral("   FROM location_sort,location_lst ") +
           QStringLiteral("  WHERE location_sort.location=location_lst.location ") +
           QStringLiteral("    AND location_sort.oper_type=") + LIB_SQLQuote(QString::number(operationType)) +
           QStringLiteral("  ORDER BY sequence");
}

void CodeTables::clear()
{
    for (ResultTable& table : m_tables)
        table.clear();
    m_deskLocations.clear();
    m_deskOperationType = 0;
}

void CodeTables::setDeskLocations(ResultTable rows, int operationType)
{
    m_deskLocations = std::move(rows);
    m_deskOperationType = operationType;
}

const ResultTable& LIB_CodeTable(CodeTable table)
{
    return CodeTables::instance().table(table);
}

int LIB_LoadCodeTables()
{
    CodeTables& tables = CodeTables::instance();
    for (int i = 0; i < CodeTableCount; ++i) {
        const auto which = CodeTable(i);
        ResultTable rows;
        LIB_DB_CurrentStatement() = CodeTables::query(which);
        if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
            return -1;
        tables.setTable(which, std::move(rows));
    }
    return 0;
}

int LIB_LoadLocations(int operationType)
{
    ResultTable rows;
    LIB_DB_CurrentStatement() = CodeTables::deskLocationQuery(operationType);
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    CodeTables::instance().setDeskLocations(std::move(rows), operationType);
    return 0;
}
