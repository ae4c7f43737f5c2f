#include "errorreporter.h"

#include "database.h"
#include "logfile.h"
#include "messages.h"

namespace {

struct KeyMessage
{
    const char* key;
    const char* message;
};

// Longer key names first: "PK_READER" stands for the reader key only when the card key is absent.
constexpr KeyMessage uniqueKeys[] = {
    {"INDI_BARCODE_IDX", "E条码号重复!"},   {"PK_INDI_ACCT", "E财产号重复!"},
    {"PK_CALL_NO_LST", "E索书号重复!"},     {"PK_ORDER", "E订购号重复!"},
    {"PK_ASORD_CATA_DETL", "E征订号重复!"}, {"PK_ASORD_CATA", "E征订目录重复!"},
    {"PK_INPUT_BATCH", "E批次号重复!"},     {"PK_CHECK_ACCT", "E验收批次号重复!"},
    {"PK_READER_CERT", "E读者条码号重复!"}, {"PK_READER", "E读者证件号重复!"},
};

constexpr KeyMessage childWords[] = {
    {"ITEM", "E该财产已经被相关记录引用!"},
    {"CALL", "E该索书号已经被相关记录引用!"},
    {"MARC", "E该MARC已经被相关记录引用!"},
    {"READER", "E该读者已经被相关记录引用!"},
};

bool occursAfterReference(const QString& description, const char* word)
{
    const int reference = description.indexOf(QLatin1String("_RE"));
    const int at = description.indexOf(QLatin1String(word));
    return at >= 0 && at > reference;
}

bool isConnectionLost(long number)
{
    return number == 28 || number == 1041 || number == 3113 || number == 3114;
}

void offerReconnect()
{
    if (LIB_ShowMsg(QStringLiteral("S网络非正常中断，重新连接数据库？")) != 1)
        return;
    while (LIB_DB_Connect() != 0) {
        if (LIB_ShowMsg(QStringLiteral("S数据库连接失败，重新连接数据库？")) != 1)
            return;
    }
    LIB_ShowMsg(QStringLiteral("I数据库连接成功！"));
}

} // namespace

QString LIB_DB_ErrorMessage(long oracleNumber, const QString& description)
{
    const QString upper = description.toUpper();
    switch (oracleNumber) {
    case 1:
        for (const auto& key : uniqueKeys) {
            if (upper.contains(QLatin1String(key.key)))
                return QString::fromUtf8(key.message);
        }
        return QStringLiteral("ECM010");
    case 54:
        return QStringLiteral("E该记录已经被锁定!");
    case OraNumber::Deadlock:
    case OraNumber::CannotSerialize:
        return QStringLiteral("E其他工作站正在处理同一记录，本次操作已撤销，请重新操作！");
    case 2292:
        for (const auto& word : childWords) {
            if (occursAfterReference(upper, word.key))
                return QString::fromUtf8(word.message);
        }
        return QStringLiteral("ECM011");
    default:
        return QStringLiteral("ECM012");
    }
}

namespace {
std::function<void(const ErrorRecord&)>& errorObserver()
{
    static std::function<void(const ErrorRecord&)> observer;
    return observer;
}
} // namespace

void LIB_DB_SetErrorObserver(std::function<void(const ErrorRecord&)> observer)
{
    errorObserver() = std::move(observer);
}

int LIB_DB_ShowError()
{
    ErrorRecord& error = LIB_DB_Error();
    if (errorObserver())
        errorObserver()(error);
    switch (error.code) {
    case ErrorRecord::None:
        switch (error.pendingFault) {
        case 364:
            return -1;
        case 5:
            LIB_ShowMsg(QStringLiteral("ECM204"));
            LIB_WriteLogFile(error.description);
            break;
        case 6:
            LIB_ShowMsg(QStringLiteral("ECM205"));
            LIB_WriteLogFile(error.description);
            break;
        default:
            LIB_ShowMsg(QStringLiteral("ECM206"));
            LIB_WriteLogFile(error.pendingFaultDescription);
            break;
        }
        break;
    case ErrorRecord::ConnectFailed:
        LIB_ShowMsg(QStringLiteral("与数据库连接失败，启动失败！"));
        LIB_WriteLogFile(error.description);
        break;
    case ErrorRecord::SelectFailed:
    case ErrorRecord::StatementFailed: {
        // Copy first: reconnecting replaces the session's record.
        const long number = error.oracleNumber;
        const QString description = error.description;
        const QString statement = LIB_DB_CurrentStatement();
        DbSession& session = DbSession::current();
        if (OraNumber::isTransient(number) && session.retry() == DbSession::Retry::Armed)
            session.setRetry(DbSession::Retry::Requested); // the operation runs again, unseen
        else if (isConnectionLost(number))
            offerReconnect();
        else
            LIB_ShowMsg(LIB_DB_ErrorMessage(number, description));
        LIB_WriteLogFile(description);
        LIB_WriteLogFile(statement);
        break;
    }
    default:
        LIB_ShowMsg(QStringLiteral("ECM002"));
        LIB_WriteLogFile(error.description);
        break;
    }
    LIB_DB_Error().clear();
    return 0;
}
