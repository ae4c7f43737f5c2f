// The reader window's tabs of loans, charges and requests: their statements and rows.
#include "codes/codenames.h"
#include "db/database.h"
#include "infoconversions.h"
#include "readerinfotabs.h"

namespace {

using InfoTabs::queryTab;

// The place of a reservation or transfer in its queue: the running requests of the same call
// number and location with a smaller number, plus one.
QString queuePosition(const QString& table, const QString& number, const QString& flag)
{
    return QStringLiteral("(SELECT count(*) + 1 FROM %1 q WHERE q.call_no = %1.call_no AND q.location = "
                          "%1.location AND q.%3 = '0' AND q.%2 < %1.%2)")
        .arg(table, number, flag);
}

} // namespace

QList<InfoTab> ReaderInfoTabs::loanTabs()
{
    QList<InfoTab> tabs;
    tabs.append(queryTab(
        QStringLiteral("LendInfo"), QStringLiteral("书刊借阅"),
        {"索书号", "财产号", "条码号", "题名", "责任者", "借出日期", "应还日期", "续借日期", "续借次数",
         "催还日期", "催还次数", "馆藏地", "经手人", "附件", "借阅规则"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(
                       " SELECT item.call_no, item.prop_no, item.bar_code, item.marc_rec_no, "
                       "lend_lst.lend_date, lend_lst.norm_ret_date, lend_lst.renew_date, "
                       "lend_lst.renew_times, lend_lst.asback_date, lend_lst.asback_times, item.location, "
                       "lend_lst.resp_wkr, lend_lst.attachment, lend_lst.rule_no_f FROM item, lend_lst, "
                       "reader WHERE lend_lst.cert_id = ") +
                   q +
                   QStringLiteral(" AND item.prop_no = lend_lst.prop_no AND reader.cert_id = "
                                  "lend_lst.cert_id ORDER BY lend_lst.lend_date DESC");
        },
        3,
        [](const InfoRow& r) {
            return QStringList{r[0], r[1], r[2], r.title(3),     r.author(3), r[4],  r[5], r[6],
                               r[7], r[8], r[9], r.location(10), r[11],       r[12], r[13]};
        }));

    tabs.append(queryTab(
        QStringLiteral("LendHistoryInfo"), QStringLiteral("借阅历史"),
        {"索书号",     "财产号",     "条码号",     "MARC号",   "题名",     "责任者",   "借书日期",
         "还书日期",   "超期天数",   "续借日期",   "续借次数", "催还日期", "催还次数", "馆藏地",
         "借书经手人", "还书经手人", "分类法代码", "附件",     "预约标识", "委托标识", "借阅规则"},
        [](const QString& q, bool backup) -> QString {
            const QString table = backup ? QStringLiteral("lend_hist_bak") : QStringLiteral("lend_hist");
            return QStringLiteral(
                       " SELECT item.call_no, item.prop_no, item.bar_code, item.marc_rec_no, "
                       "%1.lend_date, %1.ret_date, %1.excd_days, %1.renew_date, %1.renew_times, "
                       "%1.asback_date, %1.asback_times, %1.location, %1.lend_wkr, %1.ret_wkr, "
                       "%1.cls_id, %1.attachment, %1.preg_flag, %1.rele_flag, %1.rule_no_f FROM item, "
                       "%1, reader WHERE %1.cert_id_f = ")
                       .arg(table) +
                   q +
                   QStringLiteral(" AND item.prop_no = %1.prop_no_f AND reader.cert_id = %1.cert_id_f")
                       .arg(table) +
                   (backup ? QString() : QStringLiteral(" AND lend_hist.ret_date IS NOT NULL")) +
                   QStringLiteral(" ORDER BY %1.ret_date DESC").arg(table);
        },
        3,
        [](const InfoRow& r) {
            return QStringList{r[0],  r[1],  r[2],  r[3],  r.title(3), r.author(3), r[4],
                               r[5],  r[6],  r[7],  r[8],  r[9],       r[10],       r.location(11),
                               r[12], r[13], r[14], r[15], r[16],      r[17],       r[18]};
        },
        true));

    tabs.append(queryTab(
        QStringLiteral("VoltInfo"), QStringLiteral("违章情况"),
        {"违章类型", "处罚日期", "财产号", "条码号", "索书号", "题名", "责任者", "馆藏地", "实际罚款额",
         "票据号", "交款日期", "停借截止日期", "当前处理状态", "经手人", "说明"},
        // The items of the violations come with them (one statement, not one per row).
        [](const QString& q, bool) -> QString {
            return QStringLiteral(
                       " SELECT reader_volt_lst.cert_id, reader_volt_lst.punish_date, "
                       "reader_volt_lst.volt_code, reader_volt_lst.prop_no, reader_volt_lst.location_f, "
                       "reader_volt_lst.real_fine_amt, reader_volt_lst.fine_date, reader_volt_lst.bill_no, "
                       "reader_volt_lst.froz_end_date, reader_volt_lst.volt_deal_flag, "
                       "reader_volt_lst.resp_wkr, reader_volt_lst.remark, item.bar_code, item.call_no, "
                       "item.marc_rec_no FROM reader_volt_lst LEFT JOIN item ON item.prop_no = "
                       "reader_volt_lst.prop_no WHERE reader_volt_lst.cert_id=") +
                   q + QStringLiteral(" ORDER BY reader_volt_lst.punish_date DESC");
        },
        14,
        [](const InfoRow& r) {
            return QStringList{LIB_ViolationName(r[2]),
                               r[1],
                               r[3],
                               r[12],
                               r[13],
                               r.title(14),
                               r.author(14),
                               r.location(4),
                               r.money(5),
                               r[7],
                               r[6],
                               r[8],
                               InfoText::violationState(r[9]),
                               r[10],
                               r[11]};
        }));

    tabs.append(queryTab(
        QStringLiteral("ExceedInfo"), QStringLiteral("超期罚款"),
        {"索书号",   "财产号",   "条码号",   "题名",     "责任者",   "馆藏地",   "借书日期", "还书日期",
         "应还日期", "超期时间", "应罚款额", "实罚款额", "续借日期", "续借次数", "催还日期", "催还次数",
         "票据号",   "交款日期", "执行标志", "借阅规则", "经手人",   "说明"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(
                       " SELECT item.call_no, item.prop_no, item.bar_code, item.marc_rec_no, "
                       "exceed_fine_lst.location_f, exceed_fine_lst.lend_date, exceed_fine_lst.ret_date, "
                       "exceed_fine_lst.norm_ret_date, exceed_fine_lst.norm_ret_date, "
                       "exceed_fine_lst.fine_amt, exceed_fine_lst.real_fine_amt, "
                       "exceed_fine_lst.renew_date, exceed_fine_lst.renew_times, "
                       "exceed_fine_lst.asback_date, exceed_fine_lst.asback_times, exceed_fine_lst.bill_no, "
                       "exceed_fine_lst.fine_date, exceed_fine_lst.debt_deal_flag, "
                       "exceed_fine_lst.rule_no_f, exceed_fine_lst.resp_wkr, exceed_fine_lst.remark, "
                       "exceed_fine_lst.time_unit FROM exceed_fine_lst, item WHERE exceed_fine_lst.cert_id "
                       "= ") +
                   q +
                   QStringLiteral(" AND item.prop_no = exceed_fine_lst.prop_no ORDER BY "
                                  "exceed_fine_lst.ret_date DESC");
        },
        3,
        [](const InfoRow& r) {
            return QStringList{r[0],
                               r[1],
                               r[2],
                               r.title(3),
                               r.author(3),
                               r.location(4),
                               r[5],
                               r[6],
                               r[7],
                               InfoText::overdueTime(r[8], r[6], r[21]),
                               r.money(9),
                               r.money(10),
                               r[11],
                               r[12],
                               r[13],
                               r[14],
                               r[15],
                               r[16],
                               InfoText::debtDealt(r[17]),
                               r[18],
                               r[19],
                               r[20]};
        }));

    tabs.append(queryTab(
        QStringLiteral("PregInfo"), QStringLiteral("书刊预约"),
        {"索书号", "馆藏地", "题名", "责任者", "预约日期", "保留截止日期", "到书保留天数", "当前排列号",
         "预约通知文本号", "预约号"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(" SELECT preg_lst.call_no, preg_lst.location, call_no_lst.marc_rec_no, "
                                  "preg_lst.preg_date, preg_lst.preg_end_date, preg_lst.preg_keep_days, ") +
                   queuePosition(QStringLiteral("preg_lst"), QStringLiteral("preg_no"),
                                 QStringLiteral("preg_flag")) +
                   QStringLiteral(", preg_lst.preg_notice_no, preg_lst.preg_no FROM preg_lst, call_no_lst "
                                  "WHERE preg_lst.cert_id = ") +
                   q +
                   QStringLiteral(" AND call_no_lst.call_no = preg_lst.call_no ORDER BY preg_lst.preg_date");
        },
        2,
        [](const InfoRow& r) {
            return QStringList{r[0], r.location(1), r.title(2), r.author(2), r[3],
                               r[4], r[5],          r[6],       r[7],        r[8]};
        }));

    tabs.append(queryTab(
        QStringLiteral("PregArriInfo"), QStringLiteral("预约到馆"),
        {"索书号", "条码号", "题名", "责任者", "到书日期", "通知单发出日期", "到书保留截止日期",
         "到书保留天数", "馆藏地", "经手人"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(" SELECT item.call_no, item.bar_code, item.marc_rec_no, "
                                  "preg_arri_lst.preg_arri_date, preg_arri_lst.noti_send_date, "
                                  "preg_arri_lst.keep_end_date, preg_arri_lst.preg_keep_days, "
                                  "preg_arri_lst.location, preg_arri_lst.resp_wkr FROM preg_arri_lst, item "
                                  "WHERE preg_arri_lst.cert_id = ") +
                   q +
                   QStringLiteral(" AND item.prop_no = preg_arri_lst.prop_no ORDER BY "
                                  "preg_arri_lst.preg_arri_date");
        },
        2,
        [](const InfoRow& r) {
            return QStringList{r[0], r[1], r.title(2), r.author(2),   r[3],
                               r[4], r[5], r[6],       r.location(7), r[8]};
        }));

    tabs.append(queryTab(
        QStringLiteral("LostInfo"), QStringLiteral("遗失赔偿"),
        {"索书号", "条码号", "题名", "责任者", "操作日期", "原始价格", "技术处理费", "人工服务费",
         "实际赔款额", "票据号", "赔偿遗失类型", "赔偿遗失操作状态", "经手人", "说明"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(" SELECT item.call_no, item.bar_code, item.marc_rec_no, "
                                  "lost_recoup_lst.recoup_date, lost_recoup_lst.src_price, "
                                  "lost_recoup_lst.tech_fee, lost_recoup_lst.serv_fee, "
                                  "lost_recoup_lst.real_recoup_amt, lost_recoup_lst.bill_no, "
                                  "lost_recoup_lst.recoup_type, lost_recoup_lst.recoup_flag, "
                                  "lost_recoup_lst.resp_wkr, lost_recoup_lst.remark FROM lost_recoup_lst, "
                                  "item WHERE lost_recoup_lst.cert_id = ") +
                   q +
                   QStringLiteral(" AND item.prop_no = lost_recoup_lst.prop_no ORDER BY "
                                  "lost_recoup_lst.recoup_date DESC");
        },
        2,
        [](const InfoRow& r) {
            return QStringList{r[0],
                               r[1],
                               r.title(2),
                               r.author(2),
                               r[3],
                               r.money(4),
                               r.money(5),
                               r.money(6),
                               r.money(7),
                               r[8],
                               InfoText::recoupType(r[9]),
                               r[10],
                               r[11],
                               r[12]};
        }));

    tabs.append(queryTab(
        QStringLiteral("ReleInfo"), QStringLiteral("书刊委托"),
        {"索书号", "馆藏地", "题名", "责任者", "委托日期", "委托截止日期", "委托保留天数", "委托馆藏地",
         "当前排列号", "委托号"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(" SELECT relegate_lst.call_no, relegate_lst.location, "
                                  "call_no_lst.marc_rec_no, relegate_lst.relegate_date, "
                                  "relegate_lst.relegate_end_date, relegate_lst.relegate_keep_days, "
                                  "relegate_lst.relegate_location, ") +
                   queuePosition(QStringLiteral("relegate_lst"), QStringLiteral("relegate_no"),
                                 QStringLiteral("relegate_flag")) +
                   QStringLiteral(", relegate_lst.relegate_no FROM relegate_lst, call_no_lst WHERE "
                                  "relegate_lst.cert_id = ") +
                   q +
                   QStringLiteral(" AND call_no_lst.call_no = relegate_lst.call_no ORDER BY "
                                  "relegate_lst.relegate_date");
        },
        2,
        [](const InfoRow& r) {
            return QStringList{r[0], r.location(1), r.title(2),    r.author(2), r[3],
                               r[4], r[5],          r.location(6), r[7],        r[8]};
        }));

    tabs.append(queryTab(
        QStringLiteral("ReleArriInfo"), QStringLiteral("委托到馆"),
        {"索书号", "条码号", "题名", "责任者", "划到日期", "通知日期", "划到保留截止日期", "划到保留天数",
         "委托借阅日期", "委托还书日期", "划到馆藏地", "所在馆藏地", "委托还书地", "委托处理标志", "经手人"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(" SELECT item.call_no, item.bar_code, item.marc_rec_no, "
                                  "relegate_arri_lst.relegate_arri_date, relegate_arri_lst.noti_send_date, "
                                  "relegate_arri_lst.keep_end_date, relegate_arri_lst.relegate_keep_days, "
                                  "relegate_arri_lst.rele_lend_date, relegate_arri_lst.rele_ret_date, "
                                  "relegate_arri_lst.trans_location, relegate_arri_lst.found_location, "
                                  "relegate_arri_lst.ret_location, relegate_arri_lst.relegate_end_flag, "
                                  "relegate_arri_lst.resp_wkr FROM relegate_arri_lst, item WHERE "
                                  "relegate_arri_lst.cert_id = ") +
                   q +
                   QStringLiteral(" AND item.prop_no = relegate_arri_lst.prop_no ORDER BY "
                                  "relegate_arri_lst.relegate_arri_date");
        },
        2,
        [](const InfoRow& r) {
            return QStringList{r[0],           r[1],
                               r.title(2),     r.author(2),
                               r[3],           r[4],
                               r[5],           r[6],
                               r[7],           r[8],
                               r.location(9),  r.location(10),
                               r.location(11), InfoText::relegateState(r[12]),
                               r[13]};
        }));
    return tabs;
}
