// The statements of the item window's tabs and how their rows are shown.
#include "bookinfotabs.h"

#include "codes/codenames.h"
#include "codes/fixedcodenames.h"
#include "db/database.h"
#include "infoconversions.h"
#include "marcdisplay.h"
#include "marcreader.h"

namespace {

using InfoTabs::loadedTab;
using InfoTabs::queryTab;

// Statements read "<select and from> WHERE <key condition> = key <joins> ORDER BY ...".
InfoTabs::Statement where(const char* head, const char* keyColumn, const char* tail)
{
    return [=](const QString& q, bool) -> QString {
        return QLatin1String(head) + QStringLiteral(" WHERE ") + QLatin1String(keyColumn) +
               QStringLiteral(" = ") + q + QLatin1String(tail);
    };
}

int loadMarc(const QString& marcRecNo, QList<QStringList>& rows)
{
    MarcRecord record;
    if (MarcReader::read(marcRecNo, record) != 0)
        return -1;
    rows = MarcDisplay::rows(record);
    return 0;
}

QString states()
{
    QStringList quoted;
    for (const QString& state : BookInfoTabs::arrivingStates())
        quoted.append(LIB_SQLQuote(state));
    return quoted.join(QLatin1Char(','));
}

QList<InfoTab> makeTabs()
{
    QList<InfoTab> tabs;
    tabs.append(queryTab(
        QStringLiteral("BaseInfo"), QStringLiteral("基本信息"),
        {"索书号", "流通类型", "借阅等级", "分类法", "总册数", "在馆册数", "可借册数", "借出册数",
         "年借阅次数", "总借阅次数", "年阅览次数", "总阅览次数", "年预约次数", "总预约次数"},
        where(
            " SELECT call_no_lst.call_no, call_no_lst.circ_type_code, call_no_lst.lend_grd, "
            "call_no_lst.cls_id, "
            "count(item.prop_no), sum(CASE WHEN item.book_lend_flag = '0' THEN 1 ELSE 0 END), sum(CASE WHEN "
            "item.book_lend_flag = '0' AND item.book_stat_code = '41' THEN 1 ELSE 0 END), sum(CASE WHEN "
            "item.book_lend_flag IN ('1', '3') THEN 1 ELSE 0 END), call_no_lst.year_lend_qty, "
            "call_no_lst.total_lend_qty, call_no_lst.year_read_qty, call_no_lst.total_read_qty, "
            "call_no_lst.year_preg_qty, call_no_lst.total_preg_qty FROM call_no_lst LEFT JOIN item ON "
            "item.call_no = call_no_lst.call_no",
            "call_no_lst.marc_rec_no", " GROUP BY call_no_lst.call_no ORDER BY call_no_lst.call_no"),
        -1, [](const InfoRow& r) {
            return QStringList{r[0],
                               LIB_CircTypeName(r[1]),
                               LIB_LendGradeName(r[2]),
                               LIB_ClassName(r[3]),
                               r[4],
                               r[5],
                               r[6],
                               r[7],
                               r[8],
                               r[9],
                               r[10],
                               r[11],
                               r[12],
                               r[13]};
        }));

    tabs.append(queryTab(
        QStringLiteral("CallNoInfo"), QStringLiteral("馆藏情况"),
        {"索书号", "馆藏地", "册数", "在馆册数", "年借阅次数", "总借阅次数", "年借阅率", "总借阅率"},
        where(
            " SELECT indi_acct.call_no, indi_acct.location, count(*), sum(CASE WHEN indi_acct.book_lend_flag "
            "= "
            "'0' THEN 1 ELSE 0 END), sum(indi_acct.year_lend_qty), sum(indi_acct.total_lend_qty) FROM "
            "indi_acct",
            "indi_acct.marc_rec_no",
            " GROUP BY indi_acct.call_no, indi_acct.location ORDER BY indi_acct.call_no, indi_acct.location"),
        -1, [](const InfoRow& r) {
            // A lending rate: loans per copy of the location, as a percentage.
            return QStringList{r[0],
                               r.location(1),
                               r[2],
                               r[3],
                               r[4],
                               r[5],
                               InfoText::percent(r.number(4), r.number(2)),
                               InfoText::percent(r.number(5), r.number(2))};
        }));

    tabs.append(queryTab(
        QStringLiteral("LendInfo"), QStringLiteral("借阅信息"),
        {"索书号", "财产号", "条码号", "证件号", "姓名", "借出日期", "应还日期", "续借日期", "续借次数",
         "催还日期", "催还次数", "馆藏地", "经手人", "借阅规则"},
        where(" SELECT item.call_no, item.prop_no, item.bar_code, lend_lst.cert_id, reader.name, "
              "lend_lst.lend_date, "
              "lend_lst.norm_ret_date, lend_lst.renew_date, lend_lst.renew_times, lend_lst.asback_date, "
              "lend_lst.asback_times, item.location, lend_lst.resp_wkr, lend_lst.rule_no_f FROM item, "
              "lend_lst, "
              "reader",
              "item.marc_rec_no",
              " AND lend_lst.prop_no = item.prop_no AND reader.cert_id = lend_lst.cert_id ORDER BY "
              "lend_lst.lend_date DESC"),
        -1, [](const InfoRow& r) {
            return QStringList{r[0], r[1], r[2], r[3],  r[4],           r[5],  r[6],
                               r[7], r[8], r[9], r[10], r.location(11), r[12], r[13]};
        }));

    tabs.append(queryTab(
        QStringLiteral("LendHistory"), QStringLiteral("借阅历史"),
        {"索书号", "财产号", "条码号", "证件号", "姓名", "借书日期", "还书日期", "超期天数", "续借次数",
         "催还次数", "馆藏地", "借书经手人", "还书经手人", "借阅规则"},
        [](const QString& q, bool backup) -> QString {
            const QString table = backup ? QStringLiteral("lend_hist_bak") : QStringLiteral("lend_hist");
            return QStringLiteral(
                       " SELECT item.call_no, item.prop_no, item.bar_code, %1.cert_id_f, reader.name, "
                       "%1.lend_date, %1.ret_date, %1.excd_days, %1.renew_times, %1.asback_times, "
                       "%1.location, %1.lend_wkr, %1.ret_wkr, %1.rule_no_f FROM item, %1, reader WHERE "
                       "item.marc_rec_no = ")
                       .arg(table) +
                   q +
                   QStringLiteral(" AND %1.prop_no_f = item.prop_no AND reader.cert_id = %1.cert_id_f")
                       .arg(table) +
                   (backup ? QString() : QStringLiteral(" AND lend_hist.ret_date IS NOT NULL")) +
                   QStringLiteral(" ORDER BY %1.ret_date DESC").arg(table);
        },
        -1,
        [](const InfoRow& r) {
            return QStringList{r[0], r[1], r[2], r[3],           r[4],  r[5],  r[6],
                               r[7], r[8], r[9], r.location(10), r[11], r[12], r[13]};
        },
        true));

    tabs.append(queryTab(
        QStringLiteral("PregInfo"), QStringLiteral("预约情况"),
        {"索书号", "馆藏地", "证件号", "姓名", "预约日期", "保留截止日期", "到书保留天数", "预约号",
         "预约状态", "经手人"},
        where(
            " SELECT preg_lst.call_no, preg_lst.location, preg_lst.cert_id, reader.name, preg_lst.preg_date, "
            "preg_lst.preg_end_date, preg_lst.preg_keep_days, preg_lst.preg_no, preg_lst.preg_flag, "
            "preg_lst.resp_wkr FROM preg_lst, call_no_lst, reader",
            "call_no_lst.marc_rec_no",
            " AND preg_lst.call_no = call_no_lst.call_no AND reader.cert_id = preg_lst.cert_id ORDER BY "
            "preg_lst.preg_date"),
        -1, [](const InfoRow& r) {
            return QStringList{r[0], r.location(1), r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9]};
        }));

