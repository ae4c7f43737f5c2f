// Photocopy lending against a copy of the demo library: the item checks, the limits, the due date,
// the recorded loan, and two desks lending to one reader at once.
#include "codes/codetables.h"
#include "db/database.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "desk/admission.h"
#include "desk/copylending.h"
#include "desk/copylendinggrid.h"
#include "startup/desksettings.h"
#include "startup/environment.h"
#include "startup/operatorsession.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QMutex>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

namespace {

// Lets two desks run at once: records every box and holds an information box (the price
// notice) open until released.
class GatePresenter : public MessagePresenter
{
public:
    int show(const Box& box) override
    {
        {
            QMutexLocker lock(&mutex);
            texts.append(box.text);
        }
        if (box.icon == Icon::Information) {
            noticeShown.release();
            closeNotice.acquire();
        }
        return 1;
    }
    QMutex mutex;
    QStringList texts;
    QSemaphore noticeShown;
    QSemaphore closeNotice;
};

} // namespace

class TestCopyLending : public QObject
{
    Q_OBJECT
    TestDatabase* db = nullptr;
    RecordingPresenter* presenter = nullptr;
    QTemporaryDir home;

    void run(const QString& sql) { db->exec(sql); }

    // Code tables and parameters are cached: a test that changes them reloads them.
    void reload()
    {
        QCOMPARE(LIB_LoadCodeTables(), 0);
        QCOMPARE(LIB_LoadLocations(3), 0);
        QCOMPARE(SystemParameters::instance().load(), 0);
    }

    // The desk of R1 with D0000001's reader (R0000001, 本科生) admitted.
    static DeskContext desk()
    {
        DeskContext desk;
        desk.mode = DeskMode::CopyLending;
        desk.location = QStringLiteral("R1");
        desk.worker = QStringLiteral("A001");
        desk.reader.certId = QStringLiteral("R0000001");
        desk.reader.typeCode = QStringLiteral("10");
        desk.readerAdmitted = true;
        return desk;
    }

