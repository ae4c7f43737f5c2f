// The ranking, rate and visit windows offscreen against the demo library with events of May 2019
// added: the title rankings and their row selection, the rate conditions, the reader ranking, the
// visit counts by type, unit, grade and department, the use per copy, the period dialog, the
// messages of empty results and the printed heading lines, figures against plain SQL counts.
#include "codes/codetables.h"
#include "db/database.h"
#include "db/sysparams.h"
#include "info/marcindexparams.h"
#include "print/printhandover.h"
#include "startup/operatorsession.h"
#include "stats/FrmBookTop.h"
#include "stats/FrmLendRate.h"
#include "stats/frmDateStart.h"
#include "stats/frmRedrCount.h"
#include "stats/frmRedrLendCount.h"
#include "stats/frmUsingStat.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

template <typename T> T* child(const QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no %s", name);
    return widget;
}

void click(const QWidget& window, const char* name)
{
    auto* button = child<QAbstractButton>(window, name);
    const bool option = qobject_cast<QRadioButton*>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, option ? QPoint(6, button->height() / 2) : QPoint());
}

// Runs `act` on the next modal window (input box, print designer, range dialog) once it shows.
void whenModal(std::function<void(QWidget&)> act)
{
    QTimer::singleShot(0, [act] {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(*modal);
    });
}

// Chooses a combo entry the way the operator does (the activated signal).
void choose(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

// The answer typed into the next input box ("" cancels).
void answerInputBox(const QString& answer)
{
    whenModal([answer](QWidget& modal) {
        auto* box = qobject_cast<QInputDialog*>(&modal);
        if (!box) {
            modal.close();
        } else if (answer.isEmpty()) {
            box->reject();
        } else {
            box->setTextValue(answer);
            box->accept();
        }
    });
}

void setYear(const QWidget& window, int year)
{
    child<QScrollBar>(window, "updYear")->setValue(year);
}

QStringList column(const StatTableModel& grid, int c)
{
    QStringList cells;
    for (const QStringList& row : grid.rows())
        cells.append(row.value(c));
    return cells;
}

} // namespace

class TestRankWindows : public QObject
{
    Q_OBJECT
    TestDatabase db{QStringLiteral("rankwindows")};
    RecordingPresenter* presenter = nullptr;

