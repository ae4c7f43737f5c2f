#include "printdesigner.h"

#include "printhandover.h"

#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

namespace {

// The heading lines and the visible columns of the hand-over as one HTML table.
QString handoverHtml(const PrintHandover& h)
{
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
    return html + QStringLiteral("</table></body></html>");
}

void printHandover(const PrintHandover& h, QPrinter* target)
{
    QTextDocument document;
    document.setHtml(handoverHtml(h));
    document.print(target);
}

} // namespace

void LIB_ShowPrintDesigner(QWidget* parent)
{
    const PrintHandover& h = PrintHandover::instance();
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(h.reportName());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&h](QPrinter* target) { printHandover(h, target); });
    preview.exec();
}

int LIB_PrintHandoverToPdf(const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (!printer.isValid())
        return -1;
    printHandover(PrintHandover::instance(), &printer);
    return QFileInfo(path).size() > 0 ? 0 : -1;
}