    QString loans() { return db->scalar("SELECT count(*) FROM lend_lst WHERE cert_id = 'R0000001'"); }

private Q_SLOTS:
    void initTestCase()
    {
        db = new TestDatabase(QStringLiteral("copylending"));
        QVERIFY(db->isReady());
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("LOG")));
        Environment::instance().setProgramDirectory(home.path());
        QCOMPARE(db->connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        OperatorSession::current().workerNumber = QStringLiteral("A001");
        OperatorSession::current().location = QStringLiteral("R1");
        presenter = RecordingPresenter::install();
    }
    void cleanupTestCase() { delete db; }

    // Back to the demo library's loans, items, limits and parameters.
    void init()
    {
        run("DELETE FROM lend_lst WHERE prop_no <> 'P0000401' OR cert_id <> 'R1000001'");
        run("INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, location) VALUES "
            "('R1000001', 'P0000401', '2024-01-0109:00:00', '2024-01-04', 'COPY01', 'R1') ON CONFLICT DO "
            "NOTHING");
        run("UPDATE item SET book_lend_flag = '0' WHERE prop_no NOT IN ('P0000401', 'P0000402')");
        run("UPDATE item SET location = '99999' WHERE prop_no = 'P0000301'");
        run("UPDATE circ_rule SET max_lend_qty = 3, limt_lend_qty = 2 WHERE rule_no = 'COPY01'");
        run("UPDATE group_rule_comp SET max_lend_qty = 4, redr_type_code_r = '*'");
        run("UPDATE sys_comm_para SET sys_para_value = '0' WHERE sys_para_code = '7'");
        run("UPDATE sys_comm_para SET sys_para_value = '300' WHERE sys_para_code = '6'");
        run("UPDATE item SET price = 59.70, location = 'R1' WHERE prop_no = 'P0000001'");
        run("UPDATE open_time SET morn_open_time = CASE WHEN week IN ('SAT', 'SUN') THEN '09:00' ELSE "
            "'08:00' "
            "END, aftn_open_time = '14:00', even_open_time = CASE WHEN week IN ('SAT', 'SUN') THEN '00:00' "
            "ELSE '18:30' END WHERE location = 'R2'");
        reload();
        DeskSettings::current().copyLendRule = QStringLiteral("COPY01");
        presenter->clear();
    }

    void lendsForTheRuleTerm()
    {
        DeskContext desk = this->desk();
        const QString workBefore = db->scalar("SELECT coalesce(sum(volume), 0)::text FROM wkr_job_qty WHERE "
                                              "job_type = '424' AND wkr_no_f = 'A001'");
        const CopyLendOutcome outcome = LendForPhotocopy(desk, QStringLiteral("B0000001"));
        QVERIFY(!outcome.failed);
        QVERIFY(presenter->boxes.isEmpty());
        QVERIFY(!LIB_DB_InTransaction());

        // Three days from today end in R1's closing period (today+2 to today+4, one extra day);
        // the due date moves past it and past a closed Monday.
        const QString expectedDue = db->scalar("SELECT to_char(current_date + CASE WHEN extract(isodow FROM "
                                               "current_date + 6) = 1 THEN 7 ELSE 6 END, 'YYYY-MM-DD')");
        QVERIFY(outcome.line.title.startsWith(QStringLiteral("红楼梦")));
        QCOMPARE(outcome.line.cells(),
                 (QStringList{"B0000001", outcome.line.title, "I242.4/C342", outcome.line.lentAt, expectedDue,
                              "第一阅览室", "阅览", outcome.line.author, outcome.line.publisher, "COPY01"}));
        QCOMPARE(outcome.line.lentAt.size(), 18);
        QCOMPARE(
            db->scalar(
                "SELECT cert_id || ' ' || norm_ret_date || ' ' || rule_no_f || ' ' || l.resp_wkr || ' ' || "
                "i.book_lend_flag FROM lend_lst l JOIN item i USING (prop_no) WHERE prop_no = 'P0000001'"),
            "R0000001 " + expectedDue + " COPY01 A001 1");
        QCOMPARE(
            db->scalar(
                "SELECT sum(volume)::text FROM wkr_job_qty WHERE job_type = '424' AND wkr_no_f = 'A001'"),
            QString::number(workBefore.toInt() + 1));
        QCOMPARE(desk.item.propNo, QStringLiteral("P0000001"));
        QCOMPARE(desk.loanCalendar.closingPeriods.recordCount(), 1);
    }

    void placeholderItemBelongsToTheDesk()
    {
        DeskContext desk = this->desk();
        const CopyLendOutcome outcome = LendForPhotocopy(desk, QStringLiteral("B0000301"));
        QVERIFY(!outcome.failed);
        QCOMPARE(outcome.line.locationName, QStringLiteral("第一阅览室"));
        QCOMPARE(desk.loanCalendar.closingPeriods.recordCount(), 1); // R1's calendar dated the loan
        QCOMPARE(
            db->scalar("SELECT i.location || ' ' || l.location FROM item i JOIN lend_lst l USING (prop_no) "
                       "WHERE prop_no = 'P0000301'"),
            QStringLiteral("R1 R1"));
    }

    void limits_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QStringList>("lentBefore");
        QTest::addColumn<QString>("barcode");
        QTest::addColumn<QString>("refusal"); // empty: lent
        const auto row = [](const char* tag, const QStringList& setup, const QStringList& before,
                            const QString& barcode, const QString& refusal) {
            QTest::newRow(tag) << setup << before << barcode << refusal;
        };

        const QString twoPerLocation = "UPDATE circ_rule SET max_lend_qty = 2 WHERE rule_no = 'COPY01'";
        const QString noRuleLimits =
            "UPDATE circ_rule SET max_lend_qty = 10, limt_lend_qty = 10 WHERE rule_no = 'COPY01'";
        const QStringList twoOfR1{"B0000001", "B0000007"}; // circulation types 01 and 09
        const QStringList fourInGroup{"B0000001", "B0000007", "B0000014", "B0000101"};
        row("third book of a location", {twoPerLocation}, twoOfR1, "B0000002", "ELT120");
        row("another location still lends", {twoPerLocation}, twoOfR1, "B0000101", "");
        row("third of a circulation type", {}, {"B0000001", "B0000002"}, "B0000003", "ELT121");
        row("another circulation type still lends", {}, {"B0000001", "B0000002"}, "B0000007", "");
        row("group limit", {}, fourInGroup, "B0000015", "E已达该馆藏地组最大册数");
        row("group limit 0 sets none", {noRuleLimits, "UPDATE group_rule_comp SET max_lend_qty = 0"},
            fourInGroup, "B0000015", "");
        row("group limit of other reader types",
            {noRuleLimits, "UPDATE group_rule_comp SET redr_type_code_r = '20,30'"}, fourInGroup, "B0000015",
            "");
        row("loans under other rules never count",
            {"INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f) SELECT "
             "'R0000001', "
             "prop_no, '2024-01-0109:00:00', '2024-02-01', 'PT01' FROM item WHERE prop_no IN ('P0000002', "
             "'P0000003', 'P0000005', 'P0000006')"},
            {}, "B0000004", "");
    }
    void limits()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, lentBefore);
        QFETCH(QString, barcode);
        QFETCH(QString, refusal);
        for (const QString& sql : setup)
            run(sql);
        reload();
        DeskContext desk = this->desk();
        for (const QString& before : lentBefore)
            QVERIFY2(!LendForPhotocopy(desk, before).failed, qPrintable(before));
        const QString loansBefore = loans();

        QCOMPARE(LendForPhotocopy(desk, barcode).failed, !refusal.isEmpty());
        QCOMPARE(presenter->texts(),
                 refusal.isEmpty() ? QStringList() : QStringList{RecordingPresenter::shownText(refusal)});
        QCOMPARE(loans(), refusal.isEmpty() ? QString::number(loansBefore.toInt() + 1) : loansBefore);
        QVERIFY(!LIB_DB_InTransaction());
    }

    void itemChecks_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("barcode");
        QTest::addColumn<QString>("message"); // empty: lent without a message
        const auto row = [](const char* tag, const QString& setup, const QString& rule,
                            const QString& barcode, const QString& message) {
            QTest::newRow(tag) << setup << rule << barcode << message;
        };

        row("unknown barcode", "", "COPY01", "B9999999", "ELT130");
        row("unknown barcode asked",
            "UPDATE sys_comm_para SET sys_para_value = '1' WHERE sys_para_code = '7'", "COPY01", "B9999999",
            "QLT101");
        row("lent already", "", "COPY01", "B0000401", "ELT113");
        row("lent flag without a loan", "DELETE FROM lend_lst WHERE prop_no = 'P0000401'", "COPY01",
            "B0000401", "");
        row("lent on commission", "", "COPY01", "B0000402", "E该书被委托借出,请使用委托管理模块处理!");
        row("not lent at this desk", "", "COPY01", "B0000201", "ELT111基藏书库");
        row("no photocopy rule", "", "NONE", "B0000001", "ELT119");
        row("price notice first", "", "COPY01", "B0000403", "ILT104680.00");
        row("no price, every price noticed",
            "UPDATE item SET price = NULL WHERE prop_no = 'P0000001'; UPDATE sys_comm_para SET "
            "sys_para_value = '0' WHERE sys_para_code = '6'",
            "COPY01", "B0000001", "");
        row("location missing from the list", "UPDATE item SET location = 'XR1' WHERE prop_no = 'P0000001'",
            "COPY01", "B0000001", "ELT111XR1");
        row("location closed every week day",
            "UPDATE open_time SET morn_open_time = '00:00', aftn_open_time = '00:00', even_open_time = "
            "'00:00' WHERE location = 'R2'",
            "COPY01", "B0000101",
            "E馆藏地[第二阅览室]一周七天都不开放，无法确定应还日期，请检查开放时间设置！");
    }
    void itemChecks()
    {
        QFETCH(QString, setup);
        QFETCH(QString, rule);
        QFETCH(QString, barcode);
        QFETCH(QString, message);
        if (!setup.isEmpty())
            run(setup);
        reload();
        DeskSettings::current().copyLendRule = rule;
        DeskContext desk = this->desk();
        const bool lends = message.isEmpty() || message.startsWith(QLatin1Char('I'));

        QCOMPARE(LendForPhotocopy(desk, barcode).failed, !lends);
        QCOMPARE(presenter->texts(),
                 message.isEmpty() ? QStringList() : QStringList{RecordingPresenter::shownText(message)});
        QCOMPARE(loans(), lends ? QStringLiteral("1") : QStringLiteral("0"));
        QVERIFY(!LIB_DB_InTransaction());
    }

    void failedProcedureWritesNothing()
    {
        DeskContext desk = this->desk();
        desk.reader.certId = QStringLiteral("NOBODY"); // the loan's reader key does not exist
        QVERIFY(LendForPhotocopy(desk, QStringLiteral("B0000001")).failed);
        QCOMPARE(presenter->boxes.size(), 1);
        QCOMPARE(db->scalar("SELECT count(*) FROM lend_lst WHERE prop_no = 'P0000001'"), QStringLiteral("0"));
        QCOMPARE(db->scalar("SELECT book_lend_flag FROM item WHERE prop_no = 'P0000001'"),
                 QStringLiteral("0"));
        QVERIFY(!LIB_DB_InTransaction());
    }

    // Runs a lending at a desk of its own (its own session), as another workstation would.
    void lendAtOwnDesk(const QString& barcode, bool& failed)
    {
        DbSession session;
        session.setConnectionValues(db->connectionValues());
        if (session.connect() != 0)
            return;
        DbSession::setCurrent(&session);
        DeskContext desk = TestCopyLending::desk();
        failed = LendForPhotocopy(desk, barcode).failed;
        DbSession::setCurrent(nullptr);
    }

    // Sessions of the copy that wait for a lock.
    int sessionsWaitingForLocks()
    {
        return db
            ->scalar("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() AND "
                     "wait_event_type = 'Lock'")
            .toInt();
    }

    // The first desk is held inside its lending, after its loan row; the second desk, lending to
    // the same reader, waits for it and then counts the first desk's loan. A reader without any
    // loan has no loan row that could be locked.
    void twoDesksNeverPassTheLimit_data()
    {
        QTest::addColumn<QString>("loanBefore"); // barcode lent before, or empty
        QTest::addColumn<int>("limit");
        QTest::newRow("reader with a loan") << QStringLiteral("B0000001") << 2;
        QTest::newRow("reader without loans") << QString() << 1;
    }
    void twoDesksNeverPassTheLimit()
    {
        QFETCH(QString, loanBefore);
        QFETCH(int, limit);
        run(QStringLiteral("UPDATE circ_rule SET max_lend_qty = %1 WHERE rule_no = 'COPY01'").arg(limit));
        run("UPDATE sys_comm_para SET sys_para_value = '100000' WHERE sys_para_code = '6'");
        reload();
        DeskContext first = desk();
        if (!loanBefore.isEmpty())
            QVERIFY(!LendForPhotocopy(first, loanBefore).failed);
        run("CREATE TABLE hold_point (armed boolean); INSERT INTO hold_point VALUES (true); "
            "CREATE FUNCTION hold_loan() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN FOR step IN 1 .. 6000 "
            "LOOP EXIT WHEN NOT EXISTS (SELECT 1 FROM hold_point); PERFORM pg_sleep(0.01); END LOOP; "
            "RETURN NULL; END $$; CREATE TRIGGER hold_loan AFTER INSERT ON lend_lst FOR EACH ROW EXECUTE "
            "FUNCTION hold_loan()");

        bool firstFailed = true;
        bool secondFailed = false;
        std::thread firstDesk([&] { lendAtOwnDesk(QStringLiteral("B0000403"), firstFailed); });
        const bool firstHeld = QTest::qWaitFor(
            [this] {
                return db->scalar("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                                  "AND wait_event = 'PgSleep'") == QLatin1String("1");
            },
            60000);
        std::thread secondDesk([&] { lendAtOwnDesk(QStringLiteral("B0000002"), secondFailed); });
        const bool secondWaits =
            firstHeld && QTest::qWaitFor([this] { return sessionsWaitingForLocks() == 1; }, 60000);
        run("DELETE FROM hold_point");
        firstDesk.join();
        secondDesk.join();
        run("DROP TRIGGER hold_loan ON lend_lst; DROP FUNCTION hold_loan(); DROP TABLE hold_point");

        QVERIFY(firstHeld);
        QVERIFY(secondWaits);
        QVERIFY(!firstFailed);
        QVERIFY(secondFailed);
        QCOMPARE(presenter->texts(), QStringList{RecordingPresenter::shownText(QStringLiteral("ELT120"))});
        QCOMPARE(loans(), QString::number(limit));
    }

    // While the first desk's price notice waits for its operator, other desks admit the same
    // reader and lend to him without waiting.
    void priceNoticeHoldsNoLock()
    {
        auto* gate = new GatePresenter;
        LIB_SetMessagePresenter(std::unique_ptr<MessagePresenter>(gate));
        bool firstFailed = true;
        std::thread firstDesk([&] { lendAtOwnDesk(QStringLiteral("B0000403"), firstFailed); });
        const bool noticeOpen = gate->noticeShown.tryAcquire(1, 60000);

        bool admitted = false;
        bool secondFailed = true;
        std::atomic<bool> othersDone{false};
        std::thread otherDesks([&] {
            DbSession session;
            session.setConnectionValues(db->connectionValues());
            if (session.connect() == 0) {
                DbSession::setCurrent(&session);
                DeskContext desk = TestCopyLending::desk();
                desk.readerAdmitted = false;
                admitted = !ReaderAdmission().admit(desk, QStringLiteral("D0000001")).refused;
                DbSession::setCurrent(nullptr);
            }
            lendAtOwnDesk(QStringLiteral("B0000002"), secondFailed);
            othersDone = true;
        });
        // Either the other desks finish, or one of them waits for a lock the first desk holds.
        const bool settled =
            noticeOpen && QTest::qWaitFor([&] { return othersDone || sessionsWaitingForLocks() > 0; }, 60000);
        const bool finishedWhileOpen = othersDone;
        gate->closeNotice.release(2);
        firstDesk.join();
        otherDesks.join();
        presenter = RecordingPresenter::install();

        QVERIFY(noticeOpen);
        QVERIFY(settled);
        QVERIFY(finishedWhileOpen);
        QVERIFY(!firstFailed);
        QVERIFY(admitted);
        QVERIFY(!secondFailed);
        QCOMPARE(loans(), QStringLiteral("2"));
    }

    void newestLineEmphasised()
    {
        std::unique_ptr<CopyGridModel> grid(CopyGridModel::forLending());
        grid->setGridFont(QFont(QStringLiteral("Sans"), 9));
        grid->appendListed({"B0000009", "overdue"}, CopyGridModel::Ink::Red);
        grid->appendNewest({"B0000001"});
        grid->appendNewest({"B0000002"});
        const auto cell = [&](int row, int role) { return grid->data(grid->index(row, 1), role); };
        QCOMPARE(grid->lineCells(2), (QStringList{"3", "B0000002"}));
        QCOMPARE(cell(0, Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
        QCOMPARE(cell(1, Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 255));
        QCOMPARE(cell(1, Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
        QCOMPARE(cell(1, Qt::FontRole).value<QFont>().pointSizeF(), 9.0);
        QCOMPARE(cell(2, Qt::BackgroundRole).value<QBrush>().color(), QColor(240, 251, 255));
        QCOMPARE(cell(2, Qt::FontRole).value<QFont>().pointSizeF(), 12.0);
    }
};

QTEST_MAIN(TestCopyLending)
#include "tst_copylending.moc"