    tabs.append(queryTab(
        QStringLiteral("PregArri"), QStringLiteral("预约到馆"),
        {"索书号", "条码号", "证件号", "姓名", "到书日期", "通知单发出日期", "到书保留截止日期",
         "到书保留天数", "馆藏地", "经手人"},
        where(" SELECT item.call_no, item.bar_code, preg_arri_lst.cert_id, reader.name, "
              "preg_arri_lst.preg_arri_date, "
              "preg_arri_lst.noti_send_date, preg_arri_lst.keep_end_date, preg_arri_lst.preg_keep_days, "
              "preg_arri_lst.location, preg_arri_lst.resp_wkr FROM preg_arri_lst, item, reader",
              "item.marc_rec_no",
              " AND preg_arri_lst.prop_no = item.prop_no AND reader.cert_id = preg_arri_lst.cert_id ORDER BY "
              "preg_arri_lst.preg_arri_date"),
        -1, [](const InfoRow& r) {
            return QStringList{r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r.location(8), r[9]};
        }));

    tabs.append(queryTab(
        QStringLiteral("LostInfo"), QStringLiteral("遗失赔偿"),
        {"索书号", "条码号", "证件号", "姓名", "操作日期", "原始价格", "技术处理费", "人工服务费",
         "实际赔款额", "票据号", "赔偿遗失类型", "经手人", "说明"},
        where(" SELECT item.call_no, item.bar_code, lost_recoup_lst.cert_id, reader.name, "
              "lost_recoup_lst.recoup_date, "
              "lost_recoup_lst.src_price, lost_recoup_lst.tech_fee, lost_recoup_lst.serv_fee, "
              "lost_recoup_lst.real_recoup_amt, lost_recoup_lst.bill_no, lost_recoup_lst.recoup_type, "
              "lost_recoup_lst.resp_wkr, lost_recoup_lst.remark FROM lost_recoup_lst, item, reader",
              "item.marc_rec_no",
              " AND lost_recoup_lst.prop_no = item.prop_no AND reader.cert_id = lost_recoup_lst.cert_id "
              "ORDER BY "
              "lost_recoup_lst.recoup_date"),
        -1, [](const InfoRow& r) {
            return QStringList{r[0],
                               r[1],
                               r[2],
                               r[3],
                               r[4],
                               r.money(5),
                               r.money(6),
                               r.money(7),
                               r.money(8),
                               r[9],
                               InfoText::recoupType(r[10]),
                               r[11],
                               r[12]};
        }));

