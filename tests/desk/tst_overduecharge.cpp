// The overdue charge of photocopy loans: day and hour rules, the grace period, rounding, and
// money kept exact.
#include "desk/overduecharge.h"

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

// The day rules' grace and charge are shown against the database (tst_copyreturn); here are
// the clock-hour counts and the rounding, which need fixed times.
class TestOverdueCharge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void charge_data()
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
    void charge()
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
        for (const auto& [amount, text] : {std::pair{1.005, "1.01"},
                                           {0.105, "0.11"},
                                           {2.675, "2.68"},
                                           {0.1 + 0.2, "0.30"},
                                           {-1.005, "-1.01"}})
            QTest::newRow(text) << amount << QString::fromLatin1(text);
    }
    void exactMoney()
    {
        QFETCH(double, amount);
        QTEST(LIB_CentsText(LIB_CentsHalfAway(LIB_MicroYuan(amount))), "text");
    }
};

QTEST_GUILESS_MAIN(TestOverdueCharge)
#include "tst_overduecharge.moc"
