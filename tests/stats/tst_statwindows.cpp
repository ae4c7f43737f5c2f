// The statistics windows offscreen against the demo library with a few events of March 2024
// added: the condition dialog and the one-off template, the classification, book and workload
// windows (their figures against plain SQL counts of the events, messages, printing, charts).
#include "codes/codenames.h"
#include "codes/codetables.h"
#include "db/database.h"
#include "db/sysparams.h"
#include "print/printhandover.h"
#include "startup/environment.h"
#include "startup/operatorsession.h"
#include "stats/frmRead_BookStat.h"
#include "stats/frmRedrStat.h"
#include "stats/frmStatJob.h"
#include "stats/frmStatProp.h"
#include "stats/frmTmpSetTemplate.h"
#include "stats/oneofftemplate.h"
#include "stats/statconditions.h"
#include "stats/statengine.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCalendarWidget>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTableWidget>
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

// A button is hit on its text; an option on its indicator (its text may end short of its middle).
void click(const QWidget& window, const char* name)
{
    auto* button = child<QAbstractButton>(window, name);
    const bool option = qobject_cast<QRadioButton*>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, option ? QPoint(6, button->height() / 2) : QPoint());
}

// Steps the year spinner by clicking its arrows: down (n > 0) moves the year on, up back.
void stepYear(const QWidget& window, int steps)
{
    auto* spinner = child<QScrollBar>(window, "updYear");
    QStyleOptionSlider option;
    option.initFrom(spinner);
    option.orientation = Qt::Vertical;
    option.minimum = spinner->minimum();
    option.maximum = spinner->maximum();
    option.sliderPosition = option.sliderValue = spinner->value();
    const QRect arrow = spinner->style()->subControlRect(
        QStyle::CC_ScrollBar, &option, steps > 0 ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarSubLine,
        spinner);
    for (int i = 0; i < std::abs(steps); ++i)
        QTest::mouseClick(spinner, Qt::LeftButton, {}, arrow.center());
}

void chooseData(QComboBox* combo, const QString& data)
{
    combo->setCurrentIndex(combo->findData(data));
}

// Closes the next modal window (print preview, condition dialog) after running `act` in it.
void whenModal(std::function<void(QWidget&)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) {
            act(*modal);
            modal->close();
        }
    });
}

// The bars of a window's chart: "set: v1 v2 ...", one per set.
QStringList bars(const QWidget& window)
{
    QStringList sets;
    const auto* series =
        qobject_cast<QBarSeries*>(child<QChartView>(window, "chtStat")->chart()->series().value(0));
    for (const QBarSet* set : series ? series->barSets() : QList<QBarSet*>()) {
        QStringList values;
        for (int i = 0; i < set->count(); ++i)
            values.append(QString::number(set->at(i)));
        sets.append(set->label() + QLatin1Char(':') + values.join(QLatin1Char(' ')));
    }
    return sets;
}

} // namespace

class TestStatWindows : public QObject
{
    Q_OBJECT
    TestDatabase db{QStringLiteral("statwindows")};
    RecordingPresenter* presenter = nullptr;