    tabs.append(queryTab(
        QStringLiteral("VoltInfo"), QStringLiteral("使用违章"),
        {"索书号", "条码号", "馆藏地", "证件号", "姓名", "违章类型", "处罚日期", "实际罚款额", "停借截止日期",
         "当前处理状态", "经手人"},
        where(" SELECT item.call_no, item.bar_code, item.location, reader_volt_lst.cert_id, reader.name, "
              "reader_volt_lst.volt_code, reader_volt_lst.punish_date, reader_volt_lst.real_fine_amt, "
              "reader_volt_lst.froz_end_date, reader_volt_lst.volt_deal_flag, reader_volt_lst.resp_wkr FROM "
              "reader_volt_lst, item, reader",
              "item.marc_rec_no",
              " AND reader_volt_lst.prop_no = item.prop_no AND reader.cert_id = reader_volt_lst.cert_id "
              "ORDER BY "
              "item.call_no, item.location"),
        -1, [](const InfoRow& r) {
            return QStringList{r[0],          r[1],
                               r.location(2), r[3],
                               r[4],          LIB_ViolationName(r[5]),
                               r[6],          r.money(7),
                               r[8],          InfoText::violationState(r[9]),
                               r[10]};
        }));

    tabs.append(queryTab(
        QStringLiteral("OperateInfo"), QStringLiteral("处理情况"),
        {"索书号", "条码号", "馆藏地", "处理类型", "处理批号", "处理日期", "批处理状态", "经手人", "说明"},
        where(" SELECT item.call_no, item.bar_code, item.location, deal_log.deal_type_code, "
              "deal_log.deal_batch_no, "
              "deal_log.deal_date, deal_batch_lst.deal_stat_flag, deal_log.resp_wkr, deal_log.remark FROM "
              "item, "
              "deal_log, deal_batch_lst",
              "item.marc_rec_no",
              " AND deal_log.prop_no = item.prop_no AND deal_batch_lst.deal_batch_no = "
              "deal_log.deal_batch_no ORDER "
              "BY item.location, deal_log.deal_type_code, deal_batch_lst.deal_stat_flag"),
        -1, [](const InfoRow& r) {
            const QString process = LIB_ProcessName(r[3]);
            return QStringList{r[0], r[1], r.location(2), process.isEmpty() ? r[3] : process, r[4], r[5],
                               r[6], r[7], r[8]};
        }));

