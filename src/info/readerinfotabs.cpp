// The reader window's first tabs (the reader type's rights, the reader, the rules, the cards) and
// the list of all fourteen.
#include "readerinfotabs.h"

#include "codes/circrule.h"
#include "codes/codetables.h"
#include "db/database.h"
#include "infoconversions.h"

namespace {

using Rows = QList<QStringList>;
using InfoTabs::loadedTab;
using InfoTabs::queryTab;

QString readerTypeCode(const QString& certId, int& status)
{
    LIB_DB_CurrentStatement() =
        QStringLiteral(" SELECT redr_type_code FROM reader WHERE cert_id = ") + LIB_SQLQuote(certId);
    ResultTable rows;
    status = LIB_DB_Select(LIB_DB_CurrentStatement(), rows);
    return rows.text(0, 2);
}

int loadBaseAuth(const QString& certId, Rows& rows)
{
    int status = 0;
    const QString type = readerTypeCode(certId, status);
    if (status != 0 || type.isEmpty())
        return status;
    LIB_DB_CurrentStatement() =
        QStringLiteral(
            "SELECT redr_type_name, redr_attr_1, redr_attr_2, redr_attr_3, max_lend_qty, max_debt_amt, "
            "max_preg_qty, max_preg_days, chk_validity_period, remark FROM reader_type WHERE "
            "redr_type_code =") +
        LIB_SQLQuote(type);
    ResultTable result;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), result) != 0)
        return -1;
    for (int r = 2; r < result.recordCount() + 2; ++r) {
        QStringList row;
        for (int c = 0; c < 10; ++c)
            row.append(result.text(c, r));
        row[5] = InfoText::money(result.number(5, r));
        row[8] = InfoText::yesNo(row.at(8));
        rows.append(row);
    }
    return 0;
}

// Every rule component whose reader-type list holds the type code as a piece of text, with its
// rule from the cached rule table.
int loadRules(const QString& certId, Rows& rows)
{
    int status = 0;
    const QString type = readerTypeCode(certId, status);
    if (status != 0 || type.isEmpty())
        return status;
    const ResultTable& components = LIB_CodeTable(CodeTable::RuleComponents);
    const ResultTable& rules = LIB_CodeTable(CodeTable::CircRules);
    for (int r = 2; r < components.recordCount() + 2; ++r) {
        if (!components.text(RuleComponentColumn::ReaderTypeCodes, r).contains(type))
            continue;
        const QString ruleNo = components.text(RuleComponentColumn::RuleNo, r);
        int rule = 2;
        while (rule < rules.recordCount() + 2 && rules.text(CircRuleColumn::RuleNo, rule) != ruleNo)
            ++rule;
        auto v = [&rules, rule](int column) { return rules.text(column, rule); };
        auto money = [&rules, rule](int column) { return InfoText::money(rules.number(column, rule)); };
        using namespace CircRuleColumn;
        rows.append({components.text(RuleComponentColumn::LocationCodes, r),
                     components.text(RuleComponentColumn::CircTypeCodes, r),
                     ruleNo,
                     v(RuleName),
                     InfoText::timeUnit(v(TimeUnit)),
                     v(NormTerm),
                     v(LimtLendQty),
                     v(MaxLendQty),
                     v(PergYsno),
                     v(RenewYsno),
                     v(MaxRenewTimes),
                     v(RenewBefExpDays),
                     v(FstRenewDays),
                     v(AddRenewDays),
                     v(PregKeepDays),
                     v(MaxExcdTimes),
                     v(UnfineExtDays),
                     v(FstFineDays),
                     money(FstFinePrice),
                     money(OtherFinePrice),
                     money(TechFee),
                     money(ServFee),
                     InfoText::renewFrom(v(RenewCalcFlag)),
                     v(RuleFlag)});
    }
    return 0;
}

