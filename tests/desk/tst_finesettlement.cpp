// The overdue-fine settlement against the demo library: listing, settling, waiving, the lock of
// the open window seen from a second desk, and the campus card's charge mode.
#include "db/database.h"
#include "desk/campuscard.h"
#include "desk/finesettlement.h"
#include "finefixture.h"
#include "print/printhandover.h"

#include <memory>

class TestFineSettlement : public QObject
{
    Q_OBJECT
    FineFixture fx{"finesettlement"};
    DeskContext desk;

    std::unique_ptr<FineSettlement> openSettlement(DeskContext& context, bool& shown)
    {
        context.fineReader = QString::fromLatin1(FineFixture::Reader);
        context.fineAmount = fx.debt().toDouble();
        auto settlement = std::make_unique<FineSettlement>(context);
        shown = settlement->open(false);
        return settlement;
    }
    static QString shown(const QString& code) { return RecordingPresenter::shownText(code); }

private Q_SLOTS:
    void initTestCase() { fx.start(); }
    void init() { fx.reset(); }
    void cleanupTestCase() { LIB_ReleaseCampusCard(); }

    // The view as "total|settleable|proposal|settleable lines|remark|settle enabled"; the first
    // line's 借书日期, 还书日期, 超期天/小时 and 馆藏地.
    void listing_data()
    {
        QTest::addColumn<QString>("charges");
        QTest::addColumn<QString>("parameter9");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("firstLine");
        const QString day = "2024-03-01 2024-03-09 5天 第一阅览室";
        QTest::newRow("12.25, parameter 9 = 2") << "12.25@R1"
                                                << "2"
                                                << "12.25|12.25|12.30|1||1" << day;
        QTest::newRow("12.25, parameter 9 = 1") << "12.25@R1"
                                                << "1"
                                                << "12.25|12.25|12.20|1||1" << day;
        QTest::newRow("12.25, parameter 9 = 0") << "12.25@R1"
                                                << "0"
                                                << "12.25|12.25|12.20|1||1" << day;
        QTest::newRow("parameter 9 = 3 proposes nothing") << "12.25@R1"
                                                          << "3"
                                                          << "12.25|12.25||1||1" << day;
        QTest::newRow("another room's charge is listed only") << "5.00@R1 7.50@S1"
                                                              << "2"
                                                              << "12.50|5.00|5.00|10|本次余额(7.50)|1" << day;
        QTest::newRow("nothing to settle here") << "3.00@S1@H"
                                                << "2"
                                                << "3.00|0.00|0.00|0|本次余额(3.00)|0"
                                                << "2024-03-0109:00:00 2024-03-0111:01:00 1小时 基藏书库";
    }
    void listing()
    {
        QFETCH(QString, charges);
        QFETCH(QString, parameter9);
        fx.setParameter9(parameter9);
        fx.addCharges(charges.split(' '));
        bool opened = false;
        const auto settlement = openSettlement(desk, opened);
        QVERIFY(opened);
        const FineSettlement::View& view = settlement->view();
        QString lines;
        for (const FineChargeLine& line : settlement->charges().lines)
            lines += line.settleable ? '1' : '0';
        QTEST(QStringList({view.total, view.settleable, view.proposes ? view.proposal : QString(), lines,
                           view.remarkAddition, QString::number(view.settleEnabled)})
                  .join('|'),
              "view");
        const QStringList cells = settlement->charges().lines.first().cells();
        QTEST(QStringList({cells.at(3), cells.at(4), cells.at(5), cells.at(7)}).join(' '), "firstLine");
        QVERIFY(fx.presenter->boxes.isEmpty());
    }

    // Charges that do not add up to the outstanding total put the total right; nothing is shown.
    void mismatchedTotalIsCorrected()
    {
        fx.addCharges({"12.25@R1"});
        fx.db.exec("UPDATE reader SET debt_flag = 20 WHERE cert_id = 'R1000003'");
        bool opened = true;
        const auto settlement = openSettlement(desk, opened);
        QVERIFY(!opened);
        QCOMPARE(fx.debt(), QStringLiteral("12.25"));
        QCOMPARE(desk.fineAmount, 12.25);
        QVERIFY(fx.lockable("exceed_fine_lst", "cert_id = 'R1000003'"));
    }

