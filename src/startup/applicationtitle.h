#pragma once

#include <QString>

// The desk's application title: shown in the instance message and used as the name under which the
// program's settings are stored.
inline QString LIB_ApplicationTitle()
{
    return QStringLiteral("流通阅览");
}