    // The figures of plain SQL: per reader type 10, 20, 30 the reader-book events of a month,
    // restricted by an extra condition.
    QStringList readerCounts(const QString& month, const QString& where)
    {
        return db
            .scalar(QStringLiteral("SELECT count(*) FILTER (WHERE r.redr_type_code = '10') || ',' || "
                                   "count(*) FILTER (WHERE r.redr_type_code = '20') || ',' || "
                                   "count(*) FILTER (WHERE r.redr_type_code = '30') "
                                   "FROM redr_book_stat_hist h JOIN reader r ON r.cert_id = h.cert_id "
                                   "WHERE h.date_time LIKE '%1%' AND %2")
                        .arg(month, where))
            .split(QLatin1Char(','));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(db.isReady());
        QCOMPARE(db.connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        QCOMPARE(LIB_LoadCodeTables(), 0);
        OperatorSession::current().workerNumber = QStringLiteral("A001");
        presenter = RecordingPresenter::install();
        // March 2024 around its edges, and a call number of no class of the stored templates.
        db.exec(QStringLiteral(
            "INSERT INTO redr_book_stat_hist (prop_no, cert_id, date_time, location_f, marc_rec_no, call_no, "
            "cls_id) "
            "SELECT i.prop_no, v.cert, v.t, v.loc, i.marc_rec_no, coalesce(v.call, i.call_no), '1' "
            "FROM (VALUES ('B0000001','R0000001','2024-03-0109:00:00','R1',NULL),"
            "             ('B0000001','R0000002','2024-03-3120:00:00','R1',NULL),"
            "             ('B0000002','R0000001','2024-03-1510:00:00','R2',NULL),"
            "             ('B0000003','R0000004','2024-03-1511:00:00','R1',NULL),"
            "             ('B0000004','R0000002','2024-03-1512:00:00','R1','Y1/X'),"
            "             ('B0000001','R0000001','2024-02-2909:00:00','R1',NULL),"
            "             ('B0000001','R0000001','2024-04-0109:00:00','R1',NULL)) v(bar, cert, t, loc, call) "
            "JOIN item i ON i.bar_code = v.bar"));
        db.exec(QStringLiteral(
            "INSERT INTO book_use_stat_hist (prop_no, date_time, location_f, marc_rec_no, call_no, cls_id) "
            "SELECT i.prop_no, v.t, 'R1', i.marc_rec_no, i.call_no, '1' "
            "FROM (VALUES ('B0000005','2024-03-0208:00:00'),('B0000005','2024-03-0308:00:00'),"
            "             ('B0000006','2024-03-0408:00:00'),('B0000006','2024-04-0408:00:00')) v(bar, t) "
            "JOIN item i ON i.bar_code = v.bar"));
        db.exec(QStringLiteral(
            "INSERT INTO wkr_job_qty (wkr_no_f, oper_date, job_type, kind, volume, amount) VALUES "
            "('A001','2024-03-15','405',1,2,1.50),('A001','2024-03-02','405',0,3,0),('A001','2024-03-02','"
            "422',0,7,0),"
            "('A001','2024-04-01','405',0,5,0),('A001','2023-03-15','405',0,11,0),('Z999','2024-03-15','405',"
            "9,9,9)"));
    }
    void init() { presenter->clear(); }

    // The condition dialog: options, spinner, month, template and location into the conditions.
    void conditionDialog_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("yearSteps");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("templateCode");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("conditions");  // kind|year|month|code|location, Y the year shown
        QTest::addColumn<QStringList>("enabled"); // of the dates, the month, the year
        QTest::newRow("month 9, a year on")
            << "optMonth" << 1 << 9 << "S01" << true << "2|Y|09|S01|第二阅览室" << QStringList{"0", "1", "1"};
        QTest::newRow("year, two back")
            << "optYear" << -2 << 1 << "" << true << "1|Y|01||第二阅览室" << QStringList{"0", "0", "1"};
        QTest::newRow("cancel changes nothing")
            << "optRange" << 0 << 1 << "U01" << false << "unchanged" << QStringList{"1", "0", "0"};
    }
    void conditionDialog()
    {
        QFETCH(QString, option);
        QFETCH(int, yearSteps);
        QFETCH(int, month);
        QFETCH(QString, templateCode);
        QFETCH(bool, accept);
        QFETCH(QString, conditions);
        frmStatProp& dialog = frmStatProp::shared();
        dialog.show();
        StatConditions& current = StatConditions::current();
        const StatConditions before = current;
        click(dialog, qPrintable(option));
        const int shown = child<QLineEdit>(dialog, "txtYear")->text().left(4).toInt();
        stepYear(dialog, yearSteps);
        QCOMPARE(child<QLineEdit>(dialog, "txtYear")->text(), QString::number(shown + yearSteps) + "年");
        child<QComboBox>(dialog, "cboMonth")->setCurrentIndex(month - 1);
        chooseData(child<QComboBox>(dialog, "cboTemplate"), templateCode);
        child<QComboBox>(dialog, "cboLocation")->setCurrentText(QStringLiteral("第二阅览室"));
        const QStringList enabled{QString::number(child<QDateEdit>(dialog, "dtpBegin")->isEnabled()),
                                  QString::number(child<QComboBox>(dialog, "cboMonth")->isEnabled()),
                                  QString::number(child<QScrollBar>(dialog, "updYear")->isEnabled())};
        QTEST(enabled, "enabled");
        click(dialog, accept ? "cmdOK" : "cmdCancel");
        QVERIFY(!dialog.isVisible());
        if (!accept) {
            QCOMPARE(current.statTypeCode, before.statTypeCode);
            QCOMPARE(current.periodKind, before.periodKind);
            return;
        }
        QCOMPARE(QStringList({QString::number(current.periodKind), current.year, current.month,
                              current.statTypeCode, current.location})
                     .join(QLatin1Char('|')),
                 conditions.replace(QLatin1Char('Y'), QString::number(shown + yearSteps)));
    }