    // The outcome as "amount box|paid per settled charge|debt|account book|workload|prepaid".
    void settling_data()
    {
        QTest::addColumn<QString>("charges");
        QTest::addColumn<int>("payMode");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("prepaid");
        QTest::addColumn<QString>("card");    // "-": no campus card; else the simulator's refusal
        QTest::addColumn<QString>("message"); // after the confirmation
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* name, const char* charges, int payMode, const char* amount,
                            const char* prepaid, const char* card, const char* message, const char* outcome) {
            QTest::newRow(name) << charges << payMode << amount << prepaid << card << message << outcome;
        };
        const char* tens = "10.00@R1 20.00@R1 30.00@R1";
        row("10, 20, 30 settled with 54", tens, 0, "54", "0", "-", "",
            "54.00|9.00,18.00,27.00|0.00|5/0/54.00 6/0/6.00/C|415=54.00 419=6.00|0.00");
        row("thirds add up to the actual amount", "1.00@R1 1.00@R1 1.00@R1", 0, "2", "0", "-", "",
            "2.00|0.67,0.67,0.66|0.00|5/0/2.00 6/0/1.00/C|415=2.00 419=1.00|0.00");
        row("settleable + 0.05 accepted", "12.25@R1", 0, "12.30", "0", "-", "",
            "12.30|12.30|0.00|5/0/12.30|415=12.30|0.00");
        row("settleable + 0.06 refused", "12.25@R1", 0, "12.31", "0", "-", "E实际罚款额最大超过可罚款额",
            "12.30||12.25|||0.00");
        row("another room's charge stays owed", "10.00@R1 5.00@S1", 0, "10", "0", "-", "",
            "10.00|10.00|5.00|5/0/10.00|415=10.00|0.00");
        row("nothing paid is a waiver", tens, 0, "0", "0", "-", "E实际罚款额为0,请使用免罚",
            "0.00||60.00|||0.00");
        row("prepaid balance too small", "10.00@R1", 2, "10", "8.5", "-", "E读者预付款不足(8.5),不能罚款!",
            "10.00||10.00|||8.50");
        row("prepaid balance lowered", "10.00@R1", 2, "10", "50", "-", "",
            "10.00|10.00|0.00|5/2/10.00|415=10.00|40.00");
        row("card refuses", "10.00@R1", 1, "10", "0", "余额不足", "E刷卡出错：余额不足",
            "10.00||10.00|||0.00");
        row("card accepts", "10.00@R1", 1, "10", "0", "", "", "10.00|10.00|0.00|5/1/10.00|415=10.00|0.00");
    }
    void settling()
    {
        QFETCH(QString, charges);
        QFETCH(int, payMode);
        QFETCH(QString, amount);
        QFETCH(QString, prepaid);
        QFETCH(QString, card);
        QFETCH(QString, message);
        fx.addCharges(charges.split(' '));
        fx.db.exec("UPDATE reader SET obligate = " + prepaid + " WHERE cert_id = 'R1000003'");
        DeskSettings& settings = DeskSettings::current();
        settings.printFineNotice = settings.cardConfirmWindow = 1;
        settings.campusCard = card == QLatin1String("-") ? 0 : 1;
        fx.setCardRefusal(card);
        PrintHandover::instance().reset(QString());

        bool opened = false;
        const auto settlement = openSettlement(desk, opened);
        QVERIFY(opened);
        FineSettlement::Form form{amount, QString(), payMode, QStringLiteral("现场交款")};
        const FineSettlement::Reply reply = settlement->settle(form);

        QStringList texts{shown("WLT284")};
        if (!message.isEmpty())
            texts << shown(message);
        QCOMPARE(fx.presenter->texts(), texts);
        const QString settled = fx.settled();
        QTEST(QStringList({form.amount, settled, fx.debt(), fx.accountBook(), fx.workload(),
                           fx.db.scalar("SELECT obligate::text FROM reader WHERE cert_id = 'R1000003'")})
                  .join('|'),
              "outcome");
        QCOMPARE(form.billNo.size(), 14); // the server's date and time
        QCOMPARE(reply.close, !settled.isEmpty());
        QCOMPARE(reply.printReceipt, !settled.isEmpty());
        if (settled.isEmpty())
            return;
        QCOMPARE(desk.fineAmount, fx.debt().toDouble());
        const PrintHandover& notice = PrintHandover::instance();
        QCOMPARE(notice.headingLine(0), QStringLiteral("超期罚款单"));
        QStringList paid;
        for (int row = 1; row < notice.rowCount(); ++row)
            paid << notice.cell(row, 10);
        QCOMPARE(paid.join(','), settled);
        if (payMode == PayByCard) {
            const auto* simulator = dynamic_cast<const SimulatedCampusCard*>(LIB_CampusCard());
            QVERIFY(simulator && simulator->charges().size() == 1);
            const SimulatedCampusCard::Charge& charged = simulator->charges().first();
            QCOMPARE(QStringList({charged.certId, charged.cardBarcode, QString::number(charged.amount),
                                  QString::number(charged.chargeMode), charged.note}),
                     QStringList({"R1000003", "D1000003", "10", "1", "A001,超期罚款"}));
        }
    }

    // An amount that is not a number is refused before anything else.
    void amountMustBeANumber()
    {
        fx.addCharges({"10.00@R1"});
        bool opened = false;
        const auto settlement = openSettlement(desk, opened);
        FineSettlement::Form form{QStringLiteral("5元"), QString(), 0, QString()};
        const FineSettlement::Reply reply = settlement->settle(form);
        QCOMPARE(fx.presenter->texts(), QStringList{shown("E实罚款额输入错误!")});
        QVERIFY(reply.focus == FineSettlement::Focus::Amount && form.billNo.isEmpty());
    }

    void waiving_data()
    {
        QTest::addColumn<QStringList>("rights");
        QTest::addColumn<int>("answer"); // to the first box
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("waived");
        QTest::newRow("two lines waived") << QStringList{"4005", "4024"} << 1 << "WLT285" << true;
        QTest::newRow("without right 4024") << QStringList{"4005"} << 1 << "ECM504" << false;
        QTest::newRow("confirmation cancelled") << QStringList{"4005", "4024"} << 2 << "WLT285" << false;
    }
    void waiving()
    {
        QFETCH(QStringList, rights);
        QFETCH(int, answer);
        QFETCH(QString, message);
        QFETCH(bool, waived);
        fx.addCharges({"1.50@R1", "2.25@R1", "4.00@R1", "8.00@S1"});
        FineFixture::grantRights(rights);
        bool opened = false;
        const auto settlement = openSettlement(desk, opened);
        fx.presenter->answerNext(answer);
        FineSettlement::Form form{QStringLiteral("7.80"), QStringLiteral("W1"), 0, QStringLiteral("特批")};
        // The charge of the other room cannot be waived here, even when asked for.
        const FineSettlement::Reply reply = settlement->waive(form, {0, 2, 3});

        QCOMPARE(fx.presenter->texts(), QStringList{shown(message)});
        QVERIFY(!reply.close);
        QCOMPARE(reply.reloaded, waived);
        QCOMPARE(fx.settled(), waived ? QStringLiteral("0.00,0.00") : QString());
        const QString debt = waived ? QStringLiteral("10.25") : QStringLiteral("15.75");
        QCOMPARE(fx.debt(), debt);
        QCOMPARE(desk.fineAmount, debt.toDouble());
        QCOMPARE(fx.accountBook() + ' ' + fx.workload(), waived ? QStringLiteral("6/0/5.50 419=5.50") : " ");
        QCOMPARE(form.billNo, answer == 2 || waived ? QString() : QStringLiteral("W1"));
        QCOMPARE(settlement->view().total, debt);
        QCOMPARE(settlement->charges().lines.size(), waived ? 2 : 4);
        QVERIFY(!fx.lockable("exceed_fine_lst", "cert_id = 'R1000003'")); // listed again under the lock
    }

    // A second desk opening the reader's charges is told at once that they are in use, for as
    // long as the first window is open, whatever the first does meanwhile; the window locks
    // nothing else while it waits; every way of closing it lets the second desk in.
    void secondDesk_data()
    {
        QTest::addColumn<QString>("ending");
        for (const char* ending : {"cancel", "close", "gone", "settle", "card refused"})
            QTest::newRow(ending) << ending;
    }
    void secondDesk()
    {
        QFETCH(QString, ending);
        fx.addCharges({"10.00@R1", "20.00@R1"});
        DeskContext first;
        bool opened = false;
        auto window = openSettlement(first, opened);
        QVERIFY(opened);
        QVERIFY(fx.lockable("reader", "cert_id = 'R1000003'"));
        QVERIFY(fx.lockable("item", "prop_no IN ('P0000001', 'P0000002')"));
        // The desk's own session goes on working, and its transactions leave the lock alone.
        LIB_DB_BeginTrans();
        QCOMPARE(LIB_DB_Execute("UPDATE reader SET remark = remark WHERE cert_id = 'R1000003'"), 0);
        QCOMPARE(LIB_DB_CommitTrans(), 0);
        if (ending == QLatin1String("card refused")) {
            DeskSettings::current().campusCard = 1;
            fx.setCardRefusal(QStringLiteral("卡已挂失"));
            FineSettlement::Form form{QStringLiteral("30"), QString(), PayByCard, QString()};
            QVERIFY(!window->settle(form).close);
            QVERIFY(fx.lockable("reader", "cert_id = 'R1000003'"));
            ending = QStringLiteral("close");
        }
        fx.presenter->clear();
        DeskContext second;
        openSettlement(second, opened);
        QVERIFY(!opened);
        QCOMPARE(fx.presenter->texts(), QStringList{shown("E该记录已经被锁定!")});

        if (ending == QLatin1String("cancel"))
            window->cancel();
        else if (ending == QLatin1String("close"))
            window->close();
        else if (ending == QLatin1String("gone"))
            window.reset();
        FineSettlement::Form form{QStringLiteral("30"), QString(), PayByCash, QString()};
        if (ending == QLatin1String("settle"))
            QVERIFY(window->settle(form).close);
        fx.presenter->clear();
        const auto next = openSettlement(second, opened);
        QVERIFY(opened);
        QCOMPARE(fx.presenter->texts(), QStringList());
        QCOMPARE(next->charges().lines.size(), ending == QLatin1String("settle") ? 0 : 2);
    }

    void cardChargeMode_data()
    {
        QTest::addColumn<QList<int>>("switches"); // Window, ChgAcct, OutPut
        QTest::addColumn<QString>("maxMoney");
        QTest::addColumn<int>("flag"); // for a settleable amount of 10.00
        QTest::newRow("no confirmation window") << QList<int>{0, 1, 1} << "0.00" << 0;
        QTest::newRow("account, password, amount reached") << QList<int>{1, 1, 1} << "10.00" << 13;
        QTest::newRow("account, password, below the amount") << QList<int>{1, 1, 1} << "10.01" << 3;
        QTest::newRow("account, no password") << QList<int>{1, 1, 0} << "0.00" << 3;
        QTest::newRow("password, no amount set") << QList<int>{1, 0, 1} << "" << 11;
        QTest::newRow("password, below the amount") << QList<int>{1, 0, 1} << "20.5元" << 1;
        QTest::newRow("neither") << QList<int>{1, 0, 0} << "0.00" << 1;
    }
    void cardChargeMode()
    {
        QFETCH(QList<int>, switches);
        DeskSettings settings;
        settings.cardConfirmWindow = switches.at(0);
        settings.accountChangeable = switches.at(1);
        settings.cardAsksPassword = switches.at(2);
        QFETCH(QString, maxMoney);
        settings.passwordFreeAmount = maxMoney;
        QTEST(int(LIB_CardChargeMode(settings, 1000)), "flag");
    }
};

QTEST_GUILESS_MAIN(TestFineSettlement)
#include "tst_finesettlement.moc"
