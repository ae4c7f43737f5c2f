#pragma once

#include "exportcolumns.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QGroupBox;

// "导出到": chooses the table of the database file that an export fills: "新建表" with a name
// typed in "表名", or "现有表" picked from the file's tables. A new table is created on OK.
// tableName() stays empty when the operator cancelled.
class frmExpTable : public QDialog
{
    Q_OBJECT

public:
    // `existing`: 0 for a file just created, 1 for a file that already existed.
    frmExpTable(const QString& path, int existing, const QList<ExportColumn>& columns,
                QWidget* parent = nullptr);

    QString tableName() const { return m_tableName; }
    QString path() const { return m_path; }

protected:
    // Runs on OK once the table exists; the list-printer twin writes the rows here.
    virtual bool afterTableChosen() { return true; }
    void setControlsEnabled(bool enabled);
    const QList<ExportColumn>& columns() const { return m_columns; }

    QGroupBox* fraTable = nullptr;
    QRadioButton* optNew = nullptr;
    QRadioButton* optExisting = nullptr;
    QLineEdit* txtTable = nullptr;
    QListWidget* lstTables = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void chooseExisting(bool existing);
    void ok();

    QString m_path;
    QList<ExportColumn> m_columns;
    QString m_tableName;
};
