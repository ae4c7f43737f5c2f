#include "admission.h"

#include "admissioncopyloans.h"
#include "admissionreader.h"
#include "admissionviolations.h"
#include "db/database.h"
#include "db/dbretry.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "localreadertypes.h"
#include "readerportrait.h"
#include "startup/desksettings.h"
#include "startup/environment.h"

namespace {

// Debts below this are rounding remainders, never a reason to refuse or settle.
constexpr double SmallestDebt = 0.1;

// One run of the check; each step returns false when the reader has been refused.
class AdmissionRun
{
public:
    AdmissionRun(const ReaderAdmission& admission, DeskContext& desk, const QString& boxText)
        : m_admission(admission), m_desk(desk), m_boxText(boxText), m_settings(DeskSettings::current())
    {
    }

    AdmissionResult run()
    {
        m_desk.readerAdmitted = false;
        if (readReader() && checkCard() && checkValidity() && checkViolations() && checkDebt() &&
            checkCopyLoans()) {
            m_result.refused = false;
            m_desk.readerAdmitted = true;
        }
        if (m_open)
            commit();
        return m_result;
    }

private:
    // false when the transaction did not commit (the error record says why).
    bool commit()
    {
        m_open = false;
        return LIB_DB_CommitTrans() == 0;
    }

    bool refuse(const QString& message)
    {
        if (m_open)
            commit();
        LIB_ShowMsg(message);
        return false;
    }

    bool failCommitted()
    {
        if (m_open)
            commit();
        LIB_DB_ShowError();
        return false;
    }

    bool failRolledBack()
    {
        LIB_DB_Rollback();
        m_open = false;
        LIB_DB_ShowError();
        return false;
    }

    void show() const
    {
        if (m_admission.showNow)
            m_admission.showNow(m_result);
    }

    // The server's date, fetched once and only by the checks that compare dates.
    bool fetchToday()
    {
        if (m_today.isEmpty())
            m_today = LIB_GetEnv(1).toString();
        return !m_today.isEmpty();
    }

    const ReaderRecord& reader() const { return m_desk.reader; }

    bool readReader()
    {
        // Locks: the reader's card and row, then the violations (lockorder.h).
        LIB_DB_BeginTrans();
        m_open = true;
        const QString card = m_boxText.trimmed().toUpper();
        ResultTable rows;
        LIB_DB_CurrentStatement() = readerRecordQuery(card);
        if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
            return failCommitted();
        if (rows.isEmpty()) {
            m_result.clearReaderBox = true;
            return refuse(QStringLiteral("ELT101"));
        }
        ReaderRecord record = readerRecordFromRow(rows, 2);
        record.cardBarcode = card;

        // The identity check shows any reader, local or not.
        if (!m_desk.checkOnly() && m_settings.localReaderTypesOnly != 0 &&
            !LIB_LoadLocalReaderTypes().contains(record.typeCode)) {
            m_result.clearReaderBox = true;
            return refuse(QStringLiteral("E读者不能进入该阅览室！"));
        }

        // From here on the reader is shown, whatever the outcome.
        m_desk.reader = record;
        m_desk.fineReader = record.certId;
        m_result.readerShown = true;
        m_result.panelValues = readerPanelValues(record);
        if (m_settings.showReaderPhoto == 1) {
            m_result.portraitShown = true;
            if (LIB_LoadReaderPortrait(record.certId, m_result.portraitPath) != 0)
                return failRolledBack();
        }
        show();
        return true;
    }

