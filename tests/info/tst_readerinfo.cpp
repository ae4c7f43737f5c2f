// The reader window's data: every tab for demo readers, the code-to-text conversions, the lending
// history and its backup, the reader panel's card and the detail window's fields.
#include "db/database.h"
#include "info/infoconversions.h"
#include "info/infotab.h"
#include "info/readerdetail.h"
#include "info/readerinfotabs.h"
#include "info/readerpanel.h"
#include "support/deskdata.h"
#include "support/recordingpresenter.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QList<QStringList> tabRows(const QString& key, const QString& certId, bool backup = false)
{
    QList<QStringList> rows;
    const InfoTab* tab = ReaderInfoTabs::tab(key);
    if (!tab || InfoTabs::load(*tab, certId, backup, rows) != 0)
        qWarning("%s: %s", qPrintable(key), qPrintable(LIB_DB_Error().description));
    return rows;
}

} // namespace

class TestReaderInfo : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("readerinfo")};

private Q_SLOTS:
    void initTestCase()
    {
        loadDeskData(db, home.path());
        RecordingPresenter::install();
        // Reservations (R0000001 queues before R0000002), an arrival, a compensation, more cards
        // and a loan still out in the history tables.
        db.exec(QStringLiteral(
            "INSERT INTO preg_lst (preg_no, cert_id, call_no, location, preg_date, preg_flag) VALUES "
            "('Y1', 'R0000001', 'I247.55/L718', 'R1', '2024-01-01', '0'), "
            "('Y2', 'R0000002', 'I247.55/L718', 'R1', '2024-01-02', '0');"
            "INSERT INTO preg_arri_lst (cert_id, prop_no, preg_arri_date, location) VALUES "
            "('R0000002', 'P0000003', '2024-01-05', 'R2');"
            "INSERT INTO lost_recoup_lst (cert_id, prop_no, recoup_date, src_price, recoup_type) VALUES "
            "('R0000002', 'P0000010', '2024-02-01', 238, '2');"
            "INSERT INTO reader_cert (redr_cert_id, cert_id, cert_flag, oper_date) VALUES "
            "('D9000001', 'R0000001', '0', '2030-01-01'), ('D9000002', 'R0000001', '1', '2029-01-01'), "
            "('D9000003', 'R0000002', '2', '2000-01-01');"
            "INSERT INTO lend_hist (cert_id_f, prop_no_f, lend_date, ret_date) VALUES "
            "('R0000001', 'P0000001', '2024-03-0110:00:00', NULL);"
            "INSERT INTO lend_hist_bak (cert_id_f, prop_no_f, lend_date, ret_date, hist_serial) VALUES "
            "('R0000001', 'P0000002', '2019-03-0110:00:00', NULL, 900001), "
            "('R0000001', 'P0000003', '2019-02-0110:00:00', '2019-02-1010:00:00', 900002)"));
    }

    // Every tab runs for readers in each situation, and every row has a text per caption.
    void everyTabLoads_data()
    {
        QTest::addColumn<QString>("certId");
        for (const char* reader : {"R0000001", "R0000002", "R0000004", "R0000005", "R0000007", "R0000008",
                                   "R0000009", "R0000010", "R1000001", "NOBODY"})
            QTest::newRow(reader) << QString::fromLatin1(reader);
    }
    void everyTabLoads()
    {
        QFETCH(QString, certId);
        QCOMPARE(ReaderInfoTabs::tabs().size(), 14);
        for (const InfoTab& tab : ReaderInfoTabs::tabs()) {
            QList<QStringList> rows;
            QVERIFY2(InfoTabs::load(tab, certId, false, rows) == 0,
                     qPrintable(tab.key + QLatin1Char(' ') + LIB_DB_Error().description));
            for (const QStringList& row : rows)
                QVERIFY2(row.size() == tab.captions.size(), qPrintable(tab.key));
            if (certId == QLatin1String("NOBODY"))
                QVERIFY2(rows.isEmpty(), qPrintable(tab.key));
        }
    }

    void tabsShowTextsForCodes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("certId");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("validity checked") << "BaseAuth" << "R0000006" << 0 << "是否检测证件有效期" << "是";
        QTest::newRow("not checked") << "BaseAuth" << "R0000002" << 0 << "是否检测证件有效期" << "否";
        QTest::newRow("debt limit") << "BaseAuth" << "R0000002" << 0 << "最大可欠款额" << "50.00";
        QTest::newRow("sex") << "PartInfo" << "R0000001" << 0 << "性别" << "男";
        QTest::newRow("sex F") << "PartInfo" << "R0000002" << 0 << "性别" << "女";
        QTest::newRow("password") << "PartInfo" << "R0000001" << 0 << "密码" << "******";
        QTest::newRow("deposit") << "PartInfo" << "R0000002" << 0 << "押金" << "100.00";
        QTest::newRow("hour rule") << "Rule" << "R0000001" << 0 << "计时单位" << "小时";
        QTest::newRow("day rule") << "Rule" << "R0000001" << 1 << "计时单位" << "天";
        QTest::newRow("renewal from") << "Rule" << "R0000001" << 2 << "续借起始日" << "期满日算起";
        QTest::newRow("type 90 has no stack rule") << "Rule" << "R0000010" << 1 << "规则代码" << "COPY01";
        QTest::newRow("loss standing") << "CertLost" << "R0000005" << 0 << "是否已解挂" << "否";
        QTest::newRow("cancelled card") << "CertInfo" << "R0000004" << 0 << "证件状态" << "注销";
        QTest::newRow("lost card") << "CertInfo" << "R0000005" << 0 << "证件状态" << "挂失";
        QTest::newRow("card charge") << "CertInfo" << "R0000005" << 0 << "办证费" << "10.00";
        QTest::newRow("loan title") << "LendInfo" << "R1000001" << 0 << "题名" << "人类简史:从动物到上帝";
        QTest::newRow("loan author") << "LendInfo" << "R1000001" << 0 << "责任者" << "(以)尤瓦尔·赫拉利著";
        QTest::newRow("loan location") << "LendInfo" << "R1000001" << 0 << "馆藏地" << "第一阅览室";
        QTest::newRow("violation name") << "VoltInfo" << "R0000007" << 0 << "违章类型" << "扰乱阅览秩序";
        QTest::newRow("violation state") << "VoltInfo" << "R0000007" << 0 << "当前处理状态" << "罚款并停借";
        QTest::newRow("violation item") << "VoltInfo" << "R0000008" << 0 << "题名" << "计算机网络-第7版";
        QTest::newRow("overdue days") << "ExceedInfo" << "R0000009" << 0 << "超期时间" << "35天";
        QTest::newRow("fine") << "ExceedInfo" << "R0000009" << 0 << "应罚款额" << "6.50";
        QTest::newRow("unsettled") << "ExceedInfo" << "R0000009" << 0 << "执行标志" << "未处理";
        QTest::newRow("settled") << "ExceedInfo" << "R0000002" << 0 << "执行标志" << "处理完毕";
        QTest::newRow("queue position") << "PregInfo" << "R0000002" << 0 << "当前排列号" << "2";
        QTest::newRow("reservation title") << "PregInfo" << "R0000002" << 0 << "题名" << "三体";
        QTest::newRow("arrival location") << "PregArriInfo" << "R0000002" << 0 << "馆藏地" << "第二阅览室";
        QTest::newRow("compensation") << "LostInfo" << "R0000002" << 0 << "赔偿遗失类型" << "赔钱";
        QTest::newRow("compensation price") << "LostInfo" << "R0000002" << 0 << "原始价格" << "238.00";
        QTest::newRow("transfer queue") << "ReleInfo" << "R0000002" << 0 << "当前排列号" << "1";
        QTest::newRow("transfer state") << "ReleArriInfo" << "R0000002" << 0 << "委托处理标志" << "借出";
        // clang-format on
    }
    void tabsShowTextsForCodes()
    {
        QFETCH(QString, key);
        QFETCH(QString, certId);
        QFETCH(int, row);
        QFETCH(QString, caption);
        const int column = int(ReaderInfoTabs::tab(key)->captions.indexOf(caption));
        QVERIFY(column >= 0);
        QTEST(tabRows(key, certId).value(row).value(column), "shown");
    }

    // Only returned loans, latest return first; the backup table returned or not.
    void lendingHistoryAndItsBackup_data()
    {
        QTest::addColumn<bool>("backup");
        QTest::addColumn<QStringList>("propNos");
        QTest::newRow("history") << false << QStringList{"P0000012", "P0000004"};
        QTest::newRow("backup") << true << QStringList{"P0000003", "P0000002"};
    }
    void lendingHistoryAndItsBackup()
    {
        QFETCH(bool, backup);
        QStringList shown;
        for (const QStringList& row :
             tabRows(QStringLiteral("LendHistoryInfo"), QStringLiteral("R0000001"), backup))
            shown << row.at(1);
        if (backup)
            std::sort(shown.begin(), shown.end(), std::greater<>());
        QTEST(shown, "propNos");
    }

    // The card with the highest state first, among equal states the latest issued.
    void panelShowsTheFirstCard_data()
    {
        QTest::addColumn<QString>("certId");
        QTest::addColumn<QString>("barcode");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("newer valid card") << "R0000001" << "D9000002" << "张伟";
        QTest::newRow("lost card above valid") << "R0000002" << "D9000003" << "李娜";
        QTest::newRow("unknown") << "NOBODY" << "" << "";
        // clang-format on
    }
    void panelShowsTheFirstCard()
    {
        QFETCH(QString, certId);
        QStringList values;
        QCOMPARE(ReaderPanel::load(certId, values), 0);
        QCOMPARE(values.size(), ReaderPanel::labels().size());
        QTEST(values.at(0), "barcode");
        QTEST(values.at(2), "name");
        QString valid;
        QCOMPARE(ReaderPanel::validCard(QStringLiteral("R0000004"), valid), 0);
        QVERIFY(valid.isEmpty());
    }

    void overdueTimeInDaysOrHours_data()
    {
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("returned");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("days") << "2024-02-27" << "2024-03-0109:00:00" << "D" << "3天";
        QTest::newRow("hour passed") << "2024-01-0110:59:00" << "2024-01-0111:00:01" << "H" << "1小时";
        QTest::newRow("within the hour") << "2024-01-0110:00:00" << "2024-01-0110:59:59" << "H" << "0小时";
        QTest::newRow("over midnight") << "2024-01-0123:30:00" << "2024-01-0201:10:00" << "H" << "2小时";
        QTest::newRow("no return") << "2024-01-01" << "" << "D" << "";
        // clang-format on
    }
    void overdueTimeInDaysOrHours()
    {
        QFETCH(QString, due);
        QFETCH(QString, returned);
        QFETCH(QString, unit);
        QTEST(InfoText::overdueTime(due, returned, unit), "shown");
    }

    void portraitBytesArriveWhole()
    {
        const QByteArray picture("GIF89a\x01\x00\x01\x00\x00\xff", 12);
        db.exec(QStringLiteral("INSERT INTO reader_portrait VALUES ('R0000002', '\\x%1')")
                    .arg(QString::fromLatin1(picture.toHex())));
        QByteArray bytes;
        QCOMPARE(ReaderPanel::portrait(QStringLiteral("R0000002"), bytes), 0);
        QCOMPARE(bytes, picture);
        QCOMPARE(ReaderPanel::portrait(QStringLiteral("R0000001"), bytes), 0);
        QVERIFY(bytes.isEmpty());
    }

    void detailFieldsOfACard_data()
    {
        QTest::addColumn<QString>("barcode");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        // clang-format off
        QTest::newRow("name") << "D0000001" << "txtRedrField4" << "张伟";
        QTest::newRow("sex") << "D0000002" << "txtSex" << "女";
        QTest::newRow("grade") << "D0000001" << "txtRedrField2" << "二级：可借阅普通文献";
        QTest::newRow("prepaid") << "D0000001" << "txtRedrField30" << "10.00";
        QTest::newRow("deregistered") << "D0000003" << "txtRedrField28" << "注销";
        QTest::newRow("card state") << "D0000005" << "txtRedrCertField6" << "挂失";
        QTest::newRow("password in clear") << "D0000001" << "txtRedrField20" << "123456";
        QTest::newRow("unknown card") << "NONE" << "txtRedrField4" << "";
        // clang-format on
    }
    void detailFieldsOfACard()
    {
        QFETCH(QString, barcode);
        QFETCH(QString, box);
        QFETCH(QString, value);
        QList<ReaderDetailField> fields;
        QCOMPARE(ReaderDetail::load(barcode, fields), 0);
        auto found =
            std::find_if(fields.cbegin(), fields.cend(), [&](const auto& f) { return f.box == box; });
        QVERIFY(found != fields.cend());
        QCOMPARE(found->value, value);
    }
};

QTEST_MAIN(TestReaderInfo)
#include "tst_readerinfo.moc"