QList<InfoTab> makeTabs()
{
    QList<InfoTab> tabs;

    tabs.append(loadedTab(QStringLiteral("BaseAuth"), QStringLiteral("基本权限"),
                          {"读者类型", "属 性 一", "属 性 二", "属 性 三", "最大可借阅数", "最大可欠款额",
                           "最大可预约数", "预约(委托)保留天数", "是否检测证件有效期", "说    明"},
                          loadBaseAuth));

    tabs.append(queryTab(
        QStringLiteral("PartInfo"), QStringLiteral("详细信息"),
        {"条码号",   "证件号",   "姓名",       "身份证号",   "出生日期", "性别",     "读者类型", "借阅等级",
         "文化程度", "职业",     "职务",       "职称",       "单位",     "年级组",   "部门代码", "地址",
         "邮编",     "电话",     "移动电话",   "办证费",     "押金",     "预付款",   "其他代码", "电子邮件",
         "办证日期", "注册日期", "有效起始日", "有效截止日", "注销日期", "违章状态", "欠款状态", "累计借书",
         "当年借书", "经手人",   "备注",       "密码"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(
                       " SELECT reader_cert.redr_cert_id, reader.cert_id, reader.name, reader.id_card, "
                       "reader.birthday, reader.sex, reader_type.redr_type_name, lend_grd.remark, "
                       "reader.education, reader.occupation, reader.duty, reader.position, reader.dept, "
                       "reader.code01, reader.r_dep_id, reader.address, reader.postcode, reader.tele, "
                       "reader.mobile, reader_cert.charge, reader.deposit, reader.obligate, "
                       "reader.code02, reader.email, reader_cert.oper_date, reader.redr_reg_day, "
                       "reader_cert.bgn_date, reader_cert.end_date, reader.redr_del_day, "
                       "reader.volt_flag, reader.debt_flag, reader.total_lend_qty, reader.year_lend_qty, "
                       "reader_cert.resp_wkr, reader.remark, reader.password FROM reader, reader_cert, "
                       "reader_type, lend_grd WHERE reader.cert_id = ") +
                   q +
                   QStringLiteral(" AND reader.cert_id = reader_cert.cert_id AND reader.redr_type_code = "
                                  "reader_type.redr_type_code AND reader.lend_grd = lend_grd.lend_grd "
                                  "ORDER BY reader_cert.cert_flag DESC");
        },
        -1,
        [](const InfoRow& r) {
            QStringList row;
            for (int c = 0; c < 36; ++c)
                row.append(r[c]);
            row[5] = InfoText::sex(r[5]);
            for (int c : {19, 20, 21, 30})
                row[c] = r.money(c);
            row[35] = InfoText::masked(r[35]);
            return row;
        }));

    tabs.append(loadedTab(QStringLiteral("Rule"), QStringLiteral("适应规则"),
                          {"适用馆藏地",   "适用流通类型", "规则代码",     "名称",         "计时单位",
                           "正常借期",     "限借册数",     "本地最大册数", "允许预约",     "允许续借",
                           "最大续借次数", "续借提前天数", "首次续借期限", "再次续借期限", "预约保留天数",
                           "最大超期次数", "超期免罚天数", "首期罚款天数", "首期罚款单价", "其后罚款单价",
                           "技术处理费",   "人工服务费",   "续借起始日",   "规则状态"},
                          loadRules));

    tabs.append(queryTab(
        QStringLiteral("CertLost"), QStringLiteral("证件挂失"),
        {"条码号", "挂失日期", "解挂日期", "是否已解挂", "经手人", "说明"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(
                       " SELECT cert_loss.redr_cert_id, cert_loss.lose_date, cert_loss.solv_date, "
                       "cert_loss.cert_lose_flag, cert_loss.resp_wkr, cert_loss.remark FROM "
                       "cert_loss,reader_cert WHERE cert_loss.redr_cert_id=reader_cert.redr_cert_id AND "
                       "reader_cert.cert_id=") +
                   q + QStringLiteral(" ORDER BY cert_loss.lose_date DESC");
        },
        -1,
        [](const InfoRow& r) {
            return QStringList{r[0], r[1], r[2], InfoText::lossLifted(r[3]), r[4], r[5]};
        }));

    tabs.append(queryTab(
        QStringLiteral("CertInfo"), QStringLiteral("办证情况"),
        {"条码号", "证件状态", "办证日期", "有效起始日", "有效截止日", "办证费", "押金", "预付款", "经手人"},
        [](const QString& q, bool) -> QString {
            return QStringLiteral(
                       " SELECT reader_cert.redr_cert_id, reader_cert.cert_flag, reader_cert.oper_Date, "
                       "reader_cert.bgn_date, reader_cert.end_date, reader_cert.charge, reader.deposit, "
                       "reader.obligate, reader_cert.resp_wkr FROM reader_cert,reader WHERE "
                       "reader_cert.cert_id = ") +
                   q +
                   QStringLiteral(" AND reader_cert.cert_id = reader.cert_id ORDER BY "
                                  "reader_cert.oper_date DESC");
        },
        -1,
        [](const InfoRow& r) {
            return QStringList{
                r[0], InfoText::cardState(r[1]), r[2], r[3], r[4], r.money(5), r.money(6), r.money(7), r[8]};
        }));

    tabs.append(ReaderInfoTabs::loanTabs());
    return tabs;
}

} // namespace

const QList<InfoTab>& ReaderInfoTabs::tabs()
{
    static const QList<InfoTab> list = makeTabs();
    return list;
}

const InfoTab* ReaderInfoTabs::tab(const QString& key)
{
    for (const InfoTab& each : tabs()) {
        if (each.key == key)
            return &each;
    }
    return nullptr;
}
