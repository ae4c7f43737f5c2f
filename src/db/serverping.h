#pragma once

#include "dbsession.h"

// Whether the database server named by the connection values answers and accepts connections,
// asked without logging in (libpq's ping), waiting at most `timeoutSeconds`. Safe on any thread:
// the offline desk asks it in the background while the operator goes on scanning.
bool LIB_DB_ServerAnswers(const ConnectionValues& values, int timeoutSeconds);
