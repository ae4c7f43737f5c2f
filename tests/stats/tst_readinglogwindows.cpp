// The reading-log query and purge windows offscreen against the demo library: bounds, filter
// panels, kinds, printing, and the purge by reading mode.
#include "print/frmFlexPrint.h"
#include "print/frmShowRate.h"
#include "print/printhandover.h"
#include "readinglogfixture.h"
#include "stats/frmLt3Log.h"
#include "stats/frmdelRecord.h"
#include "support/recordingpresenter.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>

namespace {

template <typename W> W* child(const QObject& parent, const QString& name)
{
    return parent.findChild<W*>(name);
}

void click(QWidget* widget)
{
    QVERIFY(widget);
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    else
        QTest::mouseClick(widget, Qt::LeftButton);
}

void setBounds(frmLt3Log& window, const QString& from, const QString& to)
{
    const QDate date(2030, 1, 1);
    child<QDateEdit>(window, QStringLiteral("dtpBeginDate"))->setDate(date);
    child<QDateEdit>(window, QStringLiteral("dtpEndDate"))->setDate(date);
    child<QTimeEdit>(window, QStringLiteral("dtpBeginTime"))->setTime(QTime::fromString(from, "HH:mm:ss"));
    child<QTimeEdit>(window, QStringLiteral("dtpEndTime"))->setTime(QTime::fromString(to, "HH:mm:ss"));
}

// One step on the window: "tick <box>", "pick <panel> <row>", "press <panel> <button>",
// "kind <index>", "bounds <from> <to>".
void act(frmLt3Log& window, const QString& step)
{
    const QStringList words = step.split(QLatin1Char(' '));
    if (words.at(0) == QLatin1String("bounds")) {
        setBounds(window, words.at(1), words.at(2));
    } else if (words.at(0) == QLatin1String("tick")) {
        click(child<QCheckBox>(window, words.at(1)));
    } else if (words.at(0) == QLatin1String("pick")) {
        auto* list = child<QListWidget>(*child<QWidget>(window, words.at(1)), QStringLiteral("lstItems"));
        QListWidgetItem* item = list->item(words.at(2).toInt());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    } else if (words.at(0) == QLatin1String("press")) {
        click(child<QPushButton>(*child<QWidget>(window, words.at(1)), words.at(2)));
    } else if (words.at(0) == QLatin1String("kind")) {
        child<QComboBox>(window, QStringLiteral("cboType"))->setCurrentIndex(words.at(1).toInt());
    }
}

// Clicks "查询" and waits for the rows; the times of the grid's rows.
QStringList seek(frmLt3Log& window)
{
    QSignalSpy ended(&window, &frmLt3Log::seekEnded);
    click(child<QPushButton>(window, QStringLiteral("cmdSeek")));
    if (window.isSeeking() && !ended.wait(20000))
        return {QStringLiteral("no end")};
    QStringList times;
    const QAbstractItemModel* grid = child<QTableView>(window, QStringLiteral("spdReadLog"))->model();
    for (int row = 0; row < grid->rowCount(); ++row)
        times << grid->index(row, 0).data().toString().mid(10);
    return times;
}

} // namespace

