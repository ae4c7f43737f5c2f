#include "chartprint.h"

#include "printhandover.h"

#include <QFileInfo>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>

namespace {

const QUrl chartResource(QStringLiteral("chart://image"));

void printWithChart(const QImage& chart, QPrinter* target)
{
    const PrintHandover& h = PrintHandover::instance();
    QString html = QStringLiteral("<html><body>");
    for (const QString& line : h.headingLines())
        if (!line.isEmpty())
            html += QStringLiteral("<p>") + line.toHtmlEscaped() + QStringLiteral("</p>");
    html += QStringLiteral("<table border=1 cellspacing=0 cellpadding=2>");
    for (const QStringList& row : h.table()) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < row.size(); ++c)
            if (!h.isColumnHidden(c))
                html += QStringLiteral("<td>") + row.at(c).toHtmlEscaped() + QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    // The chart keeps its proportions across the page's width.
    const qreal width = target->pageRect(QPrinter::Point).width() * 0.9;
    html += QStringLiteral("</table><p><img src=\"%1\" width=\"%2\"></p></body></html>")
                .arg(chartResource.toString())
                .arg(int(width));
    QTextDocument document;
    document.addResource(QTextDocument::ImageResource, chartResource, chart);
    document.setHtml(html);
    document.print(target);
}

} // namespace

void LIB_ShowChartPrintPreview(QWidget* parent, const QImage& chart)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(PrintHandover::instance().reportName());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&chart](QPrinter* target) { printWithChart(chart, target); });
    preview.exec();
}

int LIB_PrintChartToPdf(const QString& path, const QImage& chart)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (!printer.isValid())
        return -1;
    printWithChart(chart, &printer);
    return QFileInfo(path).size() > 0 ? 0 : -1;
}
