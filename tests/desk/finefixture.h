#pragma once

// The demo library prepared for the fine window: reader R1000003 (card D1000003) with unsettled
// charges of given amounts at given locations, the operator A001 at the workstation DESK-R1 of the
// reading room R1 (whose fine-location list is "R1,R2").

#include "codes/codetables.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "desk/campuscard.h"
#include "info/marcindexparams.h"
#include "startup/desksettings.h"
#include "startup/environment.h"
#include "startup/operatorsession.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

struct FineFixture
{
    static constexpr const char* Reader = "R1000003";
    QTemporaryDir home;
    TestDatabase db;
    RecordingPresenter* presenter = nullptr;

    explicit FineFixture(const char* name) : db(QString::fromLatin1(name)) {}

    void start()
    {
        QVERIFY(db.isReady());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("store"));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("LOG")));
        Environment::instance().setProgramDirectory(home.path());
        qputenv("LT3_COMPUTERNAME", "desk-r1");
        QCOMPARE(db.connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        QCOMPARE(LIB_LoadCodeTables(), 0);
        QCOMPARE(LIB_LoadLocations(3), 0);
        QCOMPARE(MarcIndexParameters::instance().load(), 0);
        OperatorSession::current().workerNumber = QStringLiteral("A001");
        OperatorSession::current().location = QStringLiteral("R1");
        OperatorSession::current().loggedIn = true;
        presenter = RecordingPresenter::install();
        db.exec(
            "CREATE FUNCTION test_lockable(p_table text, p_condition text) RETURNS boolean LANGUAGE plpgsql "
            "AS $$ BEGIN EXECUTE format('SELECT 1 FROM %I WHERE %s FOR UPDATE NOWAIT', p_table, "
            "p_condition); "
            "RETURN true; EXCEPTION WHEN lock_not_available THEN RETURN false; END $$");
    }

    static void grantRights(const QStringList& rights)
    {
        ResultTable& table = OperatorSession::current().moduleRights;
        table = ResultTable(1, int(rights.size()));
        for (int row = 0; row < rights.size(); ++row)
            table.setValue(0, row + 2, rights.at(row));
    }

    // No charges, account book or fine workload; default settings; all rights.
    void reset()
    {
        db.exec(
            "DELETE FROM exceed_fine_lst WHERE cert_id = 'R1000003'; DELETE FROM deposit_account_lst WHERE "
            "cert_id = 'R1000003'; DELETE FROM wkr_job_qty WHERE wkr_no_f = 'A001' AND job_type IN ('415', "
            "'419'); UPDATE reader SET debt_flag = 0, obligate = 0 WHERE cert_id = 'R1000003'");
        setParameter9(QStringLiteral("2"));
        DeskSettings::current() = DeskSettings();
        DeskSettings::current().printFineNotice = 0;
        grantRights({QStringLiteral("4005"), QStringLiteral("4024")});
        presenter->clear();
    }

    void setParameter9(const QString& value)
    {
        db.exec("UPDATE sys_comm_para SET sys_para_value = '" + value + "' WHERE sys_para_code = '9'");
        QCOMPARE(SystemParameters::instance().load(), 0);
    }

    // The desk's campus card made anew: it refuses with this text, or accepts when it is empty.
    static void setCardRefusal(const QString& refusal)
    {
        openSettingsSection(QStringLiteral("流通阅览"), QStringLiteral("Settings"))
            ->setValue("CardRefusal", refusal);
        LIB_CreateCampusCard();
    }

    // Charges "amount@location[@H]" (H: an hour rule) on the items P0000001.. in this order, and
    // the reader's outstanding total as their sum.
    void addCharges(const QStringList& charges)
    {
        for (int i = 0; i < charges.size(); ++i) {
            const QStringList parts = charges.at(i).split('@');
            const bool hours = parts.value(2) == QLatin1String("H");
            db.exec(QStringLiteral(
                        "INSERT INTO exceed_fine_lst (prop_no, cert_id, lend_date, ret_date, norm_ret_date, "
                        "location_f, fine_amt, debt_deal_flag, time_unit, remark) VALUES ('P%1', "
                        "'R1000003', '2024-03-0109:00:00', '%2', '%3', '%4', %5, '0', '%6', '超期')")
                        .arg(i + 1, 7, 10, QLatin1Char('0'))
                        .arg(hours ? "2024-03-0111:01:00" : "2024-03-0908:00:00",
                             hours ? "2024-03-0110:59:00" : "2024-03-04", parts.value(1), parts.value(0),
                             hours ? "H" : "D"));
        }
        db.exec("UPDATE reader SET debt_flag = (SELECT sum(fine_amt) FROM exceed_fine_lst WHERE cert_id = "
                "'R1000003') WHERE cert_id = 'R1000003'");
    }

    QString debt() const
    {
        return db.scalar("SELECT debt_flag::text FROM reader WHERE cert_id = 'R1000003'");
    }

    // What was paid for each settled charge, in item order.
    QString settled() const
    {
        return db.scalar("SELECT coalesce(string_agg(real_fine_amt::text, ',' ORDER BY prop_no), '') FROM "
                         "exceed_fine_lst WHERE cert_id = 'R1000003' AND debt_deal_flag = '1'");
    }

    // The reader's account book as "type/payment mode/amount", with "/C" for a reduction's bill.
    QString accountBook() const
    {
        return db.scalar(
            "SELECT coalesce(string_agg(acct_type || '/' || pay_mode || '/' || amount || CASE WHEN "
            "bill_no LIKE '%C' THEN '/C' ELSE '' END, ' ' ORDER BY acct_serial), '') FROM "
            "deposit_account_lst WHERE cert_id = 'R1000003'");
    }

    // The operator's fine workload as "415=54.00 419=6.00".
    QString workload() const
    {
        return db.scalar(
            "SELECT coalesce(string_agg(job_type || '=' || amount, ' ' ORDER BY job_type), '') FROM "
            "wkr_job_qty WHERE wkr_no_f = 'A001' AND job_type IN ('415', '419')");
    }

    // Whether another session could lock these rows right now.
    bool lockable(const QString& table, const QString& condition) const
    {
        return db.scalar("SELECT test_lockable('" + table + "', $q$" + condition + "$q$)::text") == "true";
    }
};