    // The one-off template: rows added below the current one, checks on OK, Cancel discards.
    void oneOffTemplate_data()
    {
        QTest::addColumn<QString>("steps"); // add, del, row:N, set:R,C,text, ok, cancel; split at ";"
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("kept"); // the template's rows after the steps
        const QString none;
        QTest::newRow("nothing entered") << "ok"
                                         << "请输入分类条件" << none;
        QTest::newRow("no class name") << "add;set:0,2,TP3;set:0,0, ;ok"
                                       << "分类名称不能为空" << none;
        QTest::newRow("leaving a row without code") << "add;set:0,0,文学;add;row:1"
                                                    << "分类代码不能为空!" << none;
        QTest::newRow("rows below the current one")
            << "add;set:0,0,文学;set:0,2,I;add;set:1,0,计算机;set:1,2,TP3;row:0;add;set:1,0,历史;set:1,2,K;"
               "add;row:2;del;ok"
            << none << "文学|中国图书馆分类法|I;历史|中国图书馆分类法|K;计算机|中国图书馆分类法|TP3";
        QTest::newRow("cancel") << "add;set:0,0,文学;set:0,2,I;cancel" << none << none;
    }
    void oneOffTemplate()
    {
        QFETCH(QString, steps);
        OneOffTemplate::current().clear();
        frmTmpSetTemplate dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* grid = child<QTableWidget>(dialog, "grdTemplate");
        for (const QString& step : steps.split(QLatin1Char(';'))) {
            if (step == QLatin1String("add"))
                click(dialog, "cmdAddRow");
            else if (step == QLatin1String("del"))
                click(dialog, "cmdDeleteRow");
            else if (step == QLatin1String("ok"))
                click(dialog, "cmdOK");
            else if (step == QLatin1String("cancel"))
                click(dialog, "cmdCancel");
            else if (step.startsWith(QLatin1String("row:"))) {
                const int row = step.mid(4).toInt();
                QTest::mouseClick(grid->verticalHeader()->viewport(), Qt::LeftButton, {},
                                  QPoint(4, grid->verticalHeader()->sectionViewportPosition(row) + 4));
            } else {
                const QStringList cell = step.mid(4).split(QLatin1Char(','));
                const int row = cell.at(0).toInt(), column = cell.at(1).toInt();
                grid->item(row, 1)->setText(QStringLiteral("中国图书馆分类法"));
                grid->setCurrentCell(row, column);
                grid->editItem(grid->item(row, column));
                qobject_cast<QLineEdit*>(QApplication::focusWidget())->insert(cell.at(2));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
        }
        QTEST(presenter->lastText(), "message");
        QStringList kept;
        for (const OneOffTemplate::Row& row : OneOffTemplate::current().rows())
            kept.append(row.className + QLatin1Char('|') + row.schemeName + QLatin1Char('|') + row.classCode);
        QTEST(kept.join(QLatin1Char(';')), "kept");
    }

    // 阅览分类综合统计 through its toolbar: conditions, figures against plain SQL, the overall row
    // beyond the classes, shares, "ITJ006", the chart and the print hand-over.
    void redrStat_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("templateCode");
        QTest::addColumn<bool>("events");
        QTest::addColumn<QString>("period");
        QTest::newRow("S01, March 2024") << "optMonth" << 3 << "S01" << true << "2024年03月";
        QTest::newRow("computing classes, March 2024") << "optMonth" << 3 << "U01" << true << "2024年03月";
        QTest::newRow("a year without events") << "optYear" << 1 << "S02" << false << "1999年";
    }
    void redrStat()
    {
        QFETCH(QString, option);
        QFETCH(int, month);
        QFETCH(QString, templateCode);
        QFETCH(bool, events);
        // Three reader types in the cached table: 10, 20, 30.
        const ResultTable allTypes = LIB_CodeTable(CodeTable::ReaderTypes);
        ResultTable three(allTypes.fieldCount(), 3);
        for (int c = 0; c < allTypes.fieldCount(); ++c)
            for (int r = 0; r < 5; ++r)
                three.setValue(c, r, allTypes.value(c, r));
        CodeTables::instance().setTable(CodeTable::ReaderTypes, three);

        frmRedrStat window;
        window.show();
        auto* go = child<QAction>(window, "go");
        auto* print = child<QAction>(window, "print");
        QVERIFY(!go->isEnabled() && !print->isEnabled());
        whenModal([&](QWidget& dialog) {
            click(dialog, qPrintable(option));
            const int year = events ? 2024 : 1999;
            stepYear(dialog, year - child<QLineEdit>(dialog, "txtYear")->text().left(4).toInt());
            child<QComboBox>(dialog, "cboMonth")->setCurrentIndex(month - 1);
            chooseData(child<QComboBox>(dialog, "cboTemplate"), templateCode);
            child<QComboBox>(dialog, "cboLocation")->setCurrentIndex(0);
            click(dialog, "cmdOK");
        });
        child<QAction>(window, "set")->trigger();
        QTEST(child<QLabel>(window, "lblPeriod")->text(), "period");
        QCOMPARE(child<QLabel>(window, "lblTemplate")->text(), LIB_StatTypeName(templateCode));
        QVERIFY(go->isEnabled());
        go->trigger();
        QVERIFY(!go->isEnabled() && print->isEnabled());
        CodeTables::instance().setTable(CodeTable::ReaderTypes, allTypes);

        const StatTableModel& grid = window.grid();
        const StatLists& lists = LIB_StatLists();
        const int n = lists.classCount();
        QCOMPARE(grid.headings(),
                 (QStringList{"显示类名", "显示类号", "本科生", "研究生", "教职工", "分类小计", "借阅比例"}));
        QCOMPARE(grid.rowCount(), n + 2);
        if (!events) {
            QCOMPARE(presenter->lastText(), RecordingPresenter::shownText(QStringLiteral("ITJ006")));
            QCOMPARE(grid.rows().value(n), (QStringList{"借阅小计", "", "0", "0", "0", "0", ""}));
            return;
        }
        QVERIFY(presenter->boxes.isEmpty());
        const QString monthText = QStringLiteral("2024-03");
        const QStringList overall = readerCounts(monthText, QStringLiteral("true"));
        const qint64 total =
            overall.at(0).toLongLong() + overall.at(1).toLongLong() + overall.at(2).toLongLong();
        qint64 inClasses = 0;
        for (int i = 0; i < n; ++i) {
            // Each class of these templates is one or a few patterns; plain SQL over the events.
            QStringList likes;
            for (QString pattern :
                 lists.patterns(lists.code(i)).split(QRegularExpression(QStringLiteral("[;,]")))) {
                likes.append(pattern.contains(QLatin1Char('~'))
                                 ? QStringLiteral("(h.call_no >= '%1' AND substr(h.call_no, 1, %2) <= '%3')")
                                       .arg(pattern.section('~', 0, 0))
                                       .arg(pattern.section('~', 1).size())
                                       .arg(pattern.section('~', 1))
                                 : QStringLiteral("h.call_no LIKE '%1%'").arg(pattern));
            }
            const QStringList counts =
                readerCounts(monthText, QStringLiteral("h.cls_id = '1' AND (") +
                                            likes.join(QStringLiteral(" OR ")) + QLatin1Char(')'));
            const qint64 subtotal =
                counts.at(0).toLongLong() + counts.at(1).toLongLong() + counts.at(2).toLongLong();
            inClasses += subtotal;
            QCOMPARE(grid.rows().value(i),
                     (QStringList{lists.name(i), lists.patterns(lists.code(i)), counts.at(0), counts.at(1),
                                  counts.at(2), QString::number(subtotal),
                                  QString::number(subtotal * 100.0 / total, 'f', 2) + "%"}));
        }
        QVERIFY(inClasses < total); // Y1/X belongs to no class, yet counts in the overall row
        QCOMPARE(grid.rows().value(n), (QStringList{"借阅小计", "", overall.at(0), overall.at(1),
                                                    overall.at(2), QString::number(total), "-"}));
        QCOMPARE(grid.rows().value(n + 1).mid(5), (QStringList{"-", "-"}));
        QCOMPARE(bars(window).size(), 3);

        whenModal([](QWidget&) {});
        print->trigger();
        const PrintHandover& handover = PrintHandover::instance();
        QCOMPARE(handover.headingLine(0), QStringLiteral("阅览分类综合统计"));
        QCOMPARE(handover.headingLine(1), QStringLiteral("馆藏地：所有馆藏地"));
        QCOMPARE(handover.headingLine(2), QStringLiteral("统计时间：2024年03月"));
        QCOMPARE(handover.headingLine(4), QStringLiteral("制表人：A001"));
        QCOMPARE(handover.table().value(n + 1), grid.rows().value(n));
    }

