#pragma once

#include "oneofftemplate.h"

#include <QDialog>

class QTableWidget;

// "临时自定义分类模板": the one-off template, rows of class name, scheme (chosen from the scheme
// names) and call-number pattern. OK keeps the rows for the session; Cancel discards them.
class frmTmpSetTemplate : public QDialog
{
    Q_OBJECT
public:
    explicit frmTmpSetTemplate(QWidget* parent = nullptr);

    // The rows of the grid as they stand.
    QList<OneOffTemplate::Row> rows() const;

public Q_SLOTS:
    void accept() override;
    void reject() override;
    void addRow();
    void deleteRow();

private:
    void loadRows(const QList<OneOffTemplate::Row>& rows);
    void leaveRow(int row);

    QTableWidget* grdTemplate = nullptr;
    int m_currentRow = -1;
};
