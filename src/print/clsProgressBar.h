#pragma once

#include "frmShowRate.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
class QWidget;

// The progress display of long runs. The running loop sets Max, calls Show, advances with
// ValueAdd and polls Interrupt after each step (the operator's "取消"); the window set with
// SetLockSource is disabled meanwhile. Ending the display (Finish, or the object going) closes
// frmShowRate and enables the source window again.
class clsProgressBar
{
public:
    clsProgressBar() = default;
    ~clsProgressBar();
    clsProgressBar(const clsProgressBar&) = delete;
    clsProgressBar& operator=(const clsProgressBar&) = delete;

    qint64 Max() const { return m_max; }
    void setMax(qint64 max) { m_max = max; }
    qint64 Min() const { return m_min; }
    void setMin(qint64 min) { m_min = min; }
    qint64 Value() const { return m_value; }
    void setValue(qint64 value);
    void ValueAdd(qint64 n = 1);
    QString Title() const { return m_title; }
    void setTitle(const QString& title);
    bool CountVisible() const { return m_countVisible; }
    void setCountVisible(bool visible) { m_countVisible = visible; }
    void SetLockSource(QWidget* source) { m_source = source; }

    void Show();
    bool Interrupt() const { return m_interrupted; }
    void Finish();

    frmShowRate* window() const { return m_window; }

private:
    void refresh(bool force);

    qint64 m_min = 0;
    qint64 m_max = 100;
    qint64 m_value = 0;
    QString m_title;
    bool m_countVisible = true;
    bool m_interrupted = false;
    QPointer<QWidget> m_source;
    QPointer<frmShowRate> m_window;
    QElapsedTimer m_started;
    QElapsedTimer m_lastRefresh;
};
