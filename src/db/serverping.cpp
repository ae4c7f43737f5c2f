#include "serverping.h"

#include <QByteArray>
#include <libpq-fe.h>

bool LIB_DB_ServerAnswers(const ConnectionValues& values, int timeoutSeconds)
{
    const QByteArray dsn = values.dsn.toUtf8();
    const QByteArray user = values.user.toUtf8();
    const QByteArray timeout = QByteArray::number(qMax(1, timeoutSeconds));
    if (dsn.trimmed().isEmpty())
        return false;
    const char* keys[] = {"dbname", "user", "connect_timeout", nullptr};
    const char* settings[] = {dsn.constData(), user.isEmpty() ? nullptr : user.constData(),
                              timeout.constData(), nullptr};
    // A server that is still starting or shutting down answers "rejected": not yet.
    return PQpingParams(keys, settings, 1) == PQPING_OK;
}
