#pragma once

#include <QString>

class PrintTableModel;
struct PrintLayout;
class QPagedPaintDevice;

// Lays the designer's page out on a paged device (a printer, the preview, a PDF writer): the
// heading labels on the first page, the table's visible columns with their titles repeated at the
// top of every page (scaled down when the table is wider than the page), merged columns as one
// cell per run, and the footer "第 n 页，共 m 页" on every page. The device's page layout is used
// as it is set.
class PrintPages
{
public:
    PrintPages(const PrintTableModel& model, const PrintLayout& layout);

    // Paints every page; returns the number of pages, or -1 when the device cannot be painted on.
    int print(QPagedPaintDevice* device) const;

    static QString footer(int page, int pages);

private:
    const PrintTableModel& m_model;
    const PrintLayout& m_layout;
};

// Prints a model in a layout to a PDF file, the page set from the layout's page settings.
// 0, or -1 when the file cannot be written.
int LIB_PrintToPdf(const PrintTableModel& model, const PrintLayout& layout, const QString& path);