    bool checkCard()
    {
        if (reader().readerFlag == QLatin1String("0"))
            return refuse(QStringLiteral("ELT102") + reader().deregisteredDay);
        if (reader().cardFlag == QLatin1String("0"))
            return refuse(QStringLiteral("ELT103"));
        if (reader().cardFlag != QLatin1String("2"))
            return true;
        commit();
        // The loss report is looked up by the reader box's text as scanned.
        LIB_DB_CurrentStatement() = QStringLiteral("SELECT lose_date FROM cert_loss WHERE redr_cert_id=") +
                                    LIB_SQLQuote(m_boxText) + QStringLiteral(" AND cert_lose_flag=") +
                                    LIB_SQLQuote(QStringLiteral("1"));
        ResultTable losses;
        if (LIB_DB_Select(LIB_DB_CurrentStatement(), losses) != 0)
            return failCommitted();
        return refuse(QStringLiteral("ELT104") + losses.text(0, 2));
    }

    bool checkValidity()
    {
        if (reader().typeChecksValidity != QLatin1String("1"))
            return true;
        if (!fetchToday())
            return failRolledBack();
        if (reader().cardEndDate >= m_today && reader().cardBeginDate <= m_today)
            return true;
        // Reading rooms may let an expired card in (RedrIN 0); photocopy lending never does.
        if (!m_desk.copyLending() && m_settings.checkValidity != 1)
            return true;
        return refuse(QStringLiteral("ELT105") + reader().cardBeginDate + QLatin1Char('-') +
                      reader().cardEndDate);
    }

    bool checkViolations()
    {
        if (reader().violationCount <= 0)
            return true;
        if (!fetchToday())
            return failRolledBack();
        if (refreshReaderViolations(reader().certId, m_today, m_result.violationRows) != 0) {
            m_open = false;
            return false;
        }
        m_desk.reader.violationCount = int(m_result.violationRows.size());
        if (!commit()) {
            LIB_DB_ShowError(); // the violations stay as they were
            return false;
        }
        if (m_settings.checkViolations != 1 || m_result.violationRows.isEmpty())
            return true;
        m_result.showViolations = true;
        m_result.clearReaderBox = true;
        show();
        return refuse(QStringLiteral("ELT106"));
    }

    bool checkDebt()
    {
        if (m_open)
            commit();
        if (m_settings.checkDebts != 1 || reader().debt < SmallestDebt)
            return true;
        m_desk.fineAmount = reader().debt;
        m_desk.fineReader = reader().certId;
        // Photocopy lending settles debts in the fine window instead (checkCopyLoans).
        if (m_desk.copyLending() || reader().debt < reader().typeMaxDebt)
            return true;
        return refuse(QStringLiteral("ELT107") + moneyText(reader().typeMaxDebt));
    }

    bool checkCopyLoans()
    {
        if (!m_desk.copyLending())
            return true;
        if (!fetchToday())
            return failCommitted();
        if (listCopyLoans(reader().certId, m_today, m_result.copyLoans) != 0)
            return failCommitted();
        m_result.copyLoansListed = true;
        for (const CopyLoanRow& loan : m_result.copyLoans) {
            if (loan.overdue) {
                show();
                return refuse(QStringLiteral("ELT108"));
            }
        }
        if (m_settings.settleFines == 1 && reader().debt >= SmallestDebt) {
            m_desk.fineAmount = reader().debt;
            m_desk.fineReader = reader().certId;
            if (m_admission.settleFines) {
                show();
                m_admission.settleFines(m_desk);
            }
            // A debt still above the maximum is only a warning here: the reader is admitted.
            if (m_desk.fineAmount > reader().typeMaxDebt)
                LIB_ShowMsg(QStringLiteral("ELT107") + moneyText(reader().typeMaxDebt));
        }
        return true;
    }

    const ReaderAdmission& m_admission;
    DeskContext& m_desk;
    const QString m_boxText;
    const DeskSettings& m_settings;
    AdmissionResult m_result;
    QString m_today;
    bool m_open = false; // the transaction of this check is still open
};

} // namespace

AdmissionResult ReaderAdmission::admit(DeskContext& desk, const QString& readerBoxText)
{
    return DbRetryOnce([&] { return AdmissionRun(*this, desk, readerBoxText).run(); });
}
