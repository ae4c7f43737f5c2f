#include "readerpanel.h"

#include "db/database.h"
#include "readercaptions.h"

QStringList ReaderPanel::labels()
{
    const ReaderCaptions& c = ReaderCaptions::instance();
    using C = ReaderCaptions;
    return {c.captionOr(C::Card, C::CardBarcode, QStringLiteral("条码号")),
            c.captionOr(C::Reader, C::CertId, QStringLiteral("证件号")),
            c.captionOr(C::Reader, C::Name, QStringLiteral("姓名")),
            c.captionOr(C::Reader, C::IdCard, QStringLiteral("身份证号")),
            c.captionOr(C::Reader, C::ReaderType, QStringLiteral("读者类型")),
            c.captionOr(C::Reader, C::Department, QStringLiteral("单位")),
            QStringLiteral("借阅等级"),
            c.captionOr(C::Reader, C::Occupation, QStringLiteral("职业")),
            c.captionOr(C::Reader, C::GradeGroup, QStringLiteral("年级组")),
            c.captionOr(C::Reader, C::DepartmentCode, QStringLiteral("部门代码")),
            QStringLiteral("类型代码"),
            QStringLiteral("其他代码")};
}

QString ReaderPanel::statement(const QString& certId)
{
    return QStringLiteral(" SELECT reader_cert.redr_cert_id, reader.cert_id, reader.name , reader.id_card, "
                          "reader_type.redr_type_name, reader.dept, lend_grd.remark , reader.occupation, "
                          "reader.code01, reader.r_dep_id, reader.redr_type_code, reader.code02 FROM "
                          "reader,reader_cert,reader_type,lend_grd WHERE reader.cert_id=") +
           LIB_SQLQuote(certId) +
           QStringLiteral(
               " AND reader.cert_id=reader_cert.cert_id AND reader.redr_type_code=reader_type.redr_type_code "
               "AND reader.lend_grd=lend_grd.lend_grd ORDER BY reader_cert.cert_flag "
               "DESC,reader_cert.oper_date desc");
}

int ReaderPanel::load(const QString& certId, QStringList& values)
{
    values = QStringList(12);
    LIB_DB_CurrentStatement() = statement(certId);
    ResultTable rows;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    if (rows.recordCount() > 0) {
        for (int c = 0; c < 12; ++c)
            values[c] = rows.text(c, 2);
    }
    return 0;
}

int ReaderPanel::portrait(const QString& certId, QByteArray& bytes)
{
    bytes.clear();
    // The bytes travel as hexadecimal text, whole in the one row.
    LIB_DB_CurrentStatement() =
        QStringLiteral("SELECT encode(rearder_portrait, 'hex') FROM reader_portrait WHERE "
                       "P_cert_id=") +
        LIB_SQLQuote(certId);
    ResultTable rows;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    bytes = QByteArray::fromHex(rows.text(0, 2).toLatin1());
    return 0;
}

int ReaderPanel::validCard(const QString& certId, QString& barcode)
{
    LIB_DB_CurrentStatement() = QStringLiteral("SELECT redr_cert_id FROM reader_cert WHERE cert_id=") +
                                LIB_SQLQuote(certId) + QStringLiteral(" AND cert_flag=") +
                                LIB_SQLQuote(QStringLiteral("1"));
    ResultTable rows;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    barcode = rows.text(0, 2);
    return 0;
}
