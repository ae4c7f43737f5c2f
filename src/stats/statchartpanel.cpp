#include "statchartpanel.h"

#include "db/messages.h"
#include "stattablemodel.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

namespace {

QChart* barChart(const QString& title, const StatTableModel& grid, int labelColumn,
                 const QList<int>& figureColumns, int firstRow, int rowCount)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* series = new QBarSeries(chart);
    QStringList categories;
    for (int row = firstRow; row < firstRow + rowCount; ++row) {
        // Long class names would crowd the axis: the first characters say which class it is.
        const QString label = grid.cell(row, labelColumn);
        categories.append(label.size() > 8 ? label.left(7) + QStringLiteral("…") : label);
    }
    double highest = 0;
    bool whole = true;
    for (int column : figureColumns) {
        // Headings may carry a sort mark; shares read as their number ("12.50%" is 12.5).
        QString name = grid.headings().value(column);
        name.remove(QStringLiteral("▲")).remove(QStringLiteral("▼"));
        auto* set = new QBarSet(name);
        for (int row = firstRow; row < firstRow + rowCount; ++row) {
            const double value = QString(grid.cell(row, column)).remove(QLatin1Char('%')).toDouble();
            highest = std::max(highest, value);
            whole = whole && value == std::floor(value);
            *set << value;
        }
        series->append(set);
    }
    chart->addSeries(series);
    auto* categoryAxis = new QBarCategoryAxis(chart);
    categoryAxis->append(categories);
    if (categories.size() > 6)
        categoryAxis->setLabelsAngle(-60);
    auto* valueAxis = new QValueAxis(chart);
    valueAxis->setRange(0, highest > 0 ? highest * 1.1 : 1);
    valueAxis->applyNiceNumbers();
    valueAxis->setLabelFormat(whole ? QStringLiteral("%d") : QStringLiteral("%.2f"));
    chart->addAxis(categoryAxis, Qt::AlignBottom);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    series->attachAxis(valueAxis);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

} // namespace

StatChartPanel::StatChartPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatChartPanel"));
    m_view = new QChartView(new QChart, this);
    m_view->setObjectName(QStringLiteral("chtStat"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(360, 240);
    auto* save = new QPushButton(QStringLiteral("保存图片"), this);
    save->setObjectName(QStringLiteral("cmdSaveChart"));
    save->setAutoDefault(false);
    auto* print = new QPushButton(QStringLiteral("打印图表"), this);
    print->setObjectName(QStringLiteral("cmdPrintChart"));
    print->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &StatChartPanel::saveAsPng);
    connect(print, &QPushButton::clicked, this, &StatChartPanel::printRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(print);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
}

void StatChartPanel::showBars(const QString& title, const StatTableModel& grid, int labelColumn,
                              const QList<int>& figureColumns, int firstRow, int rowCount)
{
    QChart* old = m_view->chart();
    m_view->setChart(barChart(title, grid, labelColumn, figureColumns, firstRow, rowCount));
    delete old;
    m_hasBars = rowCount > 0 && !figureColumns.isEmpty();
}

void StatChartPanel::clear()
{
    QChart* old = m_view->chart();
    m_view->setChart(new QChart);
    delete old;
    m_hasBars = false;
}

QImage StatChartPanel::picture(const QSize& size) const
{
    const QSize target = size.isEmpty() ? m_view->size() : size;
    QImage image(target, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    m_view->render(&painter, QRectF(QPointF(0, 0), target), m_view->rect());
    return image;
}

void StatChartPanel::saveAsPng()
{
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存图片"), QString(),
                                                QStringLiteral("PNG 图片(*.png)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        path += QLatin1String(".png");
    if (!picture().save(path, "PNG"))
        LIB_ShowMsg(QStringLiteral("E图片不能保存到 ") + path);
}

QImage LIB_StatChartPicture(const QString& title, const StatTableModel& grid, int labelColumn,
                            const QList<int>& figureColumns, int firstRow, int rowCount, const QSize& size)
{
    // Drawn through a scene of its own: no view is shown to lay the chart out.
    QGraphicsScene scene;
    QChart* chart = barChart(title, grid, labelColumn, figureColumns, firstRow, rowCount);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
    return image;
}