    // 阅览图书分类统计: the table by reading mode, March 2024 only, figures against plain SQL.
    void bookStat_data()
    {
        QTest::addColumn<bool>("readerBookMode");
        QTest::addColumn<QString>("table");
        QTest::newRow("reader and book registration") << true << "redr_book_stat_hist";
        QTest::newRow("book counting") << false << "book_use_stat_hist";
    }
    void bookStat()
    {
        QFETCH(bool, readerBookMode);
        QFETCH(QString, table);
        frmRead_BookStat window(readerBookMode);
        window.show();
        QVERIFY(!child<QPushButton>(window, "cmdPrint")->isEnabled());
        click(window, "optMonth");
        stepYear(window, 2024 - child<QLineEdit>(window, "txtYear")->text().left(4).toInt());
        child<QComboBox>(window, "cboMonth")->setCurrentIndex(2);
        chooseData(child<QComboBox>(window, "cboTemplate"), QStringLiteral("S01"));
        click(window, "cmdStat");
        QCOMPARE(child<QLabel>(window, "lblPeriod")->text(), QStringLiteral("2024年 3月"));
        QVERIFY(child<QPushButton>(window, "cmdPrint")->isEnabled());

        const StatTableModel& grid = window.grid();
        const StatLists& lists = LIB_StatLists();
        QStringList titles, items;
        for (int i = 0; i <= lists.classCount(); ++i) {
            const QString where =
                i < lists.classCount()
                    ? QStringLiteral("cls_id = '1' AND call_no LIKE '%1%'").arg(lists.code(i))
                    : QStringLiteral("true");
            const QStringList expected =
                db.scalar(QStringLiteral("SELECT count(DISTINCT marc_rec_no) || ',' || count(*) FROM %1 "
                                         "WHERE date_time LIKE '2024-03%' AND %2")
                              .arg(table, where))
                    .split(QLatin1Char(','));
            QCOMPARE(grid.rows().value(i).mid(2), expected);
            if (i < lists.classCount()) {
                titles.append(expected.at(0));
                items.append(expected.at(1));
            }
        }
        QCOMPARE(grid.rows().value(lists.classCount()).first(), QStringLiteral("总计"));
        QCOMPARE(bars(window), (QStringList{"种次:" + titles.join(' '), "册次:" + items.join(' ')}));
    }

