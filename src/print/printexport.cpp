#include "printexport.h"

#include "printlayout.h"
#include "printtablemodel.h"

#include <QSaveFile>
#include <QXmlStreamWriter>

namespace PrintExport {

namespace {

int writeBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return -1;
    return file.commit() ? 0 : -1;
}

QStringList visibleCells(const PrintTableModel& model, int row, const QList<int>& columns)
{
    QStringList cells;
    cells.reserve(columns.size());
    for (int c : columns)
        cells.append(model.cell(row, c));
    return cells;
}

} // namespace

QStringList visibleHeadings(const PrintTableModel& model)
{
    QStringList headings;
    for (int c : model.visibleColumns())
        headings.append(model.column(c).heading);
    return headings;
}

QString text(const PrintTableModel& model, const PrintLayout& layout)
{
    const QString newline = QStringLiteral("\r\n");
    const QString separator = QString(81, QLatin1Char('='));
    QString out = layout.labelText(0) + newline + separator + newline;
    for (int i = 1; i <= 5; ++i)
        out += layout.labelText(i) + newline;
    out += separator + newline;
    out += visibleHeadings(model).join(QLatin1Char('|')) + newline;
    const QList<int> columns = model.visibleColumns();
    for (int r = 0; r < model.rowCount(); ++r)
        out += visibleCells(model, r, columns).join(QLatin1Char('|')) + newline;
    return out;
}

int writeText(const PrintTableModel& model, const PrintLayout& layout, const QString& path)
{
    return writeBytes(path, text(model, layout).toUtf8());
}

QString html(const PrintTableModel& model, const PrintLayout& layout, const QString& title)
{
    QString out = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta http-equiv=\"Content-Type\" "
                                 "content=\"text/html; charset=utf-8\">\n"
                                 "<title>%1</title>\n<style type=\"text/css\">\n"
                                 "body, td, th, p { font-family: Tahoma, Verdana, Arial; font-size: 9pt; }\n"
                                 "h1 { font-size: 14pt; text-align: center; }\n"
                                 "table { border-collapse: collapse; }\n"
                                 "td, th { border: 1px solid #808080; padding: 2px 4px; }\n"
                                 "th { background: #E0E0E0; }\n</style>\n</head>\n<body>\n")
                      .arg(title.toHtmlEscaped());
    for (int i = 0; i < layout.labels.size(); ++i) {
        const QString line = layout.labelText(i);
        if (line.isEmpty())
            continue;
        out += (i == 0 ? QStringLiteral("<h1>%1</h1>\n") : QStringLiteral("<p>%1</p>\n"))
                   .arg(line.toHtmlEscaped());
    }
    out += QStringLiteral("<table>\n<tr>");
    for (const QString& heading : visibleHeadings(model))
        out += QStringLiteral("<th>") + heading.toHtmlEscaped() + QStringLiteral("</th>");
    out += QStringLiteral("</tr>\n");
    const QList<int> columns = model.visibleColumns();
    for (int r = 0; r < model.rowCount(); ++r) {
        out += QStringLiteral("<tr>");
        for (const QString& cell : visibleCells(model, r, columns))
            out += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        out += QStringLiteral("</tr>\n");
    }
    return out + QStringLiteral("</table>\n</body>\n</html>\n");
}

int writeHtml(const PrintTableModel& model, const PrintLayout& layout, const QString& title,
              const QString& path)
{
    return writeBytes(path, html(model, layout, title).toUtf8());
}

int writeXml(const PrintTableModel& model, const PrintLayout& layout, const QString& report,
             const QString& path)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("table"));
    xml.writeAttribute(QStringLiteral("name"), report);
    for (int i = 0; i < layout.labels.size(); ++i)
        if (!layout.labelText(i).isEmpty())
            xml.writeTextElement(QStringLiteral("heading"), layout.labelText(i));
    const QList<int> columns = model.visibleColumns();
    const QStringList headings = visibleHeadings(model);
    for (int r = 0; r < model.rowCount(); ++r) {
        xml.writeStartElement(QStringLiteral("row"));
        for (int i = 0; i < columns.size(); ++i) {
            xml.writeStartElement(QStringLiteral("cell"));
            xml.writeAttribute(QStringLiteral("name"), headings.at(i));
            xml.writeCharacters(model.cell(r, columns.at(i)));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return writeBytes(path, bytes);
}

int writeList(const QList<QStringList>& rows, bool utf16, const QString& path)
{
    QString text;
    for (const QStringList& row : rows)
        text += row.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    if (!utf16)
        return writeBytes(path, text.toUtf8());
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : std::as_const(text)) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return writeBytes(path, bytes);
}

} // namespace PrintExport
