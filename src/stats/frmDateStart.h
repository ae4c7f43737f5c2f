#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;

// "统计时间输入窗口": the begin and end of a statistics period. OK keeps the dates and closes only
// when the begin is not after the end (the range is then given); Cancel keeps the dates and
// closes with the range not given.
class frmDateStart : public QDialog
{
    Q_OBJECT
public:
    explicit frmDateStart(QWidget* parent = nullptr);

    void setDates(const QDate& begin, const QDate& end);
    QDate beginDate() const { return m_begin; }
    QDate endDate() const { return m_end; }
    bool rangeGiven() const { return m_given; }

public Q_SLOTS:
    void accept() override; // OK
    void reject() override; // Cancel

private:
    void keepDates();

    QDateEdit* dtpBegin = nullptr;
    QDateEdit* dtpEnd = nullptr;
    QDate m_begin, m_end;
    bool m_given = false;
};
