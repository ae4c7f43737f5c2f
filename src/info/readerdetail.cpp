#include "readerdetail.h"

#include "db/database.h"
#include "infoconversions.h"

const QString ReaderDetail::passwordBox = QStringLiteral("txtRedrField20");

namespace {

// A statement column shown in a box; the column's index names the box of reader fields
// (txtRedrField<index>); card fields follow from column 32 on (txtRedrCertField<index - 32>).
struct Shown
{
    int column;
    const char* label;
    enum Kind { Text, Money, Sex, CardState, ReaderState } kind = Text;
};

constexpr int firstCardColumn = 32;

const Shown shown[] = {
    {4, "姓    名："},
    {5, "性    别：", Shown::Sex},
    {0, "证 件 号："},
    {3, "身份证号："},
    {1, "读者类型："},
    {2, "借阅等级："},
    {6, "出生日期："},
    {19, "文化程度："},
    {7, "单    位："},
    {31, "部门代码："},
    {8, "职    业："},
    {9, "职    务："},
    {10, "职    称："},
    {21, "年 级 组："},
    {22, "其他代码："},
    {11, "地    址："},
    {13, "邮    编："},
    {12, "电    话："},
    {29, "移动电话："},
    {14, "电子邮件："},
    {15, "累计借书："},
    {16, "当年借书："},
    {17, "违章状态："},
    {18, "欠款状态：", Shown::Money},
    {27, "押    金：", Shown::Money},
    {30, "预付款项：", Shown::Money},
    {25, "注册日期："},
    {26, "注销日期："},
    {28, "读者状态：", Shown::ReaderState},
    {24, "备    注："},
    {20, "密    码："},
    {32, "条 码 号："},
    {38, "证件状态：", Shown::CardState},
    {34, "办证日期："},
    {35, "有效起始日："},
    {36, "有效截止日："},
    {37, "办 证 费：", Shown::Money},
    {39, "经 手 人："},
};

QString boxName(int column)
{
    if (column == 5)
        return QStringLiteral("txtSex");
    return column < firstCardColumn ? QStringLiteral("txtRedrField%1").arg(column)
                                    : QStringLiteral("txtRedrCertField%1").arg(column - firstCardColumn);
}

QString shownValue(const ResultTable& rows, const Shown& field)
{
    if (rows.recordCount() == 0)
        return {};
    const QString text = rows.text(field.column, 2);
    switch (field.kind) {
    case Shown::Money:
        return InfoText::money(rows.number(field.column, 2));
    case Shown::Sex:
        return text == QLatin1String("M") ? QStringLiteral("男")
                                          : (text == QLatin1String("F") ? QStringLiteral("女") : text);
    case Shown::CardState:
        return InfoText::cardState(text);
    case Shown::ReaderState:
        return text == QLatin1String("0") ? QStringLiteral("注销") : QStringLiteral("正常");
    case Shown::Text:
        break;
    }
    return text;
}

} // namespace

QString ReaderDetail::statement(const QString& barcode)
{
    return QStringLiteral(
               "SELECT  reader.cert_id, reader_type.redr_type_name, lend_grd.remark, reader.id_card, "
               "reader.name, "
               "reader.sex, reader.birthday, reader.dept, reader.occupation, reader.duty, reader.position, "
               "reader.address, reader.tele, reader.postcode, reader.email, reader.total_lend_qty , "
               "reader.year_lend_qty , reader.volt_flag, reader.debt_flag, reader.education, "
               "reader.password, "
               "reader.code01 , reader.code02, reader.code02,reader.remark, reader.redr_reg_day, "
               "reader.redr_del_day, "
               "reader.deposit ,reader.redr_flag, reader.mobile , reader.obligate , reader.r_dep_id , "
               "reader_cert.redr_cert_id,reader_cert.cert_id, reader_cert.oper_date , reader_cert.bgn_date, "
               "reader_cert.end_date, reader_cert.charge , reader_cert.cert_flag, reader_cert.resp_wkr FROM  "
               "reader, "
               "reader_cert, reader_type, lend_grd WHERE  reader_cert.redr_cert_id=") +
           LIB_SQLQuote(barcode) +
           QStringLiteral(" AND  reader.cert_id = reader_cert.cert_id AND  "
                          "reader.redr_type_code=reader_type.redr_type_code "
                          "AND  reader.lend_grd=lend_grd.lend_grd");
}

int ReaderDetail::load(const QString& barcode, QList<ReaderDetailField>& fields)
{
    fields.clear();
    LIB_DB_CurrentStatement() = statement(barcode);
    ResultTable rows;
    const int status = LIB_DB_Select(LIB_DB_CurrentStatement(), rows);
    if (status != 0)
        rows.clear();
    for (const Shown& field : shown)
        fields.append({boxName(field.column), QString::fromUtf8(field.label), shownValue(rows, field)});
    return status;
}