    long roundTrips() const { return DbSession::current().roundTrips(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(db.isReady());
        QCOMPARE(db.connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        QCOMPARE(LIB_LoadCodeTables(), 0);
        QCOMPARE(MarcIndexParameters::instance().load(), 0);
        OperatorSession::current().workerNumber = QStringLiteral("A001");
        presenter = RecordingPresenter::install();
        // May 2019: every item read by readers 1..7 at R1, item k (in barcode order) k mod 5 + 1
        // times; the first readers come most often; reader 8 has no unit.
        db.exec(QStringLiteral("UPDATE reader SET dept = NULL WHERE cert_id = 'R0000008'"));
        db.exec(QStringLiteral("INSERT INTO redr_book_stat_hist (prop_no, cert_id, date_time, location_f, "
                               "marc_rec_no, call_no, cls_id) "
                               "SELECT i.prop_no, 'R000000' || (1 + (n + r) % 7), '2019-05-' || lpad((1 + (n "
                               "+ r) % 28)::text, 2, '0') "
                               "       || '10:00:00', 'R1', i.marc_rec_no, i.call_no, c.cls_id "
                               "FROM (SELECT prop_no, marc_rec_no, call_no, row_number() OVER (ORDER BY "
                               "bar_code) AS n FROM item) i "
                               "JOIN call_no_lst c ON c.call_no = i.call_no "
                               "CROSS JOIN generate_series(0, 4) r WHERE r <= i.n % 5"));
        db.exec(QStringLiteral(
            "INSERT INTO book_use_stat_hist (prop_no, date_time, location_f, marc_rec_no, call_no, cls_id) "
            "SELECT prop_no, date_time, location_f, marc_rec_no, call_no, cls_id FROM redr_book_stat_hist "
            "WHERE date_time LIKE '2019%'"));
        db.exec(
            QStringLiteral("INSERT INTO reader_book_stat (prop_no, cert_id, date_time, location_f, call_no) "
                           "SELECT prop_no, cert_id, date_time, location_f, call_no FROM redr_book_stat_hist "
                           "WHERE date_time LIKE '2019%'"));
        // Visits: reader k (1..8) comes 9 - k times, at R1 in the first half of May, R2 after.
        db.exec(QStringLiteral(
            "INSERT INTO reader_stat (cert_id, read_date_time, location_f) "
            "SELECT 'R000000' || k, '2019-05-' || lpad((2 * v)::text, 2, '0') || '09:00:00', "
            "       CASE WHEN v <= 4 THEN 'R1' ELSE 'R2' END "
            "FROM generate_series(1, 8) k CROSS JOIN generate_series(1, 8) v WHERE v <= 9 - k"));
        db.exec(QStringLiteral("INSERT INTO reader_stat_hist (cert_id, date_time, location_f) "
                               "SELECT cert_id, read_date_time, location_f FROM reader_stat "
                               "WHERE read_date_time LIKE '2019%'"));
    }
    void init() { presenter->clear(); }

    // FrmBookTop: at most n titles per class, the class name on each class's first row only,
    // every reading of the year ranked (each class of S02 covers the demo's call numbers); a
    // count within what the run read shows again without asking the server.
    void bookTop_data()
    {
        QTest::addColumn<QString>("count");  // the "记录显示" entry, "[自定义]:answer" for the box
        QTest::addColumn<QString>("order");  // "借阅次数" or "借阅比率"
        QTest::addColumn<int>("shown");      // titles per class at most
        QTest::addColumn<bool>("askServer"); // the count needs a new run
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, const char* count, const char* order, int shown, bool askServer,
                      const char* message) {
            QTest::newRow(name) << QString(count) << QString(order) << shown << askServer << QString(message);
        };
        row("twenty by rate", "20", "借阅比率", 20, false, "");
        row("three typed", "[自定义]:3", "借阅次数", 3, false, "");
        row("beyond what was read", "[自定义]:150", "借阅次数", 150, true, "");
        row("not a number", "[自定义]:ten", "借阅次数", 10, false, "条件输入不正确！");
    }
    void bookTop()
    {
        QFETCH(QString, count);
        QFETCH(QString, order);
        QFETCH(int, shown);
        FrmBookTop window(false);
        setYear(window, 2019);
        choose(child<QComboBox>(window, "cboStatType"), QStringLiteral("年度"));
        child<QComboBox>(window, "cboTemplate")
            ->setCurrentIndex(child<QComboBox>(window, "cboTemplate")->findData(QStringLiteral("S02")));
        choose(child<QComboBox>(window, "cboOrder"), order);
        click(window, "cmdStat");
        QVERIFY(child<QPushButton>(window, "cmdPrint")->isEnabled());
        ResultTable way;
        QCOMPARE(LIB_DB_Select(QStringLiteral("SELECT current_setting('tj_sort.last_way')"), way), 0);
        QCOMPARE(way.text(0, 2), QStringLiteral("walked")); // a year with a top walks down its titles

        const long before = roundTrips();
        if (count.startsWith(QStringLiteral("[自定义]"))) {
            answerInputBox(count.section(QLatin1Char(':'), 1));
            choose(child<QComboBox>(window, "cboShowCount"), QStringLiteral("[自定义]"));
        } else {
            choose(child<QComboBox>(window, "cboShowCount"), count);
        }
        QTEST(presenter->lastText(), "message");
        QTEST(roundTrips() > before, "askServer");

        const StatTableModel& grid = window.grid();
        QMap<QString, int> perClass;
        int row = 0;
        qint64 readings = 0;
        for (const RankedTitle& title : window.titles()) {
            if (title.rank > shown)
                continue;
            // the class name on the first row of its class only
            QCOMPARE(grid.cell(row, 0).isEmpty(), title.rank != 1);
            QCOMPARE(grid.cell(row, 1), title.title);
            QVERIFY(++perClass[title.classCode] <= shown);
            readings += grid.cell(row, 7).toLongLong();
            ++row;
        }
        QCOMPARE(row, grid.rowCount());
        if (shown >= 100) // every title: every reading of the year
            QCOMPARE(readings, db.scalar(QStringLiteral("SELECT count(*) FROM redr_book_stat_hist "
                                                        "WHERE date_time LIKE '2019%'"))
                                   .toLongLong());
        // ranked within each class by the figure chosen, highest first
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (!grid.cell(r, 0).isEmpty())
                continue;
            const int figure = order == QStringLiteral("借阅次数") ? 7 : 8;
            QVERIFY(grid.cell(r, figure).toDouble() <= grid.cell(r - 1, figure).toDouble());
        }
    }