    tabs.append(
        queryTab(QStringLiteral("AdjustInfo"), QStringLiteral("调配情况"),
                 {"调配单号", "调配日期", "索书号", "条码号", "调出馆藏地", "调入馆藏地", "经手人", "说明"},
                 where(" SELECT alloc_record.alloc_no, alloc_record.alloc_date, item.call_no, item.bar_code, "
                       "alloc_record.src_location, alloc_record.dest_location, alloc_record.resp_wkr, "
                       "alloc_record.remark "
                       "FROM item, alloc_record",
                       "item.marc_rec_no",
                       " AND alloc_record.prop_no = item.prop_no ORDER BY alloc_record.alloc_no, "
                       "alloc_record.alloc_date"),
                 -1, [](const InfoRow& r) {
                     return QStringList{r[0], r[1], r[2], r[3], r.location(4), r.location(5), r[6], r[7]};
                 }));

    tabs.append(queryTab(
        QStringLiteral("ExceedInfo"), QStringLiteral("超期欠款"),
        {"索书号", "条码号", "证件号", "姓名", "馆藏地", "借书日期", "还书日期", "应还日期", "超期时间",
         "应罚款额", "实罚款额", "执行标志", "经手人"},
        where(" SELECT item.call_no, item.bar_code, exceed_fine_lst.cert_id, reader.name, "
              "exceed_fine_lst.location_f, "
              "exceed_fine_lst.lend_date, exceed_fine_lst.ret_date, exceed_fine_lst.norm_ret_date, "
              "exceed_fine_lst.time_unit, exceed_fine_lst.fine_amt, exceed_fine_lst.real_fine_amt, "
              "exceed_fine_lst.debt_deal_flag, exceed_fine_lst.resp_wkr FROM exceed_fine_lst, item, reader",
              "item.marc_rec_no",
              " AND exceed_fine_lst.prop_no = item.prop_no AND reader.cert_id = exceed_fine_lst.cert_id "
              "ORDER BY "
              "item.call_no, item.location"),
        -1, [](const InfoRow& r) {
            return QStringList{r[0],       r[1],          r[2],
                               r[3],       r.location(4), r[5],
                               r[6],       r[7],          InfoText::overdueTime(r[7], r[6], r[8]),
                               r.money(9), r.money(10),   InfoText::debtDealt(r[11]),
                               r[12]};
        }));

