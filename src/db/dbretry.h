#pragma once

#include "dbsession.h"

#include <utility>

// Runs one desk operation, and once more when the server rolled it back to break a deadlock or
// because it could not serialise it: the operation reports that failure through LIB_DB_ShowError
// as it reports any other, and the reporter, seeing the session armed, stays silent and asks for
// the second run. A second such failure is shown to the operator with its own message. The
// operation must not have shown anything before the failing statement (desk operations show their
// boxes after their transaction ends).
// Whether the reporter, given this failure now, would pass it over for a second run.
inline bool DbRetryRequestedBy(const ErrorRecord& error)
{
    return OraNumber::isTransient(error.oracleNumber) &&
           DbSession::current().retry() == DbSession::Retry::Armed;
}

template <typename Operation> auto DbRetryOnce(Operation&& operation) -> decltype(operation())
{
    DbSession& session = DbSession::current();
    if (session.retry() != DbSession::Retry::Off)
        return operation(); // inside an operation that already runs this way
    struct Disarm
    {
        DbSession& session;
        ~Disarm() { session.setRetry(DbSession::Retry::Off); }
    } disarm{session};
    session.setRetry(DbSession::Retry::Armed);
    auto result = operation();
    if (session.retry() != DbSession::Retry::Requested)
        return result;
    session.setRetry(DbSession::Retry::Off);
    return std::forward<Operation>(operation)();
}
