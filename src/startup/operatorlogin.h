#pragma once

#include "operatorsession.h"

#include <QString>

// Whether the desk's operator holds a right. userType 0 looks the module code up in the operator's
// module rights, 4 is always true, 5 is the special-rights flag, anything else false. When the answer
// is false and showMessage is set, "ECM504" is shown.
bool LIB_HasRight(const QString& moduleCode, int userType = 0, bool showMessage = true);
// The same for a given session (the login checks a worker before making them the operator).
bool LIB_SessionHasRight(const OperatorSession& session, const QString& moduleCode, int userType);

// One login attempt at this desk: the worker, the password and the workstation are checked against the
// server; on success the checked worker becomes the desk's operator. Refusals are shown here; the
// window only moves the focus to the box failedField() names.
class OperatorLogin
{
public:
    enum class Field { Name, Password };

    // The module code of this desk.
    static QString deskModule() { return QStringLiteral("4022"); }

    // An attempt begins: until it succeeds the desk has no logged-in operator.
    static void startAttempt() { OperatorSession::current().loggedIn = false; }

    // Checks name and password at the workstation. 0, or -1 after its message (a failed query goes to
    // the error reporter). The current operator is not changed.
    int checkLogin(const QString& name, const QString& password, const QString& workstation);
    Field failedField() const { return m_failedField; }
    const OperatorSession& checkedWorker() const { return m_worker; }

    // The desk right of the checked worker; "ECM504" when missing.
    bool hasDeskRight() const;

    // Makes the checked worker the operator (replacing any previous one) and marks them logged in.
    void accept();

    // A password change needs a name or a password to check; false after the "提示" box asking for them.
    static bool nameAndPasswordGiven(const QString& name, const QString& password);

    // Stores a new password for the worker: "ECM510" when the boxes differ; the update runs in its own
    // transaction and a failure is rolled back without a message. 0 after "I成功修改登录口令！".
    static int changePassword(const QString& name, const QString& newPassword, const QString& confirmation);

    // The name box takes at most four characters: a further character is refused when the trimmed
    // text already has four and nothing is selected. Backspace and "." are always accepted.
    static bool nameBoxAccepts(const QString& text, bool hasSelection, QChar typed);

    // The worker number as the login uses it: trimmed and upper-cased.
    static QString workerNumber(const QString& name) { return name.trimmed().toUpper(); }

private:
    int refuse(const QString& code, Field field);
    int readWorker(const QString& number, const QString& password);
    int findWorkstation(const QString& number, const QString& workstation);
    int readRights(const QString& number);

    OperatorSession m_worker;
    Field m_failedField = Field::Name;
};
