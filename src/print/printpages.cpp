#include "printpages.h"

#include "printlayout.h"
#include "printtablemodel.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace {

// Fonts are given in pixels of the 96-dpi design space; the painter's scale maps that to the device.
QFont designFont(const QString& description, const QFont& base)
{
    QFont font = LIB_PrintFont(description, base);
    if (font.pixelSize() <= 0)
        font.setPixelSize(std::max(1, int(std::lround(font.pointSizeF() * 96.0 / 72.0))));
    return font;
}

struct PageGeometry
{
    double scale = 1; // device pixels per design pixel
    double width = 0; // page content in design pixels
    double height = 0;
    double rowHeight = 0;
    double footerHeight = 0;
    double headingHeight = 0;
    int firstPageRows = 0;
    int otherPageRows = 0;
    int pages = 1;
};

void drawStyledText(QPainter& painter, const QRectF& rect, int alignment, const QString& text, int style)
{
    if (style != 0) {
        const QPen pen = painter.pen();
        painter.setPen(style == 1 ? Qt::white : Qt::gray);
        painter.drawText(rect.translated(-0.7, -0.7), alignment, text);
        painter.setPen(style == 1 ? Qt::gray : Qt::white);
        painter.drawText(rect.translated(0.7, 0.7), alignment, text);
        painter.setPen(pen);
    }
    painter.drawText(rect, alignment, text);
}

} // namespace

PrintPages::PrintPages(const PrintTableModel& model, const PrintLayout& layout)
    : m_model(model), m_layout(layout)
{
}

QString PrintPages::footer(int page, int pages)
{
    return QStringLiteral("第 %1 页，共 %2 页").arg(page).arg(pages);
}

int PrintPages::print(QPagedPaintDevice* device) const
{
    QPainter painter;
    if (!painter.begin(device))
        return -1;
    const QList<int> columns = m_model.visibleColumns();
    double tableWidth = 0;
    for (int c : columns)
        tableWidth += m_model.column(c).width;

    const QRect paintRect = device->pageLayout().paintRectPixels(device->logicalDpiX());
    const double unit = device->logicalDpiX() / 96.0;
    PageGeometry g;
    g.scale = unit * std::min(1.0, tableWidth > 0 ? paintRect.width() / (tableWidth * unit) : 1.0);
    g.width = paintRect.width() / g.scale;
    g.height = paintRect.height() / g.scale;
    const QFont base = designFont(QString(), QFont());
    QFontMetricsF metrics(base);
    g.rowHeight = std::ceil(metrics.height() + 6);
    for (int c : columns)
        g.rowHeight = std::max(
            g.rowHeight, std::ceil(QFontMetricsF(designFont(m_model.column(c).font, base)).height() + 6));
    g.footerHeight = g.rowHeight + 4;
    g.headingHeight = m_layout.headingHeight();
    const double tableSpace = g.height - g.footerHeight - g.rowHeight;
    g.firstPageRows = std::max(1, int((tableSpace - g.headingHeight) / g.rowHeight));
    g.otherPageRows = std::max(1, int(tableSpace / g.rowHeight));
    const int rows = m_model.rowCount();
    if (rows > g.firstPageRows)
        g.pages = 1 + (rows - g.firstPageRows + g.otherPageRows - 1) / g.otherPageRows;

    painter.scale(g.scale, g.scale);
    const QPen gridPen(QColor(0x80, 0x80, 0x80), 0);
    int row = 0;
    for (int page = 1; page <= g.pages; ++page) {
        if (page > 1)
            device->newPage();
        double y = 0;
        if (page == 1) {
            for (const HeadingLabel& label : m_layout.labels) {
                if (label.hidden || label.text.isEmpty())
                    continue;
                const QFont font = designFont(label.font, base);
                painter.setFont(font);
                painter.setPen(label.color.isEmpty() ? QColor(Qt::black) : QColor(label.color));
                const double textWidth = QFontMetricsF(font).horizontalAdvance(label.text);
                const double x =
                    label.centered
                        ? std::max(0.0, (std::min(g.width, std::max(tableWidth, textWidth)) - textWidth) / 2)
                        : std::clamp(label.pos.x(), 0.0,
                                     std::max(0.0, g.width - textWidth)); // kept on the page
                painter.drawText(QRectF(x, label.pos.y(), std::max(textWidth, g.width - x),
                                        QFontMetricsF(font).height() + 2),
                                 Qt::AlignLeft | Qt::AlignTop, label.text);
            }
            y = g.headingHeight;
        }
        // Column titles.
        double x = 0;
        QFont bold = base;
        bold.setBold(true);
        for (int c : columns) {
            const PrintColumn& printColumn = m_model.column(c);
            const QRectF cellRect(x, y, printColumn.width, g.rowHeight);
            painter.fillRect(cellRect, QColor(0xE0, 0xE0, 0xE0));
            painter.setPen(gridPen);
            painter.drawRect(cellRect);
            painter.setPen(Qt::black);
            painter.setFont(bold);
            painter.drawText(cellRect.adjusted(3, 0, -3, 0), Qt::AlignCenter, printColumn.heading);
            x += printColumn.width;
        }
        y += g.rowHeight;
        const int pageRows = std::min(rows - row, page == 1 ? g.firstPageRows : g.otherPageRows);
        x = 0;
        for (int c : columns) {
            const PrintColumn& printColumn = m_model.column(c);
            painter.setFont(designFont(printColumn.font, base));
            const QColor color = printColumn.color.isEmpty() ? QColor(Qt::black) : QColor(printColumn.color);
            for (int r = 0; r < pageRows;) {
                const QString text = m_model.cell(row + r, c);
                int span = 1;
                if (printColumn.merged)
                    while (r + span < pageRows && m_model.cell(row + r + span, c) == text)
                        ++span;
                const QRectF cellRect(x, y + r * g.rowHeight, printColumn.width, g.rowHeight * span);
                if (m_layout.gridLines) {
                    painter.setPen(gridPen);
                    painter.drawRect(cellRect);
                }
                painter.setPen(color);
                drawStyledText(painter, cellRect.adjusted(3, 0, -3, 0), printColumn.alignment, text,
                               printColumn.textStyle);
                r += span;
            }
            x += printColumn.width;
        }
        row += pageRows;
        painter.setFont(base);
        painter.setPen(Qt::black);
        const QRectF foot(0, g.height - g.footerHeight, g.width, g.footerHeight);
        painter.drawText(foot, Qt::AlignCenter, footer(page, g.pages));
        if (!m_layout.footerText.isEmpty())
            painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, m_layout.footerText);
    }
    painter.end();
    return g.pages;
}

int LIB_PrintToPdf(const PrintTableModel& model, const PrintLayout& layout, const QString& path)
{
    {
        QPdfWriter writer(path);
        writer.setResolution(300);
        writer.setPageLayout(layout.page.pageLayout());
        if (PrintPages(model, layout).print(&writer) < 0)
            return -1;
    }
    return QFileInfo(path).size() > 0 ? 0 : -1;
}
