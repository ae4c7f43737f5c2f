#pragma once

#include "printcolumn.h"

#include <QDialog>
#include <QList>

class PrintTableModel;
class QTableWidget;

// "输出项设置": the table's columns as a list with a print check box and a sort choice
// ("不排序", "升序", "降序"), reordered with up and down, rows deleted, MARC columns added.
// OK hands the new column list to the designer. Columns the caller hid are not listed and stay.
class frmFlexPrtCustom : public QDialog
{
    Q_OBJECT

public:
    frmFlexPrtCustom(const PrintTableModel& model, QWidget* parent = nullptr);

    QList<PrintColumn> columns() const;
    QTableWidget* list() const { return grdItems; }
    void moveCurrent(int step);
    void deleteCurrent();
    void addMarcItem(const QString& heading, const QString& cnMarc, const QString& usMarc);

private:
    void addRow(const PrintColumn& column);
    void newMarcItem();

    QList<PrintColumn> m_items;  // in list order
    QList<PrintColumn> m_locked; // hidden by the caller
    QTableWidget* grdItems = nullptr;
};
