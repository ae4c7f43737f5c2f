#pragma once

#include "resulttable.h"

#include <QVariant>

// The cached system parameter table (sys_comm_para).
class SystemParameters
{
public:
    static SystemParameters& instance();
    int load(); // the parameter query; -1 on failure
    void setRows(const ResultTable& table);
    // The stored text of the first row whose code reads as this number; null when absent.
    QString rawValue(int code) const;

private:
    QList<QPair<double, QString>> m_rows;
};

// A parameter converted by its code (booleans, numbers, trimmed texts; 142 is the second item of 14).
QVariant LIB_GetSysPara(int code);

// Loads the message table, then the parameter table. -1 after reporting the failed query.
int LIB_LoadBaseData();
