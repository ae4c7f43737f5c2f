#pragma once

#include "db/dbsession.h"

#include <QString>

// A fresh copy of the demo library database for one test program, made from the database
// `library` of the cluster that scripts/run-tests started ($READDESK_TEST_HOST, $READDESK_TEST_PORT).
// The copy is dropped when the object goes.
class TestDatabase
{
public:
    explicit TestDatabase(const QString& name);
    ~TestDatabase();

    bool isReady() const { return m_ready; }
    QString dsn() const; // libpq connection string of the copy
    ConnectionValues connectionValues() const;

    // Connects the process-wide session to the copy (LIB_DB_Connect); 0 on success.
    int connectCurrentSession() const;

    // Runs one statement on the copy through a separate administrative session; returns the first
    // value of the first row as text. Fails the test on error; statements without rows go to exec().
    QString scalar(const QString& sql) const;
    // Runs statements without rows (DDL, updates that set up a case) on the copy. Fails the test on error.
    void exec(const QString& sql) const;
    // Terminates every other session on the copy (for lost-connection tests).
    void terminateOtherSessions() const;

    static QString host();
    static QString port();

private:
    QString m_name;
    bool m_ready = false;
    mutable DbSession m_admin;
};
