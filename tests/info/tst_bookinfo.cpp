// The book search (one path, and the five rows combined) against the demo titles, the item
// window's tabs and the hit list read in batches.
#include "db/database.h"
#include "info/bookhitsmodel.h"
#include "info/bookinfotabs.h"
#include "info/booksearch.h"
#include "info/infotab.h"
#include "support/deskdata.h"
#include "support/recordingpresenter.h"

#include <QTemporaryDir>
#include <QTest>

using BookSearch::Condition;

namespace {

QString number(int n)
{
    return QStringLiteral("%1").arg(n, 10, 10, QLatin1Char('0'));
}

// "01:前方匹配:value" -> a condition row.
QList<Condition> conditions(const QStringList& texts)
{
    QList<Condition> rows;
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char(':'));
        rows.append({parts.at(0), BookSearch::Operator(BookSearch::operatorCaptions().indexOf(parts.at(1))),
                     parts.at(2)});
    }
    return rows;
}

} // namespace

class TestBookInfo : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("bookinfo")};

private Q_SLOTS:
    void initTestCase()
    {
        loadDeskData(db, home.path());
        RecordingPresenter::install();
    }

    // The rows' statement as it is sent, including the two joins the row order leaves open (the
    // other combinations run against the demo titles below).
    void combinedStatementText_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("longMarc");
        QTest::addColumn<QString>("statement");
        QTest::newRow("one index row")
            << QStringList{"01:前方匹配:三体"} << false
            << " SELECT DISTINCT idx0.marc_rec_no FROM  marc_idx idx0 "
               "WHERE (idx0.marc_idx_grp = '01' AND  idx0.marc_idx_cont Like '三体%') ";
        QTest::newRow("two index rows and a barcode")
            << QStringList{"01:任意匹配:c", "93:完全匹配:B0000013", "02:前方匹配:k"} << false
            << " SELECT DISTINCT idx2.marc_rec_no FROM  marc_idx idx0, marc_idx idx2, indi_acct "
               "WHERE (idx0.marc_idx_grp = '01' AND  idx0.marc_idx_cont Like '%C%') "
               "AND indi_acct.bar_code = 'B0000013' "
               "AND (idx2.marc_idx_grp = '02' AND  idx2.marc_idx_cont Like 'K%') "
               "AND  indi_acct.marc_rec_no = idx0.marc_rec_no AND idx0.marc_rec_no = idx2.marc_rec_no ";
        QTest::newRow("index row after an item row joins to it")
            << QStringList{"92:前方匹配:P00000", "<不定>:前方匹配:x", "01:前方匹配:三"} << false
            << " SELECT DISTINCT idx2.marc_rec_no FROM  marc_idx idx2, indi_acct "
               "WHERE indi_acct.prop_no Like 'P00000%' "
               "AND (idx2.marc_idx_grp = '01' AND  idx2.marc_idx_cont Like '三%') "
               "AND  indi_acct.marc_rec_no = idx2.marc_rec_no ";
        QTest::newRow("call number only") << QStringList{"91:前方匹配:I24"} << false
                                          << " SELECT DISTINCT call_no_lst.marc_rec_no FROM call_no_lst "
                                             "WHERE call_no_lst.call_no Like 'I24%' ";
        QTest::newRow("no value") << QStringList{"01:前方匹配:", "<不定>:前方匹配:x"} << false << "";
    }
    void combinedStatementText()
    {
        QFETCH(QStringList, rows);
        QFETCH(bool, longMarc);
        QFETCH(QString, statement);
        QString refusal;
        QCOMPARE(BookSearch::combinedStatement(conditions(rows), longMarc, &refusal), statement);
        QCOMPARE(refusal, statement.isEmpty() ? QStringLiteral("EBM003") : QString());
    }

    void searchesFindTheDemoTitles_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("combined");
        QTest::addColumn<bool>("longMarc"); // the server's unistr() takes the escaped form on any schema
        QTest::addColumn<QStringList>("found");
        const auto add = [](const char* tag, const QStringList& rows, bool combined, bool longMarc,
                            const QList<int>& found) {
            QStringList numbers;
            for (int n : found)
                numbers << number(n);
            QTest::newRow(tag) << rows << combined << longMarc << numbers;
        };
        add("title prefix", {"01:前方匹配:中国"}, false, false, {6, 24});
        add("english title, any case", {"01:前方匹配:structure"}, false, false, {19, 20});
        add("title anywhere", {"01:任意匹配:通史"}, false, false, {6});
        add("call number", {"91:前方匹配:TP311.5"}, false, false, {18, 23});
        add("barcode", {"93:完全匹配:B0000004"}, false, false, {4});
        add("property number", {"92:前方匹配:P000040"}, false, false, {22, 23, 24});
        add("index and barcode", {"01:前方匹配:中国", "93:完全匹配:B0000006"}, true, false, {6});
        add("index and barcode of another title", {"01:前方匹配:中国", "93:完全匹配:B0000004"}, true, false,
            {});
        add("two index rows", {"02:前方匹配:刘慈欣", "08:前方匹配:重庆"}, true, false, {4});
        add("barcode and call number", {"91:前方匹配:I", "93:前方匹配:B000000"}, true, false,
            {1, 2, 3, 4, 5});
        add("unistr pattern", {"01:前方匹配:三"}, false, true, {4});
        add("unistr rows", {"01:任意匹配:体", "93:前方匹配:B0000004"}, true, true, {4});
    }
    void searchesFindTheDemoTitles()
    {
        QFETCH(QStringList, rows);
        QFETCH(bool, combined);
        QFETCH(bool, longMarc);
        QString refusal;
        const QString statement = combined
                                      ? BookSearch::combinedStatement(conditions(rows), longMarc, &refusal)
                                      : BookSearch::singleStatement(conditions(rows).first(), longMarc);
        QStringList numbers;
        QCOMPARE(BookSearch::find(statement, numbers), 0);
        numbers.sort();
        QTEST(numbers, "found");
    }

    // Every tab runs for titles in each situation, with a text per caption in every row.
    void everyTabLoads_data()
    {
        QTest::addColumn<QString>("marcRecNo");
        for (int n : {1, 4, 5, 12, 22, 23, 24, 999})
            QTest::newRow(qPrintable(number(n))) << number(n);
    }
    void everyTabLoads()
    {
        QFETCH(QString, marcRecNo);
        QCOMPARE(BookInfoTabs::tabs().size(), 15);
        for (const InfoTab& tab : BookInfoTabs::tabs()) {
            for (bool backup : {false, true}) {
                QList<QStringList> rows;
                QVERIFY2(InfoTabs::load(tab, marcRecNo, backup, rows) == 0,
                         qPrintable(tab.key + QLatin1Char(' ') + LIB_DB_Error().description));
                for (const QStringList& row : rows)
                    QVERIFY2(row.size() == tab.captions.size(), qPrintable(tab.key));
            }
        }
    }

    void tabsShowTexts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("copies") << "BaseInfo" << 4 << 0 << "总册数" << "2";
        QTest::newRow("circulation type") << "BaseInfo" << 4 << 0 << "流通类型" << "中文图书";
        QTest::newRow("locations") << "CallNoInfo" << 4 << 1 << "馆藏地" << "第二阅览室";
        QTest::newRow("loan reader") << "LendInfo" << 22 << 0 << "姓名" << "赵嘉怡";
        QTest::newRow("transfer") << "ReleArri" << 23 << 0 << "委托处理标志" << "借出";
        QTest::newRow("overdue") << "ExceedInfo" << 5 << 0 << "超期时间" << "30天";
        QTest::newRow("MARC leader") << "MarcInfo" << 4 << 0 << "字段" << "LDR";
        QTest::newRow("MARC control field") << "MarcInfo" << 4 << 1 << "字段内容" << "0000000004";
        QTest::newRow("MARC indicators") << "MarcInfo" << 4 << 9 << "指示符" << "1 ";
        QTest::newRow("MARC delimiters") << "MarcInfo" << 4 << 9 << "字段内容" << "$a三体$f刘慈欣著";
        // clang-format on
    }
    void tabsShowTexts()
    {
        QFETCH(QString, key);
        QFETCH(int, record);
        QFETCH(int, row);
        QFETCH(QString, caption);
        const InfoTab* tab = BookInfoTabs::tab(key);
        QList<QStringList> rows;
        QCOMPARE(InfoTabs::load(*tab, number(record), false, rows), 0);
        QTEST(rows.value(row).value(int(tab->captions.indexOf(caption))), "shown");
    }

    // The first batch comes with the numbers, each further batch in one statement.
    void hitsArriveInBatches()
    {
        QStringList numbers;
        for (int n = 1; n <= 450; ++n)
            numbers << number(n);
        BookHitsModel hits(BookHitsModel::Layout::ItemList);
        DbSession& session = DbSession::current();
        long sent = session.roundTrips();
        QCOMPARE(hits.setHits(numbers), 0);
        QCOMPARE(session.roundTrips() - sent, 1L);
        QCOMPARE(hits.rowCount(), BookHitsModel::BatchSize);
        QCOMPARE(hits.hitCount(), 450);
        QCOMPARE(hits.index(3, 0).data().toString(), QStringLiteral("三体"));
        QCOMPARE(hits.index(3, 7).data().toString(), QStringLiteral("CN"));
        QCOMPARE(hits.index(12, 5).data().toString(), QStringLiteral("英文"));
        sent = session.roundTrips();
        while (hits.canFetchMore({}))
            hits.fetchMore({});
        QCOMPARE(session.roundTrips() - sent, 2L);
        QCOMPARE(hits.rowCount(), 450);
        QCOMPARE(hits.marcRecNo(449), number(450));
    }
};

QTEST_MAIN(TestBookInfo)
#include "tst_bookinfo.moc"
