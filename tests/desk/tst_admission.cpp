// The reader admission check against the demo library, the local reader types file, and the
// local reader selection window offscreen (moving entries, OK and cancel).
#include "db/database.h"
#include "desk/admission.h"
#include "desk/admissionreader.h"
#include "desk/frmRedrValid.h"
#include "desk/localreadertypes.h"
#include "startup/applicationtitle.h"
#include "support/deskprocess.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// The selection window's starting point: two local types and one that is not.
const QByteArray windowFile = "00  10      本科生\r\n00  20      研究生\r\n01  90      校外读者\r\n";

QStringList entries(const frmRedrValid& window, const char* list)
{
    QStringList texts;
    auto* widget = window.findChild<QListWidget*>(QLatin1String(list));
    for (int row = 0; widget && row < widget->count(); ++row)
        texts.append(widget->item(row)->text());
    return texts;
}

QPushButton* button(const frmRedrValid& window, const char* name)
{
    return window.findChild<QPushButton*>(QLatin1String(name));
}

void click(const frmRedrValid& window, const char* name)
{
    QTest::mouseClick(button(window, name), Qt::LeftButton);
}

// "r1"/"u1" click row 1 of the non-local/local list, "R1"/"U1" double-click it; else a button.
void act(const frmRedrValid& window, const QString& step)
{
    if (step.startsWith(QLatin1String("cmd")))
        return click(window, qPrintable(step));
    auto* list = window.findChild<QListWidget*>(step.at(0).toLower() == 'r' ? "lstRedrtype" : "lstUsetype");
    const QPoint at = list->visualItemRect(list->item(step.mid(1).toInt())).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (step.at(0).isUpper())
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

QString storedCheckValue()
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavorn"),
                    LIB_ApplicationTitle());
    return store.value(QStringLiteral("Settings/LT3_CheckValue")).toString();
}

} // namespace