    tabs.append(queryTab(
        QStringLiteral("ArriInfo"), QStringLiteral("即将到馆"),
        {"索书号", "财产号", "条码号", "馆藏地", "图书状态", "登记日期", "批次号"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(" SELECT item.call_no, item.prop_no, item.bar_code, item.location, "
                                  "item.book_stat_code, item.regist_date, item.batch_no FROM item WHERE "
                                  "item.marc_rec_no = ") +
                   q + QStringLiteral(" AND item.book_stat_code IN (") + states() +
                   QStringLiteral(") ORDER BY item.call_no, item.location");
        },
        -1,
        [](const InfoRow& r) {
            return QStringList{r[0], r[1], r[2], r.location(3), LIB_ItemStatusName(r[4]), r[5], r[6]};
        }));

    tabs.append(loadedTab(QStringLiteral("MarcInfo"), QStringLiteral("MARC信息"),
                          {"字段", "指示符", "字段内容"}, loadMarc));

    tabs.append(queryTab(
        QStringLiteral("ReleInfo"), QStringLiteral("委托情况"),
        {"索书号", "馆藏地", "证件号", "姓名", "委托日期", "委托截止日期", "委托保留天数", "委托馆藏地",
         "委托号", "经手人"},
        where(" SELECT relegate_lst.call_no, relegate_lst.location, relegate_lst.cert_id, reader.name, "
              "relegate_lst.relegate_date, relegate_lst.relegate_end_date, relegate_lst.relegate_keep_days, "
              "relegate_lst.relegate_location, relegate_lst.relegate_no, relegate_lst.resp_wkr FROM "
              "relegate_lst, "
              "call_no_lst, reader",
              "call_no_lst.marc_rec_no",
              " AND relegate_lst.call_no = call_no_lst.call_no AND reader.cert_id = relegate_lst.cert_id "
              "ORDER BY "
              "relegate_lst.relegate_date"),
        -1, [](const InfoRow& r) {
            return QStringList{r[0], r.location(1), r[2], r[3], r[4], r[5], r[6], r.location(7), r[8], r[9]};
        }));

    tabs.append(queryTab(QStringLiteral("ReleArri"), QStringLiteral("委托到馆"),
                         {"索书号", "条码号", "证件号", "姓名", "划到日期", "通知日期", "划到保留截止日期",
                          "委托借阅日期", "委托还书日期", "划到馆藏地", "委托处理标志", "经手人"},
                         where(" SELECT item.call_no, item.bar_code, relegate_arri_lst.cert_id, reader.name, "
                               "relegate_arri_lst.relegate_arri_date, relegate_arri_lst.noti_send_date, "
                               "relegate_arri_lst.keep_end_date, relegate_arri_lst.rele_lend_date, "
                               "relegate_arri_lst.rele_ret_date, "
                               "relegate_arri_lst.trans_location, relegate_arri_lst.relegate_end_flag, "
                               "relegate_arri_lst.resp_wkr "
                               "FROM relegate_arri_lst, item, reader",
                               "item.marc_rec_no",
                               " AND relegate_arri_lst.prop_no = item.prop_no AND reader.cert_id = "
                               "relegate_arri_lst.cert_id ORDER BY "
                               "relegate_arri_lst.relegate_arri_date"),
                         -1, [](const InfoRow& r) {
                             return QStringList{r[0],
                                                r[1],
                                                r[2],
                                                r[3],
                                                r[4],
                                                r[5],
                                                r[6],
                                                r[7],
                                                r[8],
                                                r.location(9),
                                                InfoText::relegateState(r[10]),
                                                r[11]};
                         }));
    return tabs;
}

} // namespace

const QStringList& BookInfoTabs::arrivingStates()
{
    static const QStringList list{"11", "12", "13", "14", "15", "16", "17"};
    return list;
}

const QList<InfoTab>& BookInfoTabs::tabs()
{
    static const QList<InfoTab> list = makeTabs();
    return list;
}

const InfoTab* BookInfoTabs::tab(const QString& key)
{
    for (const InfoTab& each : tabs()) {
        if (each.key == key)
            return &each;
    }
    return nullptr;
}
