#pragma once

#include "db/dbsession.h"

#include <QString>
#include <QVariant>

// The program directory and the directory table built from it. Paths use "/" and end in "/".
// The program directory is the executable's, or $TAVORN_HOME when set.
class Environment
{
public:
    enum PathIndex { Program, Bin, Doc, Cfg, Log, Tmp, Dat, BaseParam, CardParam, Template, Z3950, PathCount };

    static Environment& instance();

    QString programDirectory() const { return m_paths[Program]; }
    void setProgramDirectory(const QString& directory); // also rebuilds the table
    QString path(int index) const;

    // The connection values of tavorn.ini and the name of its server section.
    ConnectionValues connection;
    QString serverSection;
    QString lastServerDate;

private:
    Environment();
    QString m_paths[PathCount];
};

// LIB_Path(index): the directory table.
QString LIB_Path(int index);

// Reads tavorn.ini into the connection values and builds the directory table. 0, or -1 after a fault.
int LIB_ReadEnvironment();

// 0 server date-time, 1 date, 2 time, 3 desk location, 4 worker number, 5 password, 7 year,
// 8 true, 10-20 directories (13 TMP, 14 CFG); anything else an empty value.
QVariant LIB_GetEnv(int number);

// The clear password of a scrambled PWD value; empty when the check characters do not match.
QString LIB_UnscramblePassword(const QString& stored);
// The inverse, for the tool that writes tavorn.ini.
QString LIB_ScramblePassword(const QString& clear);
