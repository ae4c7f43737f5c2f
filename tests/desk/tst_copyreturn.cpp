// Photocopy return against a copy of the demo library: the charge recorded with the return, the
// refusals, the borrower shown and the notices; and the overdue charge by the clock (hour rules,
// the grace period, rounding, money kept exact), which needs fixed times.
#include "db/database.h"
#include "desk/copyreturn.h"
#include "desk/overduecharge.h"
#include "support/deskprocess.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Grace of one unit, the first four units at `firstPrice`, then `otherPrice`.
CircRule ruleOf(const QString& unit, double firstPrice, double otherPrice)
{
    CircRule rule;
    rule.timeUnit = unit;
    rule.unfineExtDays = 1;
    rule.fstFineDays = 4;
    rule.fstFinePrice = firstPrice;
    rule.otherFinePrice = otherPrice;
    return rule;
}

} // namespace

class TestCopyReturn : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("copyreturn")};
    RecordingPresenter* presenter = nullptr;

    void run(const QString& sql) { db.exec(sql); }

    // B0000101 (at R2, open every day) lent to R1000002 for photocopying, due at `dueSql`.
    void lendB0000101(const QString& rule, const QString& dueSql)
    {
        run("INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, resp_wkr, "
            "location) "
            "VALUES ('R1000002', 'P0000101', to_char(current_date - 40, 'YYYY-MM-DD') || '09:00:00', " +
            dueSql + ", '" + rule + "', 'A001', 'R2')");
        run("UPDATE item SET book_lend_flag = '1' WHERE prop_no = 'P0000101'");
    }

    // The demo library's opening times of a reading room: closed on Monday only when it is R1.
    const QString openEveryDay = QStringLiteral(
        "UPDATE open_time SET morn_open_time = CASE WHEN week IN ('SAT', 'SUN') THEN '09:00' ELSE '08:00' "
        "END, "
        "aftn_open_time = '14:00', even_open_time = CASE WHEN week IN ('SAT', 'SUN') THEN '00:00' ELSE "
        "'18:30' END WHERE location = '%1'");

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(prepareDeskProcess(db, home.path()));
        presenter = RecordingPresenter::install();
    }
    void init()
    {
        run("DELETE FROM lend_lst WHERE cert_id = 'R1000002'");
        run("DELETE FROM exceed_fine_lst WHERE cert_id = 'R1000002'");
        run("UPDATE circ_rule SET fst_fine_days = 5 WHERE rule_no = 'COPY01'");
        run("UPDATE item SET location = 'R2' WHERE prop_no = 'P0000101'");
        run("UPDATE item SET price = 680 WHERE prop_no = 'P0000403'");
        run(openEveryDay.arg(QStringLiteral("R2")));
        run("UPDATE sys_comm_para SET sys_para_value = '300' WHERE sys_para_code = '6'");
        QCOMPARE(SystemParameters::instance().load(), 0);
        QCOMPARE(LIB_LoadCodeTables(), 0);
        QCOMPARE(LIB_LoadLocations(3), 0);
        DeskSettings::current().copyLendRule = QStringLiteral("COPY01");
        presenter->clear();
    }

    void charges_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("dueSent"); // a query on the loan, run before the return
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("fine");
        QTest::addColumn<QString>("description");
        const auto row = [](const char* tag, const QString& setup, const QString& rule, const QString& due,
                            const QString& dueSent, int count, const QString& fine,
                            const QString& description) {
            QTest::newRow(tag) << setup << rule << due << dueSent << count << fine << description;
        };

        const QString loan = " FROM lend_lst WHERE prop_no = 'P0000101'";
        const QString stored = "SELECT norm_ret_date" + loan;
        const QString dayLater = "SELECT to_char(norm_ret_date::date + 1, 'YYYY-MM-DD')" + loan;
        const QString hourLater =
            "SELECT to_char(to_timestamp(norm_ret_date, 'YYYY-MM-DDHH24:MI:SS') + interval "
            "'1 hour', 'YYYY-MM-DDHH24:MI:SS')" +
            loan;
        const QString daysAgo = "to_char(current_date - %1, 'YYYY-MM-DD')";
        const QString hoursAgo = "to_char(date_trunc('hour', localtimestamp) - interval '%1 hours', "
                                 "'YYYY-MM-DDHH24:MI:SS')";

        row("within the grace period", "", "COPY01", daysAgo.arg(1), dayLater, 0, "0.00", "");
        row("one day after the grace period", "", "COPY01", daysAgo.arg(2), stored, 2, "0.20",
            "2首期天 * 0.10");
        row("35 days with 30 first days", "UPDATE circ_rule SET fst_fine_days = 30 WHERE rule_no = 'COPY01'",
            "COPY01", daysAgo.arg(35), stored, 35, "4.00", "30首期天 * 0.10+5附加天 * 0.20");
        row("within the grace hour", "", "COPY02", hoursAgo.arg(0), hourLater, 0, "0.00", "");
        row("hours after the grace hour", "", "COPY02", hoursAgo.arg(3), hourLater, 2, "1.00",
            "2首期小时 * 0.50");
    }
    void charges()
    {
        QFETCH(QString, setup);
        QFETCH(QString, rule);
        QFETCH(QString, due);
        QFETCH(int, count);
        QFETCH(QString, fine);
        QFETCH(QString, description);
        if (!setup.isEmpty())
            run(setup);
        QCOMPARE(LIB_LoadCodeTables(), 0);
        DeskSettings::current().copyLendRule = rule;
        lendB0000101(rule, due);
        QFETCH(QString, dueSent);
        const QString expectedDue = db.scalar(dueSent);
        const QString debtBefore = db.scalar("SELECT debt_flag::text FROM reader WHERE cert_id = 'R1000002'");

        DeskContext desk = deskAt(DeskMode::CopyReturn);
        const CopyReturnOutcome outcome = ReturnPhotocopy(desk, QStringLiteral("B0000101"));
        QVERIFY(outcome.returned);
        QCOMPARE(outcome.charge.dueString, expectedDue);
        QCOMPARE(outcome.charge.count, count);
        QCOMPARE(outcome.charge.fineText(), fine);
        QCOMPARE(outcome.charge.description, description);
        QCOMPARE(outcome.line.overdue,
                 count == 0 ? QString() : QString::number(count) + (rule == "COPY01" ? "天" : "小时"));
        QVERIFY(presenter->boxes.isEmpty());
        QVERIFY(!LIB_DB_InTransaction());

        QCOMPARE(db.scalar("SELECT count(*) FROM lend_lst WHERE prop_no = 'P0000101'"), QStringLiteral("0"));
        QCOMPARE(
            db.scalar("SELECT excd_days::text || ' ' || ret_wkr FROM lend_hist WHERE prop_no_f = 'P0000101' "
                      "AND cert_id_f = 'R1000002' ORDER BY ret_date DESC LIMIT 1"),
            QString::number(count) + " A001");
        QCOMPARE(
            db.scalar(
                "SELECT fine_amt::text || ' ' || remark || ' ' || time_unit || ' ' || norm_ret_date FROM "
                "exceed_fine_lst WHERE cert_id = 'R1000002'"),
            fine == "0.00" ? QString()
                           : fine + ' ' + description + ' ' + outcome.charge.unit + ' ' + expectedDue);
        QCOMPARE(
            db.scalar("SELECT (debt_flag - " + debtBefore + ")::text FROM reader WHERE cert_id = 'R1000002'"),
            fine);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("loanRule"); // empty: B0000101 is not lent
        QTest::addColumn<QString>("deskRule");
        QTest::addColumn<QString>("barcode");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* tag, const QString& setup, const QString& loanRule,
                            const QString& deskRule, const QString& barcode, const QString& message) {
            QTest::newRow(tag) << setup << loanRule << deskRule << barcode << message;
        };
        row("unknown barcode", "", "", "COPY01", "B9999999", "ELT130");
        row("not taken back here", "", "", "COPY01", "B0000201", "ELT131基藏书库");
        row("location missing from the list", "UPDATE item SET location = 'XR1' WHERE prop_no = 'P0000101'",
            "COPY01", "COPY01", "B0000101", "ELT131XR1");
        row("no loan", "", "", "COPY01", "B0000101", "ELT132");
        row("not a photocopy loan", "", "PT01", "COPY01", "B0000101", "E非复印外借图书");
        row("photocopy rule missing", "", "COPY99", "COPY99", "B0000101", "ELT119");
        row("location closed every week day",
            "UPDATE open_time SET morn_open_time = '00:00', aftn_open_time = '00:00', even_open_time = "
            "'00:00' WHERE location = 'R2'",
            "COPY01", "COPY01", "B0000101",
            "E馆藏地[第二阅览室]一周七天都不开放，无法确定应还日期，请检查开放时间设置！");
    }
    void refusals()
    {
        QFETCH(QString, setup);
        QFETCH(QString, loanRule);
        QFETCH(QString, deskRule);
        QFETCH(QString, barcode);
        QFETCH(QString, message);
        if (!setup.isEmpty()) {
            run(setup);
            QCOMPARE(LIB_LoadCodeTables(), 0);
        }
        if (!loanRule.isEmpty())
            lendB0000101(loanRule, "to_char(current_date - 20, 'YYYY-MM-DD')");
        DeskSettings::current().copyLendRule = deskRule;
        DeskContext desk = deskAt(DeskMode::CopyReturn);

        QVERIFY(!ReturnPhotocopy(desk, barcode).returned);
        QCOMPARE(presenter->texts(), QStringList{shownText(message)});
        QCOMPARE(db.scalar("SELECT count(*) FROM lend_lst WHERE cert_id = 'R1000002'"),
                 loanRule.isEmpty() ? QStringLiteral("0") : QStringLiteral("1"));
        QVERIFY(!LIB_DB_InTransaction());
        // The rule and the calendar are looked up after the borrower is shown.
        const bool readerShown = message == "ELT119" || message.contains(QStringLiteral("不开放"));
        QCOMPARE(desk.reader.certId, readerShown ? QStringLiteral("R1000002") : QString());
    }

    // B0000401 went out to R1000001 a week ago and is overdue. The reader also holds a cancelled
    // card; the valid one (the higher cert_flag) is taken.
    void chargeLandsWithTheReader()
    {
        run("INSERT INTO reader_cert (redr_cert_id, cert_id, cert_flag, bgn_date, end_date) "
            "VALUES ('D1000001X', 'R1000001', '0', '2020-01-01', '2099-12-31')");
        const QString debtBefore = db.scalar("SELECT debt_flag::text FROM reader WHERE cert_id = 'R1000001'");
        DeskContext desk = deskAt(DeskMode::CopyReturn);
        const CopyReturnOutcome outcome = ReturnPhotocopy(desk, QStringLiteral("B0000401"));
        QVERIFY(outcome.returned);
        QVERIFY(outcome.charge.fineCents > 0);
        QCOMPARE(desk.reader.certId, QStringLiteral("R1000001"));
        QCOMPARE(desk.reader.cardBarcode, QStringLiteral("D1000001"));
        QCOMPARE(desk.fineReader, QStringLiteral("R1000001"));
        QVERIFY(outcome.line.title.startsWith(QStringLiteral("人类简史")));
        QCOMPARE(outcome.line.locationName, QStringLiteral("第一阅览室"));
        QCOMPARE(
            db.scalar("SELECT fine_amt::text || ' ' || debt_deal_flag FROM exceed_fine_lst WHERE prop_no = "
                      "'P0000401' AND cert_id = 'R1000001'"),
            outcome.charge.fineText() + " 0");
        QCOMPARE(
            db.scalar("SELECT (debt_flag - " + debtBefore + ")::text FROM reader WHERE cert_id = 'R1000001'"),
            outcome.charge.fineText());
        QCOMPARE(db.scalar("SELECT book_lend_flag FROM item WHERE prop_no = 'P0000401'"),
                 QStringLiteral("0"));
    }

    void noticesAfterTheReturn_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("price and restricted use")
            << QString() << QStringList{shownText("ILT105680.00"), shownText("ILT102")};
        QTest::newRow("no price, every price noticed")
            << "UPDATE item SET price = NULL WHERE prop_no = 'P0000403'; UPDATE sys_comm_para SET "
               "sys_para_value = '0' WHERE sys_para_code = '6'"
            << QStringList{shownText("ILT102")};
    }
    void noticesAfterTheReturn()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, notices);
        if (!setup.isEmpty()) {
            run(setup);
            QCOMPARE(SystemParameters::instance().load(), 0);
        }
        run("DELETE FROM lend_lst WHERE prop_no = 'P0000403'");
        run("INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, location) VALUES "
            "('R1000002', 'P0000403', '2024-01-0109:00:00', to_char(current_date + 1, 'YYYY-MM-DD'), "
            "'COPY01', 'R1')");
        run("UPDATE marc SET marc_use_flag = '2' WHERE marc_rec_no = (SELECT marc_rec_no FROM item WHERE "
            "prop_no = "
            "'P0000403')");
        DeskContext desk = deskAt(DeskMode::CopyReturn);
        QVERIFY(ReturnPhotocopy(desk, QStringLiteral("B0000403")).returned);
        QCOMPARE(presenter->texts(), notices);
    }

    void chargeByTheClock_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("firstPrice");
        QTest::addColumn<double>("otherPrice");
        QTest::addColumn<double>("rounding"); // system parameter 9
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("dueSent");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("fine");
        QTest::addColumn<QString>("description");

        const auto row = [](const char* tag, const QString& unit, double firstPrice, double otherPrice,
                            double rounding, const QString& due, const QString& now, const QString& dueSent,
                            int count, const QString& fine, const QString& description) {
            QTest::newRow(tag) << unit << firstPrice << otherPrice << rounding << due << now << dueSent
                               << count << fine << description;
        };
        const QString at10 = "2024-03-1010:00:00";
        const QString graceEnd = "2024-03-1011:00:00";
        row("grace hour not over", "H", 0.50, 1.00, 0, at10, "2024-03-1010:59:59", graceEnd, 0, "0.00", "");
        row("10:59 to 11:01 is one hour", "H", 0.50, 1.00, 0, "2024-03-1009:59:00", "2024-03-1011:01:00",
            "2024-03-1010:59:00", 1, "0.50", "1首期小时 * 0.50");
        row("beyond the first hours", "H", 0.50, 1.00, 0, at10, "2024-03-1017:10:00", graceEnd, 6, "4.00",
            "4首期小时 * 0.50+2附加小时 * 1.00");
        row("over midnight", "H", 0.50, 1.00, 0, "2024-03-1023:30:00", "2024-03-1102:00:00",
            "2024-03-1100:30:00", 2, "1.00", "2首期小时 * 0.50");
        row("half a cent rounds away from zero", "H", 0.335, 1.00, 0, at10, "2024-03-1014:30:00", graceEnd, 3,
            "1.01", "3首期小时 * 0.34");
        // Five days: four at 0.25 and one at the other price.
        const QString day = "2024-03-10";
        const QString fiveDaysLater = "2024-03-1508:00:00";
        row("parameter 9 = 1: 1.27 to 1.20", "D", 0.25, 0.27, 1, day, fiveDaysLater, day, 5, "1.20",
            "4首期天 * 0.25+1附加天 * 0.27");
        row("parameter 9 = 2: 1.25 to 1.30", "D", 0.25, 0.25, 2, day, fiveDaysLater, day, 5, "1.30",
            "4首期天 * 0.25+1附加天 * 0.25");
        row("parameter 9 = 2: 1.24 to 1.20", "D", 0.25, 0.24, 2, day, fiveDaysLater, day, 5, "1.20",
            "4首期天 * 0.25+1附加天 * 0.24");
        row("parameter 9 = 3: unchanged", "D", 0.25, 0.27, 3, day, fiveDaysLater, day, 5, "1.27",
            "4首期天 * 0.25+1附加天 * 0.27");
    }
    void chargeByTheClock()
    {
        QFETCH(QString, unit);
        QFETCH(double, firstPrice);
        QFETCH(double, otherPrice);
        QFETCH(double, rounding);
        QFETCH(QString, due);
        QFETCH(QString, now);
        QFETCH(QString, description);

        const OverdueCharge charge =
            LIB_OverdueCharge(ruleOf(unit, firstPrice, otherPrice), due, now, rounding);
        QTEST(charge.dueString, "dueSent");
        QTEST(charge.count, "count");
        QTEST(charge.fineText(), "fine");
        QCOMPARE(charge.description, description);
        QCOMPARE(charge.unit, description.isEmpty() ? QString() : unit);
    }

    // Values that binary floating point rounds the wrong way.
    void exactMoney_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("text");
        for (const auto& [amount, text] : {std::pair{1.005, "1.01"}, {0.1 + 0.2, "0.30"}, {-1.005, "-1.01"}})
            QTest::newRow(text) << amount << QString::fromLatin1(text);
    }
    void exactMoney()
    {
        QFETCH(double, amount);
        QTEST(LIB_CentsText(LIB_CentsHalfAway(LIB_MicroYuan(amount))), "text");
    }
};

QTEST_GUILESS_MAIN(TestCopyReturn)
#include "tst_copyreturn.moc"