    // FrmLendRate: the titles whose readings per copy meet the condition, as many as SQL counts;
    // numbers it cannot read stop the run with a message.
    void lendRate_data()
    {
        QTest::addColumn<QString>("test");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("valueTo");
        QTest::addColumn<QString>("sqlTest"); // on r, the title's readings per copy
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, const char* test, const char* value, const char* valueTo,
                      const char* sqlTest, const char* message) {
            QTest::newRow(name) << QString(test) << QString(value) << QString(valueTo) << QString(sqlTest)
                                << QString(message);
        };
        row("above", "大于", "3", "", "r > 3", "");
        row("at most", "小于等于", "2.5", "", "r <= 2.5", "");
        row("equal", "等于", "5", "", "r = 5", "");
        row("between", "区间", "1.5", "4", "r BETWEEN 1.5 AND 4", "");
        row("not a number", "大于", "three", "", "", "条件输入不正确！");
        row("range half given", "区间", "1", "", "", "条件输入不正确！");
    }
    void lendRate()
    {
        QFETCH(QString, test);
        QFETCH(QString, value);
        QFETCH(QString, valueTo);
        QFETCH(QString, sqlTest);
        FrmLendRate window(true);
        setYear(window, 2019);
        choose(child<QComboBox>(window, "cboStatType"), QStringLiteral("年度"));
        child<QComboBox>(window, "cboTemplate")
            ->setCurrentIndex(child<QComboBox>(window, "cboTemplate")->findData(QStringLiteral("S02")));
        choose(child<QComboBox>(window, "cboRateTest"), test);
        child<QLineEdit>(window, "txtRate")->setText(value);
        child<QLineEdit>(window, "txtRateTo")->setText(valueTo);
        click(window, "cmdStat");
        QTEST(presenter->lastText(), "message");
        if (sqlTest.isEmpty()) {
            QCOMPARE(window.grid().rowCount(), 0);
            return;
        }
        const StatTableModel& grid = window.grid();
        QCOMPARE(
            QString::number(grid.rowCount()),
            db.scalar(QStringLiteral("SELECT count(*) FROM (SELECT h.marc_rec_no, count(*)::numeric / "
                                     "(SELECT count(*) FROM item i WHERE i.marc_rec_no = h.marc_rec_no "
                                     "AND i.call_no = h.call_no) AS r FROM book_use_stat_hist h "
                                     "WHERE h.date_time LIKE '2019%' GROUP BY h.marc_rec_no, h.call_no) t "
                                     "WHERE ") +
                      sqlTest));
        for (int r = 0; r < grid.rowCount(); ++r)
            if (grid.cell(r, 0).isEmpty())
                QVERIFY(grid.cell(r, 8).toDouble() <= grid.cell(r - 1, 8).toDouble());
    }

    // frmRedrCount: the first n readers by visits; asked for more than came, those that came.
    void readerRanking_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("period"); // a year, or "from:to"
        QTest::addColumn<QStringList>("cards");
        QTest::addColumn<QString>("message");
        const QStringList seven{"R0000001", "R0000002", "R0000003", "R0000004",
                                "R0000005", "R0000006", "R0000007"};
        const QString all = QStringLiteral("所有馆藏地");
        auto row = [](const char* name, const char* count, const QString& location, const char* period,
                      const QStringList& cards, const char* message) {
            QTest::newRow(name) << QString(count) << location << QString(period) << cards << QString(message);
        };
        // reader 8 came on May 2nd only
        row("twenty asked, seven came", "20人", all, "2019-05-04:2019-05-31", seven, "");
        row("the first ten of eight", "10人", all, "2019", seven + QStringList{"R0000008"}, "");
        // at R2 reader k came 5 - k times (k below 5)
        row("one room", "10人", "第二阅览室", "2019", {"R0000001", "R0000002", "R0000003", "R0000004"}, "");
        row("nobody came", "10人", all, "2018", {}, "无所查读者记录!");
    }
    void readerRanking()
    {
        QFETCH(QString, count);
        QFETCH(QString, location);
        QFETCH(QString, period);
        frmRedrCount window(true);
        if (period.contains(QLatin1Char(':'))) {
            click(window, "optRange");
            child<QDateEdit>(window, "dtpBegin")
                ->setDate(QDate::fromString(period.section(':', 0, 0), Qt::ISODate));
            child<QDateEdit>(window, "dtpEnd")
                ->setDate(QDate::fromString(period.section(':', 1), Qt::ISODate));
        } else {
            click(window, "optYear");
            setYear(window, period.toInt());
        }
        child<QComboBox>(window, "cboLocation")->setCurrentText(location);
        child<QComboBox>(window, "cboCount")->setCurrentText(count);
        click(window, "cmdStat");
        QTEST(presenter->lastText(), "message");
        const StatTableModel& grid = window.grid();
        QTEST(column(grid, 1), "cards");
        const QString when = period.contains(QLatin1Char(':'))
                                 ? QStringLiteral("substr(read_date_time, 1, 10) BETWEEN '%1' AND '%2'")
                                       .arg(period.section(':', 0, 0), period.section(':', 1))
                                 : QStringLiteral("read_date_time LIKE '%1%'").arg(period);
        const QString room =
            location == QStringLiteral("第二阅览室") ? QStringLiteral(" AND location_f = 'R2'") : QString();
        for (int r = 0; r < grid.rowCount(); ++r) {
            const QString card = grid.cell(r, 1);
            QCOMPARE(grid.cell(r, 0), db.scalar("SELECT count(*) FROM reader_stat WHERE cert_id = '" + card +
                                                "' AND " + when + room));
            QCOMPARE(grid.cell(r, 2), db.scalar("SELECT name FROM reader WHERE cert_id = '" + card + "'"));
            QCOMPARE(grid.cell(r, 4), db.scalar("SELECT t.redr_type_name FROM reader r JOIN reader_type t "
                                                "USING (redr_type_code) WHERE cert_id = '" +
                                                card + "'"));
        }
    }

    // frmRedrLendCount: readers and visits by type, and visits by unit, grade and department,
    // with "其他" for the readers without the attribute and "合计"; a period without visits says so.
    void visitCounts_data()
    {
        QTest::addColumn<QString>("kind"); // 年度, 月度, 时期 (the first half of May)
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("where"); // the same events in SQL
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, const char* kind, int year, const char* location, const char* where,
                      const char* message) {
            QTest::newRow(name) << QString(kind) << year << QString(location) << QString(where)
                                << QString(message);
        };
        row("a year", "年度", 2019, "所有馆藏地", "h.date_time LIKE '2019%'", "");
        row("a month in one room", "月度", 2019, "第一阅览室",
            "h.date_time LIKE '2019-05%' AND h.location_f = 'R1'", "");
        row("a range", "时期", 2019, "所有馆藏地",
            "substr(h.date_time, 1, 10) BETWEEN '2019-05-01' AND '2019-05-08'", "");
        row("no visits", "年度", 2018, "所有馆藏地", "", "查询无记录!");
    }
    void visitCounts()
    {
        QFETCH(QString, kind);
        QFETCH(int, year);
        QFETCH(QString, location);
        QFETCH(QString, where);
        frmRedrLendCount window(true);
        setYear(window, year);
        child<QComboBox>(window, "cboMonth")->setCurrentIndex(4);
        if (kind == QStringLiteral("时期"))
            whenModal([](QWidget& dialog) {
                child<QDateEdit>(dialog, "dtpBegin")->setDate(QDate(2019, 5, 1));
                child<QDateEdit>(dialog, "dtpEnd")->setDate(QDate(2019, 5, 8));
                click(dialog, "cmdOK");
            });
        choose(child<QComboBox>(window, "cboStatType"), kind);
        child<QComboBox>(window, "cboLocation")->setCurrentText(location);
        click(window, "cmdStat");
        QTEST(presenter->lastText(), "message");
        const StatTableModel& types = window.grid(frmRedrLendCount::ByType);
        if (where.isEmpty()) {
            QCOMPARE(types.rowCount(), 0);
            return;
        }
        const QString joined = QStringLiteral("FROM reader_stat_hist h JOIN reader r USING (cert_id) ");
        const QString events = joined + QStringLiteral("WHERE ") + where;
        const QString all = db.scalar("SELECT count(*) " + events);
        QCOMPARE(
            types.rows().last(),
            (QStringList{"合计", db.scalar("SELECT count(DISTINCT h.cert_id) " + events), all, "100.00%"}));
        QStringList typeRows;
        for (const QStringList& row : types.rows().mid(0, types.rowCount() - 1))
            typeRows.append(row.join(QLatin1Char(',')));
        QCOMPARE(typeRows,
                 db.scalar("SELECT string_agg(x, ';' ORDER BY name) FROM (SELECT t.redr_type_name AS name, "
                           "t.redr_type_name || ',' || count(DISTINCT h.cert_id) || ',' || count(*) || "
                           "',' || to_char(100.0 * count(*) / " +
                           all + ", 'FM990.00') || '%' AS x " + joined +
                           " JOIN reader_type t ON t.redr_type_code = r.redr_type_code WHERE " + where +
                           " GROUP BY t.redr_type_name) q")
                     .split(QLatin1Char(';')));
        // a reader without unit counts under "其他"
        const StatTableModel& units = window.grid(frmRedrLendCount::ByUnit);
        QCOMPARE(units.rows().at(units.rowCount() - 2).mid(0, 2),
                 (QStringList{"其他", db.scalar("SELECT count(*) " + events + " AND r.dept IS NULL")}));
        QCOMPARE(units.rows().last().mid(0, 2), (QStringList{"合计", all}));
        for (frmRedrLendCount::Grid g :
             {frmRedrLendCount::ByUnit, frmRedrLendCount::ByGrade, frmRedrLendCount::ByDepartment}) {
            qint64 sum = 0;
            for (int r = 0; r < window.grid(g).rowCount() - 1; ++r)
                sum += window.grid(g).cell(r, 1).toLongLong();
            QCOMPARE(QString::number(sum), all);
        }
    }

    // frmUsingStat: the call numbers by uses per copy, highest first, as a percentage; a
    // heading click sorts; an empty period says so.
    void useRates_data()
    {
        QTest::addColumn<QString>("count"); // the "选择种数" entry, " [自定义]:answer"
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("fifty asked") << "选择 50种书" << 2019 << 24 << "";
        QTest::newRow("five typed") << " [自定义]:5" << 2019 << 5 << "";
        QTest::newRow("not a number") << " [自定义]:x" << 2019 << 24 << "条件输入不正确！";
        QTest::newRow("nothing used") << "选择 50种书" << 2018 << 0 << "检索到0个记录!";
    }
    void useRates()
    {
        QFETCH(QString, count);
        QFETCH(int, year);
        frmUsingStat window(false);
        click(window, "optYear");
        setYear(window, year);
        if (count.contains(QLatin1Char(':'))) {
            answerInputBox(count.section(QLatin1Char(':'), 1));
            choose(child<QComboBox>(window, "cboCount"), count.section(QLatin1Char(':'), 0, 0));
        } else {
            choose(child<QComboBox>(window, "cboCount"), count);
        }
        click(window, "cmdStat");
        QTEST(presenter->lastText(), "message");
        const StatTableModel& grid = window.grid();
        QTEST(grid.rowCount(), "rows");
        QCOMPARE(child<QPushButton>(window, "cmdSave")->isEnabled(), grid.rowCount() > 0);
        if (grid.rowCount() == 0)
            return;
        const QString first = db.scalar("SELECT u.call_no || '|' || c.n || '|' || u.n FROM (SELECT "
                                        "i.call_no, count(*) AS n FROM reader_book_stat "
                                        "s JOIN item i USING (prop_no) WHERE s.date_time LIKE '2019%' GROUP "
                                        "BY 1) u JOIN (SELECT call_no, "
                                        "count(*) AS n FROM item GROUP BY 1) c USING (call_no) ORDER BY "
                                        "u.n::numeric / c.n DESC, u.call_no "
                                        "DESC LIMIT 1");
        QCOMPARE(QStringList({grid.cell(0, 3), grid.cell(0, 4), grid.cell(0, 5)}).join(QLatin1Char('|')),
                 first);
        QCOMPARE(grid.cell(0, 6),
                 QString::number(100.0 * grid.cell(0, 5).toDouble() / grid.cell(0, 4).toDouble(), 'f', 2) +
                     QLatin1Char('%'));
        auto* header = child<QTableView>(window, "spdResult")->horizontalHeader();
        for (const char* mark : {"▲", "▼"}) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(5) + 5, 5));
            QCOMPARE(grid.headings().at(5), QStringLiteral("借阅量") + QString::fromUtf8(mark));
            const QStringList uses = column(grid, 5);
            for (int r = 1; r < uses.size(); ++r)
                QVERIFY(QString::fromUtf8(mark) == QStringLiteral("▲")
                            ? uses[r - 1].toInt() <= uses[r].toInt()
                            : uses[r - 1].toInt() >= uses[r].toInt());
        }
    }

    // frmDateStart: OK closes only with the begin not after the end; Cancel closes without a range.
    void dateRange_data()
    {
        QTest::addColumn<QDate>("begin");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("given");
        QTest::newRow("one day") << QDate(2019, 5, 1) << QDate(2019, 5, 1) << "cmdOK" << false << true;
        QTest::newRow("backwards") << QDate(2019, 5, 8) << QDate(2019, 5, 1) << "cmdOK" << true << false;
        QTest::newRow("cancelled") << QDate(2019, 5, 1) << QDate(2019, 5, 8) << "cmdCancel" << false << false;
    }
    void dateRange()
    {
        QFETCH(QDate, begin);
        QFETCH(QDate, end);
        QFETCH(QString, button);
        frmDateStart dialog;
        dialog.show();
        child<QDateEdit>(dialog, "dtpBegin")->setDate(begin);
        child<QDateEdit>(dialog, "dtpEnd")->setDate(end);
        click(dialog, qPrintable(button));
        QTEST(dialog.isVisible(), "open");
        QTEST(dialog.rangeGiven(), "given");
        QCOMPARE(dialog.beginDate(), begin);
        QCOMPARE(dialog.endDate(), end);
    }

    // "打印" hands the grid and the heading lines to the designer, each window with its labels.
    void printing_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("heading"); // lines 0 to 2
        QTest::newRow("title ranking")
            << "FrmBookTop" << QStringList{"阅览图书排行榜", "馆藏地： 所有馆藏地", "统计时期： 2019年"};
        QTest::newRow("reader ranking")
            << "frmRedrCount" << QStringList{"阅览读者排行榜", "馆藏地：所有馆藏地", "统计时间：2019年"};
        QTest::newRow("visits") << "frmRedrLendCount"
                                << QStringList{"阅览读者人次统计", "馆藏地：所有馆藏地", "统计时期：2019年"};
    }
    void printing()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, heading);
        std::unique_ptr<QWidget> shown;
        if (window == QLatin1String("FrmBookTop"))
            shown = std::make_unique<FrmBookTop>(false);
        else if (window == QLatin1String("frmRedrCount"))
            shown = std::make_unique<frmRedrCount>(true);
        else
            shown = std::make_unique<frmRedrLendCount>(true);
        if (shown->findChild<QRadioButton*>(QStringLiteral("optYear")))
            click(*shown, "optYear");
        else
            choose(child<QComboBox>(*shown, "cboStatType"), QStringLiteral("年度"));
        setYear(*shown, 2019);
        if (QComboBox* templates = shown->findChild<QComboBox*>(QStringLiteral("cboTemplate")))
            templates->setCurrentIndex(templates->findData(QStringLiteral("S02")));
        click(*shown, "cmdStat");
        PrintHandover::instance().reset(QString());
        QStringList lines;
        whenModal([&lines](QWidget& designer) {
            for (int i = 0; i < 5; ++i)
                lines.append(PrintHandover::instance().headingLine(i));
            designer.close();
        });
        click(*shown, "cmdPrint");
        QCOMPARE(lines.mid(0, 3), heading);
        QVERIFY(lines.at(3).startsWith(QStringLiteral("制表日期：")));
        QCOMPARE(lines.at(4), QStringLiteral("制表人：A001"));
        QVERIFY(PrintHandover::instance().dataRowCount() > 0);
    }
};

QTEST_MAIN(TestRankWindows)
#include "tst_rankwindows.moc"
