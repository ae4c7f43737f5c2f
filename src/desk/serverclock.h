#pragma once

#include <QDateTime>
#include <QString>

// The server's wall clock as the desk estimates it without asking: the workstation's clock plus
// the difference between the two measured at the last contact. The offline journal stamps its
// scans with it, in the server's own form ("yyyy-mm-ddhh:mm:ss"); comparing wall clocks also
// covers a server in another time zone.
class ServerClock
{
public:
    static ServerClock& instance();

    // Asks the server for its clock (one query) and keeps the difference; -1 with the error
    // record filled when the query failed (the last difference is kept).
    int measure();
    // The difference from a server time read at `local` (tests, and callers that read the time
    // themselves).
    void measureFrom(const QDateTime& serverWallClock, const QDateTime& local);

    qint64 offsetMs() const { return m_offsetMs; }
    bool measured() const { return m_measured; }
    QString now() const;

    // A wall-clock time without a time zone (as a time in UTC), for the arithmetic.
    static QDateTime wallClock(const QDateTime& time);

private:
    qint64 m_offsetMs = 0;
    bool m_measured = false;
};
