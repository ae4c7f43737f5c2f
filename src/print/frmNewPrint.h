#pragma once

#include "printhandover.h"
#include "printlayout.h"
#include "printtablemodel.h"

#include <QDialog>

class QAbstractItemModel;
class QPrinter;
class QTableView;

// The list printer: a list copied into its buffer (a grid whole or a block of it, optionally in
// a given column order; another grid, optionally grouped by a column; an array whose row 0 holds
// the titles), printed whole or in part under a header line with a footer line, or saved as text.
class frmNewPrint : public QDialog
{
    Q_OBJECT

public:
    explicit frmNewPrint(QWidget* parent = nullptr);

    void SpdSel2Flex(const QAbstractItemModel& spread, int row1, int row2, int col1, int col2,
                     const QList<int>& order = {});
    void Spd2Flex(const QAbstractItemModel& spread, const QList<int>& order = {});
    void Spd702Flex(const QAbstractItemModel& spread, const QList<int>& order = {})
    {
        Spd2Flex(spread, order);
    }
    void Flex2Flex(const QAbstractItemModel& grid, int groupColumn = -1);
    void LoadArray2Flex(const QList<QStringList>& rows);

    // Prints the buffer (or a block of it, rows and columns from 0) on `printer`, or on the
    // printer the operator picks when none is given. 0, or -1 when nothing was printed.
    int PrintAll(const QString& header, const QString& footer, const QString& documentName = {},
                 QPrinter* printer = nullptr);
    int PrintSel(int row1, int col1, int row2, int col2, const QString& header, const QString& footer,
                 const QString& documentName = {}, QPrinter* printer = nullptr);
    // Mode 1 right-aligns the columns whose texts are all numbers (counts, amounts); 0 aligns left.
    void FormatWorkList(int mode);
    void subColAlign(int column, int alignment);

    // Writes the buffer as text, UTF-8 or UTF-16 ("Unicode"); "WCF011" before replacing a file.
    int saveText(const QString& path, bool unicode);
    const PrintTableModel& buffer() const { return m_model; }

private:
    void load(const QList<QStringList>& rows);
    int printRows(const QList<QStringList>& rows, int firstColumn, const QString& header,
                  const QString& footer, const QString& documentName, QPrinter* printer);
    void save();

    PrintHandover m_buffer;
    PrintTableModel m_model;
    QTableView* vsList = nullptr;
};
