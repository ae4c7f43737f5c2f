#pragma once

// The year box of the statistics windows: "2024年", never typed into, with a spinner beside it
// whose down step moves the year one on and whose up step one back.

#include <QWidget>

class QLineEdit;
class QScrollBar;

class StatYearBox : public QWidget
{
    Q_OBJECT
public:
    explicit StatYearBox(QWidget* parent = nullptr);

    void setYear(int year);
    int year() const;
    QString text() const; // "2024年"
    QString yearText() const { return text().left(4); }

private:
    QLineEdit* txtYear = nullptr;
    QScrollBar* updYear = nullptr;
};

class QComboBox;
// The month combo of the statistics windows: "1月" .. "12月", the given month selected.
QComboBox* LIB_MakeMonthCombo(QWidget* parent, const char* name, int month);
// The month of such a combo as two digits.
QString LIB_MonthOfCombo(const QComboBox* combo);