class TestAdmission : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("admission")};
    RecordingPresenter* presenter = nullptr;
    ReaderAdmission admission;
    DeskContext desk;

    void resetWindowFile()
    {
        QVERIFY(writeLocalReaderTypesFile(localReaderTypesFilePath(),
                                          QString::fromUtf8(windowFile).split("\r\n", Qt::SkipEmptyParts)));
        DeskSettings::current().localReaderTypesOnly = 0;
        presenter->clear();
    }

    void change(const QString& statement) { db.scalar(statement + QStringLiteral(" RETURNING 1")); }

    AdmissionResult admit(const QString& card, DeskMode mode)
    {
        desk = DeskContext();
        desk.mode = mode;
        presenter->clear();
        return admission.admit(desk, card);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(prepareDeskProcess(db, home.path()));
        QDir().mkpath(home.filePath("CFG/LT"));
        QVERIFY(
            QFile::copy(QFINDTESTDATA("../../runtime/CFG/LT/LT_ReaderType.ini"), localReaderTypesFilePath()));
        presenter = RecordingPresenter::install();
    }

    void init()
    {
        DeskSettings& s = DeskSettings::current();
        s.checkViolations = s.checkDebts = s.checkValidity = s.settleFines = 1;
        s.localReaderTypesOnly = s.showReaderPhoto = 0;
        admission = ReaderAdmission();
    }

    // One outcome per demo reader; the argument is a literal or the query that gives it.
    void outcomes_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("redrIn");
        QTest::addColumn<int>("localOnly");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("argument");

        auto row = [](const char* name, const char* card, int mode, int redrIn, int localOnly, bool refused,
                      const char* code, const char* argument) {
            QTest::newRow(name) << card << mode << redrIn << localOnly << refused << code << argument;
        };
        row("valid", "D0000001", 1, 1, 0, false, "", "");
        row("scanned in lower case", " d0000002 ", 2, 1, 0, false, "", "");
        row("unknown card", "D9999999", 1, 1, 0, true, "ELT101", "");
        row("deregistered", "D0000003", 1, 1, 0, true, "ELT102",
            "SELECT redr_del_day FROM reader WHERE cert_id = 'R0000003'");
        row("card cancelled", "D0000004", 1, 1, 0, true, "ELT103", "");
        row("card lost", "D0000005", 2, 1, 0, true, "ELT104",
            "SELECT lose_date FROM cert_loss WHERE redr_cert_id = 'D0000005'");
        const char* validity =
            "SELECT bgn_date || '-' || end_date FROM reader_cert WHERE redr_cert_id = 'D0000006'";
        row("expired, RedrIN 1", "D0000006", 1, 1, 0, true, "ELT105", validity);
        row("expired, RedrIN 0", "D0000006", 2, 0, 0, false, "", "");
        row("expired, identity check", "D0000006", 3, 0, 0, false, "", "");
        row("expired, copy lending", "D0000006", 4, 0, 0, true, "ELT105", validity);
        row("unsettled violation", "D0000007", 1, 1, 0, true, "ELT106", "");
        row("debt above maximum", "D0000009", 1, 1, 0, true, "ELT107", "10.00");
        row("debt, copy lending warns", "D0000009", 4, 1, 0, false, "ELT107", "10.00");
        row("not local", "D0000010", 1, 1, 1, true, "E读者不能进入该阅览室！", "");
        row("not local, identity check", "D0000010", 3, 1, 1, false, "", "");
        row("not local, check off", "D0000010", 1, 1, 0, false, "", "");
        row("overdue photocopy loan", "D1000001", 4, 1, 0, true, "ELT108", "");
        row("photocopy loan, reading mode", "D1000001", 1, 1, 0, false, "", "");
    }
    void outcomes()
    {
        QFETCH(QString, card);
        QFETCH(int, mode);
        QFETCH(QString, argument);
        QFETCH(bool, refused);
        QFETCH(QString, code);
        QFETCH(int, redrIn);
        QFETCH(int, localOnly);
        DeskSettings::current().checkValidity = redrIn;
        DeskSettings::current().localReaderTypesOnly = localOnly;
        const QString visits = QStringLiteral("SELECT count(*) FROM reader_stat");
        const QString visitsBefore = db.scalar(visits);
        if (argument.startsWith(QLatin1String("SELECT")))
            argument = db.scalar(argument);

        const AdmissionResult result = admit(card, DeskMode(mode));
        QCOMPARE(result.refused, refused);
        QCOMPARE(desk.readerAdmitted, !refused);
        QCOMPARE(presenter->texts(),
                 code.isEmpty() ? QStringList() : QStringList{shownText(code + argument)});
        // Only an unknown card and a type that is not local are refused before the reader shows.
        const bool shown = code != QLatin1String("ELT101") && !code.startsWith(QStringLiteral("E读者"));
        QCOMPARE(result.readerShown, shown);
        QCOMPARE(result.clearReaderBox, !shown || code == QLatin1String("ELT106"));
        if (shown) {
            QCOMPARE(desk.reader.cardBarcode, card.trimmed().toUpper());
            QCOMPARE(desk.reader.certId, QLatin1Char('R') + card.trimmed().mid(1));
            QCOMPARE(desk.fineReader, desk.reader.certId);
        }
        if (code == QLatin1String("ELT108")) { // the overdue loan is listed, flagged
            QVERIFY(result.copyLoansListed && result.copyLoans.size() == 1 &&
                    result.copyLoans.first().overdue);
            const QStringList& cells = result.copyLoans.first().cells;
            QCOMPARE(QStringList({cells.at(1), cells.at(6), cells.at(10)}),
                     (QStringList{"B0000401", "第一阅览室", "COPY01"}));
            QVERIFY2(cells.at(2).startsWith(QStringLiteral("人类简史")), qPrintable(cells.at(2)));
        }
        QCOMPARE(db.scalar(visits), visitsBefore); // the check itself records no visit
        QVERIFY(!LIB_DB_InTransaction());
    }

    void validReaderIsShown()
    {
        const long before = DbSession::current().roundTrips();
        const AdmissionResult result = admit(QStringLiteral("D0000001"), DeskMode::ReaderCheckIn);
        QVERIFY(DbSession::current().roundTrips() - before <= 4); // begin, reader, server date, commit
        const QString grade = db.scalar(QStringLiteral("SELECT remark FROM lend_grd WHERE lend_grd = '02'"));
        QCOMPARE(result.panelValues,
                 (QStringList{QStringLiteral("张伟"), grade, QStringLiteral("R0000001"),
                              QStringLiteral("本科生"), QStringLiteral("信息科学与技术学院")}));
        QCOMPARE(desk.reader.typeMaxDebt, 10.0);
        QVERIFY(!result.portraitShown);
        QVERIFY(result.violationRows.isEmpty());
    }

    // Open violations after the suspensions that ended were cleared; `setup` prepares the case.
    void violations_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("checkVolt");
        QTest::addColumn<QString>("label");  // of the one vsVolt row; empty: no row
        QTest::addColumn<QString>("stored"); // the flag in the database afterwards
        const char* ended =
            "UPDATE reader_volt_lst SET froz_end_date = to_char(current_date - 1, 'YYYY-MM-DD') "
            "WHERE cert_id = 'R0000007'";
        // clang-format off
        QTest::newRow("fined and suspended") << "D0000007" << "" << 1 << "罚款并停借" << "3";
        QTest::newRow("not checked") << "D0000007" << "" << 0 << "罚款并停借" << "3";
        QTest::newRow("suspension ended") << "D0000008" << "" << 1 << "" << "0";
        QTest::newRow("fine outlives suspension") << "D0000007" << ended << 1 << "罚款" << "2";
        // clang-format on
    }
    void violations()
    {
        QFETCH(QString, card);
        QFETCH(QString, setup);
        QFETCH(int, checkVolt);
        QFETCH(QString, label);
        QFETCH(QString, stored);
        if (!setup.isEmpty())
            change(setup);
        DeskSettings::current().checkViolations = checkVolt;
        bool shownBeforeMessage = false;
        admission.showNow = [&](const AdmissionResult& r) {
            shownBeforeMessage |= r.showViolations && presenter->boxes.isEmpty();
        };
        const AdmissionResult result = admit(card, DeskMode::ReaderCheckIn);
        const bool refused = checkVolt == 1 && !label.isEmpty();
        QCOMPARE(result.refused, refused);
        QCOMPARE(result.showViolations && shownBeforeMessage, refused);
        QCOMPARE(presenter->texts(),
                 refused ? QStringList{shownText(QStringLiteral("ELT106"))} : QStringList());
        QCOMPARE(result.violationRows.size(), label.isEmpty() ? 0 : 1);
        if (!label.isEmpty()) {
            const QStringList& row = result.violationRows.first();
            QCOMPARE(row.mid(0, 2), (QStringList{QStringLiteral("1"), label}));
            QCOMPARE(row.mid(3, 4), (QStringList{QStringLiteral("扰乱阅览秩序"), QString(),
                                                 QStringLiteral("第一阅览室"), QStringLiteral("20.00")}));
        }
        const QString certId = QLatin1Char('R') + card.mid(1);
        QCOMPARE(db.scalar("SELECT volt_deal_flag FROM reader_volt_lst WHERE cert_id = '" + certId + "'"),
                 stored);
        QCOMPARE(db.scalar("SELECT volt_flag FROM reader WHERE cert_id = '" + certId + "'"),
                 QString::number(result.violationRows.size()));
    }

    // Reading rooms refuse a debt at the maximum; photocopy lending only warns above it, after
    // the fine window (leaving `left` owed) when one is installed.
    void debts_data()
    {
        QTest::addColumn<QString>("debt");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("fineWindow");
        QTest::addColumn<double>("left");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("warned");
        QTest::newRow("remainder") << "0.05" << 1 << false << 0.0 << false << false;
        QTest::newRow("at maximum, reading") << "10.00" << 2 << false << 0.0 << true << true;
        QTest::newRow("at maximum, copy") << "10.00" << 4 << false << 0.0 << false << false;
        QTest::newRow("paid in fine window") << "12.30" << 4 << true << 0.0 << false << false;
        QTest::newRow("left unpaid") << "12.30" << 4 << true << 12.3 << false << true;
    }
    void debts()
    {
        QFETCH(QString, debt);
        QFETCH(int, mode);
        QFETCH(bool, fineWindow);
        QFETCH(double, left);
        QFETCH(bool, refused);
        QFETCH(bool, warned);
        change(QStringLiteral("UPDATE reader SET debt_flag = %1 WHERE cert_id = 'R0000001'").arg(debt));
        QStringList handedOver;
        if (fineWindow) {
            admission.settleFines = [&](DeskContext& d) {
                handedOver << d.fineReader << moneyText(d.fineAmount);
                d.fineAmount = left;
            };
        }
        const AdmissionResult result = admit(QStringLiteral("D0000001"), DeskMode(mode));
        change(QStringLiteral("UPDATE reader SET debt_flag = 0 WHERE cert_id = 'R0000001'"));
        QCOMPARE(result.refused, refused);
        QCOMPARE(presenter->texts(),
                 warned ? QStringList{shownText(QStringLiteral("ELT10710.00"))} : QStringList());
        if (fineWindow)
            QCOMPARE(handedOver, (QStringList{QStringLiteral("R0000001"), debt}));
        if (debt.toDouble() >= 0.1)
            QCOMPARE(moneyText(desk.fineAmount), fineWindow ? moneyText(left) : debt);
    }

    void portrait_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("fileName");
        for (const char* row :
             {"424d3a000000 portrait.bmp", "474946383961 portrait.gif", "ffd8ffe00010 portrait.jpg", " "})
            QTest::newRow(row) << QString::fromLatin1(row).section(' ', 0, 0)
                               << QString::fromLatin1(row).section(' ', 1);
    }
    void portrait()
    {
        QFETCH(QString, hex);
        QFETCH(QString, fileName);
        DeskSettings::current().showReaderPhoto = 1;
        change(QStringLiteral("DELETE FROM reader_portrait"));
        if (!hex.isEmpty())
            change(QStringLiteral("INSERT INTO reader_portrait VALUES ('R0000002', decode('%1', 'hex'))")
                       .arg(hex));
        const AdmissionResult result = admit(QStringLiteral("D0000002"), DeskMode::ReaderCheckIn);
        QVERIFY(result.portraitShown);
        QCOMPARE(QFileInfo(result.portraitPath).fileName(), fileName);
        if (!hex.isEmpty())
            QCOMPARE(fileContent(result.portraitPath), QByteArray::fromHex(hex.toLatin1()));
    }

    // A type missing from the cached table is treated as strictly as possible.
    void readerTypeMissing()
    {
        change(QStringLiteral(
            "UPDATE reader SET redr_type_code = '77', debt_flag = 0.50 WHERE cert_id = 'R0000002'"));
        AdmissionResult result = admit(QStringLiteral("D0000002"), DeskMode::ReaderCheckIn);
        QCOMPARE(presenter->texts(), QStringList{shownText(QStringLiteral("ELT1070.00"))});
        QCOMPARE(result.panelValues.at(3), QStringLiteral("77"));
        change(QStringLiteral("UPDATE reader SET debt_flag = 0 WHERE cert_id = 'R0000002'"));
        result = admit(QStringLiteral("D0000002"), DeskMode::ReaderCheckIn);
        QVERIFY(!result.refused);
        change(QStringLiteral("UPDATE reader SET redr_type_code = '30' WHERE cert_id = 'R0000002'"));
    }

    // The local reader types are taken from the file as it is at each scan, also when the
    // selection window has just rewritten it.
    void localTypesFollowTheFile()
    {
        DeskSettings::current().localReaderTypesOnly = 1;
        const QString path = localReaderTypesFilePath();
        const QByteArray demo = fileContent(path);
        QVERIFY(writeLocalReaderTypesFile(
            path,
            {localReaderTypeLine(QStringLiteral("01"), QStringLiteral("10"), QStringLiteral("本科生"))}));
        QVERIFY(admit(QStringLiteral("D0000001"), DeskMode::ReaderCheckIn).refused);
        QVERIFY(writeLocalReaderTypesFile(
            path,
            {localReaderTypeLine(QStringLiteral("00"), QStringLiteral("10"), QStringLiteral("本科生"))}));
        QVERIFY(!admit(QStringLiteral("D0000001"), DeskMode::ReaderCheckIn).refused);
        QFile::remove(path);
        QVERIFY(admit(QStringLiteral("D0000001"), DeskMode::ReaderCheckIn).refused);
        writeFile(path, demo);
        QVERIFY(!admit(QStringLiteral("D0000001"), DeskMode::ReaderCheckIn).refused);
    }

    // At login the file is kept when it names every reader type, and written anew otherwise.
    void maintenance_data()
    {
        const QByteArray fresh =
            "00  10      本科生\r\n00  20      研究生\r\n00  30      教职工\r\n00  90      校外读者\r\n";
        const QByteArray demo = fileContent(QFINDTESTDATA("../../runtime/CFG/LT/LT_ReaderType.ini"));
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("missing") << QByteArray() << fresh;
        QTest::newRow("matching") << demo << demo;
        QTest::newRow("renamed type") << QByteArray(demo).replace("本科生", "本科") << fresh;
        QTest::newRow("type missing") << demo.left(demo.lastIndexOf("01")) << fresh;
    }
    void maintenance()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, expected);
        const QString path = home.filePath("LT/maintained.ini");
        QFile::remove(path);
        if (!content.isEmpty()) {
            QDir().mkpath(home.filePath("LT"));
            writeFile(path, content);
        }
        QCOMPARE(LIB_MaintainLocalReaderTypesFile(path), 0);
        QCOMPARE(fileContent(path), expected);
    }

    // The selection window, last: it leaves its own file behind.
    void movingEntries_data()
    {
        const QString u = QStringLiteral("10      本科生"), g = QStringLiteral("20      研究生"),
                      x = QStringLiteral("90      校外读者");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("local");
        QTest::addColumn<QStringList>("nonLocal");
        QTest::newRow("nothing chosen") << QStringList{"cmdSelect"} << QStringList{u, g} << QStringList{x};
        QTest::newRow("double-click non-local") << QStringList{"R0"} << QStringList{u, g, x} << QStringList{};
        QTest::newRow("double-click local") << QStringList{"U0"} << QStringList{g} << QStringList{x, u};
        QTest::newRow("choose non-local")
            << QStringList{"r0", "cmdSelect"} << QStringList{u, g, x} << QStringList{};
        QTest::newRow("give back local")
            << QStringList{"u1", "cmdUnselect"} << QStringList{u} << QStringList{x, g};
        QTest::newRow("all local") << QStringList{"cmdSelectAll"} << QStringList{u, g, x} << QStringList{};
        QTest::newRow("none local") << QStringList{"cmdUnselectAll"} << QStringList{} << QStringList{x, u, g};
    }
    void movingEntries()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, local);
        QFETCH(QStringList, nonLocal);
        resetWindowFile();
        frmRedrValid window;
        window.show();
        for (const QString& step : clicks)
            act(window, step);
        QCOMPARE(entries(window, "lstUsetype"), local);
        QCOMPARE(entries(window, "lstRedrtype"), nonLocal);
        const bool changed = clicks != QStringList{"cmdSelect"};
        QCOMPARE(button(window, "cmdOK")->isEnabled(), changed);
        QCOMPARE(button(window, "cmdCancel")->isEnabled(), changed);
        QCOMPARE(button(window, "cmdSelectAll")->isEnabled(), !nonLocal.isEmpty());
        QCOMPARE(button(window, "cmdUnselectAll")->isEnabled(), !local.isEmpty());
    }

    void okWritesFileAndTurnsCheckOn()
    {
        resetWindowFile();
        frmRedrValid window;
        window.show();
        click(window, "cmdUnselectAll");
        presenter->answerNext(2); // "QCM002" answered cancel: nothing happens
        click(window, "cmdOK");
        QCOMPARE(fileContent(localReaderTypesFilePath()), windowFile);
        QCOMPARE(DeskSettings::current().localReaderTypesOnly, 0);

        click(window, "cmdOK");
        QCOMPARE(fileContent(localReaderTypesFilePath()),
                 QByteArray("01  90      校外读者\r\n01  10      本科生\r\n01  20      研究生\r\n"));
        QCOMPARE(DeskSettings::current().localReaderTypesOnly, 1);
        QCOMPARE(storedCheckValue(), QStringLiteral("1"));
        QCOMPARE(presenter->texts(),
                 (QStringList{shownText("QCM002"), shownText("QCM002"), shownText("ICM002")}));
        QVERIFY(!button(window, "cmdOK")->isEnabled());
    }

    void cancelReloadsUnlessRefused()
    {
        resetWindowFile();
        frmRedrValid window;
        window.show();
        click(window, "cmdSelectAll");
        presenter->answerNext(2); // "WCM001" answered cancel: the change stays
        click(window, "cmdCancel");
        QCOMPARE(entries(window, "lstRedrtype"), QStringList{});
        click(window, "cmdCancel");
        QCOMPARE(presenter->texts(), (QStringList{shownText("WCM001"), shownText("WCM001")}));
        QCOMPARE(entries(window, "lstRedrtype"), QStringList{"90      校外读者"});
        QVERIFY(!button(window, "cmdCancel")->isEnabled());
        QCOMPARE(fileContent(localReaderTypesFilePath()), windowFile);
    }
};

QTEST_MAIN(TestAdmission)
#include "tst_admission.moc"