    // 工作量统计: the logged-in operator's records only, the period from the calendar or the two
    // date boxes, empty cells where a job type has no records.
    void jobStat_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("rows"); // of 图书计次 (405) and 读者登到 (422)
        QTest::addColumn<QString>("range");    // "begin end" for 区间, typed or taken from the calendar
        const QStringList year{"图书计次|1|10|1.50", "读者登到|0|7|0.00"};
        QTest::newRow("month") << "optMonth" << QStringList{"图书计次|1|5|1.50", "读者登到|0|7|0.00"} << "";
        QTest::newRow("day") << "optDay" << QStringList{"图书计次|1|2|1.50", "读者登到|||"} << "";
        QTest::newRow("year") << "optYear" << year << "";
        QTest::newRow("range from the calendar") << "optRange" << year << "2024-03-02 2024-04-01";
    }
    void jobStat()
    {
        QFETCH(QString, option);
        QFETCH(QString, range);
        frmStatJob window(QStringLiteral("4%"));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(child<QLabel>(window, "lblStaff")->text(), QStringLiteral("工号:A001"));
        click(window, qPrintable(option));
        auto* calendar = child<QCalendarWidget>(window, "calDate");
        calendar->setSelectedDate(QDate(2024, 3, 15));
        if (!range.isEmpty()) {
            // The date box that had the focus takes the clicked date.
            for (const char* box : {"txtBegin", "txtEnd"}) {
                child<QLineEdit>(window, box)->setFocus();
                Q_EMIT calendar->clicked(
                    QDate::fromString(range.section(' ', box[3] == 'B' ? 0 : 1, box[3] == 'B' ? 0 : 1),
                                      QStringLiteral("yyyy-MM-dd")));
            }
            QCOMPARE(child<QLineEdit>(window, "txtBegin")->text() + ' ' +
                         child<QLineEdit>(window, "txtEnd")->text(),
                     range);
        }
        click(window, "cmdStat");
        const StatTableModel& grid = window.grid();
        QStringList rows;
        for (const QStringList& row : grid.rows())
            rows.append(row.join(QLatin1Char('|')));
        QVERIFY(rows.contains(QStringLiteral("超期罚款|||"))); // no records: empty, not 0
        QTEST(rows.filter(QStringLiteral("图书计次")) + rows.filter(QStringLiteral("读者登到")), "rows");
    }
};

QTEST_MAIN(TestStatWindows)
#include "tst_statwindows.moc"
