#include "deskfaults.h"

#include "desk/admission.h"
#include "desk/copylending.h"
#include "desk/copyreturn.h"
#include "desk/recording.h"
#include "robustdesk.h"

namespace {

QString workload(const char* job)
{
    return QStringLiteral("(SELECT coalesce(sum(volume), 0) FROM wkr_job_qty WHERE job_type = '%1')")
        .arg(QLatin1String(job));
}

QString rows(const char* table, const char* condition)
{
    return QStringLiteral("(SELECT count(*) FROM %1 WHERE %2)")
        .arg(QLatin1String(table), QLatin1String(condition));
}

QString figures(const QStringList& parts)
{
    return QStringLiteral("SELECT concat_ws('/', ") + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

bool admit(DeskContext& desk, const QString& card)
{
    return !ReaderAdmission().admit(desk, card).refused;
}

// R0000001 (card D0000001) without photocopy loans, B0000005 and B0000006 on the shelf.
bool clearLoans(AdminLink& admin)
{
    return admin.exec(QStringLiteral("DELETE FROM lend_lst WHERE cert_id = 'R0000001'; UPDATE item SET "
                                     "book_lend_flag = '0' WHERE prop_no IN ('P0000005', 'P0000006')"));
}

} // namespace

FaultScenario faultScenario(const QString& operation)
{
    FaultScenario s;
    if (operation == QLatin1String("check-in")) {
        s.mode = DeskMode::ReaderCheckIn;
        s.prepare = [](AdminLink&, DeskContext& desk) { return admit(desk, QStringLiteral("D0000001")); };
        s.operate = [](DeskContext& desk) { return recordCheckIn(desk) == 0; };
        s.figures = figures({rows("reader_stat", "cert_id = 'R0000001'"),
                             rows("reader_stat_hist", "cert_id = 'R0000001'"), workload("422")});
        s.recordedChange = {1, 1, 1};
    } else if (operation == QLatin1String("book counting")) {
        s.mode = DeskMode::BookCounting;
        s.prepare = [](AdminLink&, DeskContext&) { return true; };
        s.operate = [](DeskContext& desk) {
            return countOrRegisterBook(desk, QStringLiteral("B0000003")) == 0;
        };
        s.figures =
            figures({rows("book_use_stat", "prop_no = 'P0000003'"),
                     rows("book_use_stat_hist", "prop_no = 'P0000003'"),
                     "(SELECT total_read_qty FROM item WHERE prop_no = 'P0000003')", workload("405")});
        s.recordedChange = {1, 1, 1, 1};
    } else if (operation == QLatin1String("registration")) {
        s.mode = DeskMode::ReaderBookRegistration;
        const char* registered = "prop_no = 'P0000004' AND cert_id = 'R0000002'";
        s.prepare = [](AdminLink&, DeskContext& desk) { return admit(desk, QStringLiteral("D0000002")); };
        s.operate = [](DeskContext& desk) {
            return countOrRegisterBook(desk, QStringLiteral("B0000004")) == 0;
        };
        s.figures = figures(
            {rows("reader_book_stat", registered), rows("redr_book_stat_hist", registered), workload("423")});
        s.recordedChange = {1, 1, 1};
    } else if (operation == QLatin1String("photocopy lending")) {
        s.mode = DeskMode::CopyLending;
        s.prepare = [](AdminLink& admin, DeskContext& desk) {
            return clearLoans(admin) && admit(desk, QStringLiteral("D0000001"));
        };
        s.operate = [](DeskContext& desk) {
            return !LendForPhotocopy(desk, QStringLiteral("B0000005")).failed;
        };
        s.figures =
            figures({rows("lend_lst", "prop_no = 'P0000005'"),
                     rows("item", "prop_no = 'P0000005' AND book_lend_flag = '1'"),
                     "(SELECT total_lend_qty FROM reader WHERE cert_id = 'R0000001')", workload("424")});
        s.recordedChange = {1, 1, 1, 1};
    } else if (operation == QLatin1String("photocopy return")) {
        s.mode = DeskMode::CopyReturn;
        s.prepare = [](AdminLink& admin, DeskContext& desk) {
            DeskContext lending = deskAt(DeskMode::CopyLending);
            if (!clearLoans(admin) || !admit(lending, QStringLiteral("D0000001")) ||
                LendForPhotocopy(lending, QStringLiteral("B0000006")).failed)
                return false;
            desk = deskAt(DeskMode::CopyReturn);
            return true;
        };
        s.operate = [](DeskContext& desk) {
            return ReturnPhotocopy(desk, QStringLiteral("B0000006")).returned;
        };
        s.figures =
            figures({rows("lend_lst", "prop_no = 'P0000006'"), rows("lend_hist", "prop_no_f = 'P0000006'"),
                     rows("item", "prop_no = 'P0000006' AND book_lend_flag = '0'"), workload("425")});
        s.recordedChange = {-1, 1, 1, 1};
    } else if (operation == QLatin1String("admission")) {
        // D0000008's suspension ended last month but is still marked as running: the check writes
        // the violation's new flag and then the reader's count of violations.
        s.mode = DeskMode::ReaderCheckIn;
        s.prepare = [](AdminLink& admin, DeskContext&) {
            return admin.exec(
                QStringLiteral("UPDATE reader_volt_lst SET volt_deal_flag = '1' WHERE cert_id = "
                               "'R0000008'; UPDATE reader SET volt_flag = 1 WHERE cert_id = 'R0000008'"));
        };
        s.operate = [](DeskContext& desk) { return admit(desk, QStringLiteral("D0000008")); };
        s.figures = figures({rows("reader_volt_lst", "cert_id = 'R0000008' AND volt_deal_flag = '0'"),
                             "(SELECT volt_flag FROM reader WHERE cert_id = 'R0000008')"});
        s.recordedChange = {1, -1};
    }
    return s;
}

QList<long long> readFigures(AdminLink& admin, const FaultScenario& scenario)
{
    QList<long long> values;
    const QString text = admin.text(scenario.figures);
    for (const QString& part : text.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        values.append(part.toLongLong());
    return values;
}

QList<long long> figuresAfter(QList<long long> before, const FaultScenario& scenario, qsizetype moved)
{
    for (qsizetype i = 0; i < before.size() && (moved < 0 || i < moved); ++i)
        before[i] += scenario.recordedChange.value(i);
    return before;
}
