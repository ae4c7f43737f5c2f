#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

class QWidget;

// The reading-log grid as a desk grid holds it: thirteen text columns, filled in batches so that
// the view and the event loop keep up while it grows.
class ReadingLogModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    static QStringList headings();

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 13; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void appendRows(QList<QStringList> rows);
    void clear();

private:
    QList<QStringList> m_rows;
};

// What filling the grid took.
struct GridFigures
{
    int rows = 0;
    int records = 0; // distinct MARC records read for the titles
    QString from, to;
    double queryMs = 0;   // the log statement
    double recordsMs = 0; // the MARC records, read in sets
    double fillMs = 0;    // rows built and handed to the view
    double totalMs = 0;
    double queryProcessorMs = 0; // of each step, the processor time of the desk's own process
    double recordsProcessorMs = 0;
    double fillProcessorMs = 0;
    double longestStallMs = 0; // the longest stretch without a turn of the event loop
    long statements = 0;
    QString failure;
};

// Lists about `wantedRows` reader-and-book log rows (the newest ones) with their titles into the
// model, the way the log query window fills its grid: the one log statement, then the MARC
// records of the listed items read a few hundred to a statement, then the rows in batches, with
// the event loop turning between the steps. The view showing the model (may be null) does not
// redraw until the grid is full; its first drawing then is part of the time.
GridFigures fillReadingLogGrid(ReadingLogModel& model, QWidget* view, int wantedRows);
