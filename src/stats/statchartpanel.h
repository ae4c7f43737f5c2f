#pragma once

// The chart beside a statistics grid: grouped bars (one group per row of the grid, one bar per
// figure column), with commands to save it as a PNG picture and to print it with the table.

#include <QList>
#include <QStringList>
#include <QWidget>

class QChartView;
class QImage;
class StatTableModel;

class StatChartPanel : public QWidget
{
    Q_OBJECT
public:
    explicit StatChartPanel(QWidget* parent = nullptr);

    // Draws the rows [firstRow, firstRow + rowCount) of the grid, a group per row named by
    // labelColumn, a bar per column of figureColumns.
    void showBars(const QString& title, const StatTableModel& grid, int labelColumn,
                  const QList<int>& figureColumns, int firstRow, int rowCount);
    void clear();

    // The chart as a picture of the given size (the view's size when empty).
    QImage picture(const QSize& size = {}) const;
    bool hasBars() const { return m_hasBars; }

Q_SIGNALS:
    // The window fills the print hand-over before the chart is printed with its table.
    void printRequested();

public Q_SLOTS:
    void saveAsPng();

private:
    QChartView* m_view = nullptr;
    bool m_hasBars = false;
};

// The chart of a grid drawn offscreen (readdesk-report): same bars as the panel.
QImage LIB_StatChartPicture(const QString& title, const StatTableModel& grid, int labelColumn,
                            const QList<int>& figureColumns, int firstRow, int rowCount, const QSize& size);
