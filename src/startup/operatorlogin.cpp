#include "operatorlogin.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"

namespace {
int reportFailedQuery()
{
    LIB_DB_ShowError();
    return -1;
}

int select(const QString& sql, ResultTable& table)
{
    LIB_DB_CurrentStatement() = sql;
    return LIB_DB_Select(LIB_DB_CurrentStatement(), table);
}
} // namespace

bool LIB_SessionHasRight(const OperatorSession& session, const QString& moduleCode, int userType)
{
    switch (userType) {
    case 0:
        for (int row = 2; row < session.moduleRights.recordCount() + 2; ++row) {
            if (session.moduleRights.text(0, row).trimmed() == moduleCode)
                return true;
        }
        return false;
    case 4:
        return true;
    case 5:
        return session.specialRights;
    default:
        return false;
    }
}

bool LIB_HasRight(const QString& moduleCode, int userType, bool showMessage)
{
    const bool granted = LIB_SessionHasRight(OperatorSession::current(), moduleCode, userType);
    if (!granted && showMessage)
        LIB_ShowMsg(QStringLiteral("ECM504"));
    return granted;
}

int OperatorLogin::refuse(const QString& code, Field field)
{
    LIB_ShowMsg(code);
    m_failedField = field;
    return -1;
}

int OperatorLogin::checkLogin(const QString& name, const QString& password, const QString& workstation)
{
    m_worker = OperatorSession();
    m_failedField = Field::Name;
    const QString number = workerNumber(name);
    if (readWorker(number, password) != 0 || findWorkstation(number, workstation) != 0)
        return -1;
    return readRights(number);
}

int OperatorLogin::readWorker(const QString& number, const QString& password)
{
    ResultTable worker;
    if (select(QStringLiteral(
                   "SELECT password, wkr_flag, code2,wkr_email, wkr_tele FROM LIB_WORKER WHERE wkr_no=") +
                   LIB_SQLQuote(number),
               worker) != 0)
        return reportFailedQuery();
    if (worker.recordCount() == 0)
        return refuse(QStringLiteral("ECM500"), Field::Name);
    if (worker.text(1, 2) == QLatin1String("0"))
        return refuse(QStringLiteral("ECM501"), Field::Name);
    const QString stored = worker.text(0, 2);
    // Passwords are kept as typed and compared without regard to letter case.
    if (password.toUpper() != stored.toUpper())
        return refuse(QStringLiteral("ECM502"), Field::Password);
    m_worker.workerNumber = number;
    m_worker.password = stored;
    m_worker.specialRights = worker.text(2, 2) == QLatin1String("1");
    m_worker.email = worker.text(3, 2);
    m_worker.telephone = worker.text(4, 2);
    return 0;
}

int OperatorLogin::findWorkstation(const QString& number, const QString& workstation)
{
    ResultTable stations;
    if (select(
            QStringLiteral(
                " SELECT loca_comp_lst.comp_name, loca_comp_lst.location FROM USER_COMP_LST,LOCA_COMP_LST ") +
                QStringLiteral(" WHERE user_comp_lst.wkr_no=") + LIB_SQLQuote(number) +
                QStringLiteral(" AND user_comp_lst.comp_name=loca_comp_lst.comp_name"),
            stations) != 0)
        return reportFailedQuery();
    m_worker.workstation = workstation;
    const QString wanted = workstation.toUpper();
    for (int row = 2; row < stations.recordCount() + 2; ++row) {
        if (stations.text(0, row).toUpper() == wanted) {
            m_worker.location = stations.text(1, row);
            return 0;
        }
    }
    return refuse(QStringLiteral("ECM503"), Field::Name);
}

int OperatorLogin::readRights(const QString& number)
{
    if (select(QStringLiteral("SELECT user_auth_lst.modu_code") + QStringLiteral(" FROM user_auth_lst") +
                   QStringLiteral(" WHERE user_auth_lst.wkr_no = ") + LIB_SQLQuote(number),
               m_worker.moduleRights) != 0 ||
        select(QStringLiteral("SELECT location FROM user_location WHERE wkr_no = ") + LIB_SQLQuote(number),
               m_worker.permittedLocations) != 0)
        return reportFailedQuery();
    return 0;
}

bool OperatorLogin::hasDeskRight() const
{
    if (LIB_SessionHasRight(m_worker, deskModule(), 0))
        return true;
    LIB_ShowMsg(QStringLiteral("ECM504"));
    return false;
}

void OperatorLogin::accept()
{
    m_worker.loggedIn = true;
    OperatorSession::current() = m_worker;
}

bool OperatorLogin::nameAndPasswordGiven(const QString& name, const QString& password)
{
    if (!name.trimmed().isEmpty() || !password.isEmpty())
        return true;
    if (MessagePresenter* presenter = LIB_MessagePresenter())
        presenter->show({MessagePresenter::Icon::Exclamation, MessagePresenter::Buttons::Ok, false, false,
                         QStringLiteral("提示"), QStringLiteral("请输入正确的名称以及口令！")});
    return false;
}

int OperatorLogin::changePassword(const QString& name, const QString& newPassword,
                                  const QString& confirmation)
{
    if (newPassword != confirmation) {
        LIB_ShowMsg(QStringLiteral("ECM510"));
        return -1;
    }
    if (LIB_DB_BeginTrans() != 0)
        return -1;
    LIB_DB_CurrentStatement() = QStringLiteral(" UPDATE lib_worker SET password=") +
                                LIB_SQLQuote(newPassword.trimmed().toUpper()) +
                                QStringLiteral(" WHERE wkr_no=") + LIB_SQLQuote(workerNumber(name));
    if (LIB_DB_Execute(LIB_DB_CurrentStatement()) != 0 || LIB_DB_CommitTrans() != 0) {
        LIB_DB_Rollback();
        return -1;
    }
    LIB_ShowMsg(QStringLiteral("I成功修改登录口令！"));
    return 0;
}

bool OperatorLogin::nameBoxAccepts(const QString& text, bool hasSelection, QChar typed)
{
    if (typed == QLatin1Char('\b') || typed == QLatin1Char('.'))
        return true;
    return hasSelection || text.trimmed().size() < 4;
}
