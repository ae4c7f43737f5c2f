#pragma once

#include "db/resulttable.h"

#include <QString>

// The operator at the desk, written by the login check and replaced by a re-login.
struct OperatorSession
{
    QString workerNumber; // upper-cased
    QString password;     // as stored
    QString email;
    QString telephone;
    bool specialRights = false;
    QString workstation;
    QString location; // the desk's location
    ResultTable moduleRights;
    ResultTable permittedLocations;
    bool loggedIn = false;

    static OperatorSession& current();
};