class TestReadingLogWindows : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("readinglogwindows")};
    RecordingPresenter* presenter = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        openDesk(db, home.path());
        presenter = RecordingPresenter::install();
    }
    void init()
    {
        presenter->clear();
        setOperator(true);
    }

    // The bounds as the pickers compose them (equal ones list that second, reversed ones are
    // refused with the focus on the first date, keeping the rows listed before), the filter boxes
    // and their panels, then the query they give.
    void filters_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("seekEnabled");
        QTest::addColumn<QStringList>("times");
        const QStringList all{"08:00:00", "09:30:00", "12:00:00"}, none;
        QTest::newRow("equal bounds")
            << QStringList{"bounds 09:30:00 09:30:00"} << none << true << QStringList{"09:30:00"};
        QTest::newRow("from a second after to")
            << QStringList{"bounds 09:30:01 09:30:00"} << QStringList{"起止时间输入错误!"} << true << all;
        QTest::newRow("a location accepted")
            << QStringList{"tick chkLocation", "pick fraLocation 1", "press fraLocation cmdOk"} << none
            << true << QStringList{"09:30:00"};
        QTest::newRow("a member of staff accepted")
            << QStringList{"tick chkWkrno", "pick fraWkrno 0", "press fraWkrno cmdOk"} << none << true
            << QStringList{"08:00:00"};
        QTest::newRow("a reader type accepted")
            << QStringList{"tick chkRedrType", "pick fraRedrType 1", "press fraRedrType cmdOk"} << none
            << true << QStringList{"12:00:00"};
        QTest::newRow("unticked after accepting")
            << QStringList{"tick chkLocation", "pick fraLocation 1", "press fraLocation cmdOk",
                           "tick chkLocation"}
            << none << true << all;
        QTest::newRow("cancelled") << QStringList{"tick chkLocation", "pick fraLocation 1",
                                                  "press fraLocation cmdCancel"}
                                   << none << true << all;
        QTest::newRow("nothing selected") << QStringList{"tick chkWkrno", "press fraWkrno cmdAll",
                                                         "press fraWkrno cmdNone", "press fraWkrno cmdOk"}
                                          << QStringList{"尚未选择工作人员!"} << false << none;
        QTest::newRow("all selected")
            << QStringList{"tick chkWkrno", "press fraWkrno cmdAll", "press fraWkrno cmdOk"} << none << true
            << all;
        QTest::newRow("a second panel is refused")
            << QStringList{"tick chkLocation", "tick chkWkrno"} << none << false << none;
        QTest::newRow("kind 1 drops the reader-type filter")
            << QStringList{"tick chkRedrType", "pick fraRedrType 1", "press fraRedrType cmdOk", "kind 1"}
            << none << true << all;
    }
    void filters()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, boxes);
        QFETCH(bool, seekEnabled);
        QFETCH(QStringList, times);
        frmLt3Log window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        child<QComboBox>(window, QStringLiteral("cboType"))->setCurrentIndex(2);
        setBounds(window, "00:00:00", "23:59:59");
        QCOMPARE(seek(window).size(), 3);
        for (const QString& step : steps)
            act(window, step);
        const QStringList panels{"fraLocation", "fraRedrType", "fraWkrno"};
        int open = 0;
        for (const QString& panel : panels)
            open += child<QWidget>(window, panel)->isVisible() ? 1 : 0;
        QCOMPARE(open, seekEnabled ? 0 : 1);
        QCOMPARE(child<QPushButton>(window, QStringLiteral("cmdSeek"))->isEnabled(), seekEnabled);
        if (seekEnabled)
            QCOMPARE(seek(window), times);
        QCOMPARE(presenter->texts(), boxes);
        if (steps.first().startsWith(QLatin1String("bounds")) && !boxes.isEmpty())
            QCOMPARE(QApplication::focusWidget(), child<QDateEdit>(window, QStringLiteral("dtpBeginDate")));
        auto* readerTypes = child<QCheckBox>(window, QStringLiteral("chkRedrType"));
        const bool bookLog = steps.contains(QStringLiteral("kind 1"));
        QCOMPARE(readerTypes->isEnabled(), !bookLog);
        if (bookLog)
            QVERIFY(!readerTypes->isChecked());
    }

    // A query given up through the progress display (the server stops the statement), or refused
    // by the server, leaves the rows listed before; the window is locked while it runs and free
    // again afterwards, and lists again on its connections.
    void endedSeek_data()
    {
        QTest::addColumn<QString>("hold");
        QTest::addColumn<QString>("release");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("cancelled while the table is locked")
            << "BEGIN; LOCK TABLE reader_stat IN ACCESS EXCLUSIVE MODE"
            << "COMMIT" << QStringList{};
        QTest::newRow("refused") << "ALTER TABLE reader_stat RENAME TO reader_stat_away"
                                 << "ALTER TABLE reader_stat_away RENAME TO reader_stat"
                                 << QStringList{RecordingPresenter::shownText(QStringLiteral("ECM012"))};
    }
    void endedSeek()
    {
        QFETCH(QString, hold);
        QFETCH(QString, release);
        QFETCH(QStringList, boxes);
        frmLt3Log window;
        window.show();
        setBounds(window, "00:00:00", "23:59:59");
        QCOMPARE(seek(window).size(), 3);
        db.exec(hold);
        QSignalSpy ended(&window, &frmLt3Log::seekEnded);
        click(child<QPushButton>(window, QStringLiteral("cmdSeek")));
        if (boxes.isEmpty()) {
            frmShowRate* progress = nullptr;
            QTRY_VERIFY((progress = qobject_cast<frmShowRate*>(QApplication::activeWindow())) != nullptr);
            QVERIFY(!window.isEnabled());
            click(progress->cancelButton());
        }
        QTRY_COMPARE(ended.count(), 1);
        db.exec(release);
        QCOMPARE(presenter->texts(), boxes);
        QVERIFY(window.isEnabled());
        QCOMPARE(child<QTableView>(window, QStringLiteral("spdReadLog"))->model()->rowCount(), 3);
        setBounds(window, "09:30:00", "09:30:00");
        QCOMPARE(seek(window), QStringList{"09:30:00"});
    }

    // A kind shows its columns and empties the grid; "打印(&P)" opens the designer on the listed
    // rows and does nothing on the emptied grid.
    void kindsAndPrint_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("reader") << 0 << QList<int>{0, 1, 2, 3, 11, 12};
        QTest::newRow("book") << 1 << QList<int>{0, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        QTest::newRow("reader and book") << 2 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    }
    void kindsAndPrint()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, shown);
        frmLt3Log window;
        window.show();
        setBounds(window, "00:00:00", "23:59:59");
        auto* type = child<QComboBox>(window, QStringLiteral("cboType"));
        type->setCurrentIndex((kind + 1) % 3);
        QCOMPARE(seek(window).size(), 3);
        auto print = [&window, this]() -> QString {
            PrintHandover::instance().reset(QStringLiteral("earlier"));
            QString designer;
            QTimer::singleShot(0, this, [&designer] {
                if (auto* shown = qobject_cast<frmFlexPrint*>(QApplication::activeModalWidget())) {
                    designer = PrintHandover::instance().headingLine(6);
                    shown->reject();
                }
            });
            click(child<QPushButton>(window, QStringLiteral("cmdPrint")));
            QApplication::processEvents();
            return designer + QLatin1Char('|') + PrintHandover::instance().reportName();
        };
        QCOMPARE(print(), QStringLiteral("总计： 3 条|阅览日志"));

        type->setCurrentIndex(kind);
        auto* grid = child<QTableView>(window, QStringLiteral("spdReadLog"));
        QCOMPARE(grid->model()->rowCount(), 0);
        QList<int> visible;
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (!grid->isColumnHidden(c))
                visible << c;
        }
        QCOMPARE(visible, shown);
        QCOMPARE(print(), QStringLiteral("|earlier"));
    }

    // The purge window: "确定(&O)" enabled by a click on a date, and the purge of the chosen day
    // and before in its mode's log (each mode's log is purged in tst_readinglog); none for the
    // identity check.
    void purgeWindow_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("log"); // "table.time column"
        QTest::newRow("reader check-in")
            << 1 << "删除历史记录-(读者登到)" << QString("reader_stat.read_date_time");
        QTest::newRow("identity check") << 3 << "删除历史记录" << QString();
    }
    void purgeWindow()
    {
        QFETCH(int, mode);
        QFETCH(QString, title);
        QFETCH(QString, log);
        insertPurgeDays(db);
        frmdelRecord window(mode);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.windowTitle(), title);
        auto* ok = child<QPushButton>(window, QStringLiteral("CmdOk"));
        auto* date = child<QLineEdit>(window, QStringLiteral("txtdate"));
        QVERIFY(!ok->isEnabled());
        QCOMPARE(date->text(), LIB_GetEnv(1).toString());

        auto* calendar = child<QCalendarWidget>(window, QStringLiteral("mvwDate"));
        calendar->setSelectedDate(QDate(2024, 3, 1));
        QCOMPARE(date->text(), QStringLiteral("2024-03-01"));
        auto* days = calendar->findChild<QTableView*>();
        QTest::mouseClick(days->viewport(), Qt::LeftButton, {},
                          days->visualRect(days->currentIndex()).center());
        QCOMPARE(ok->isEnabled(), !log.isEmpty());
        if (log.isEmpty())
            return;
        QCOMPARE(QApplication::focusWidget(), ok);
        click(ok);
        QCOMPARE(presenter->texts(), (QStringList{"是否确认删除历史记录?",
                                                  RecordingPresenter::shownText(QStringLiteral("ISC102"))}));
        QCOMPARE(db.scalar(QStringLiteral("SELECT string_agg(%2, ',') FROM %1 WHERE %2 < '2025'")
                               .arg(log.section('.', 0, 0), log.section('.', 1))),
                 QStringLiteral("2024-03-0200:00:00"));
    }
};

QTEST_MAIN(TestReadingLogWindows)
#include "tst_readinglogwindows.moc"
