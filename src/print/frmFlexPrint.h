#pragma once

#include "printlayout.h"
#include "printtablemodel.h"

#include <QDialog>
#include <QHash>
#include <QPrinter>

class PrintHeadingArea;
class QAction;
class QMenu;
class QTableView;

// The print designer: the hand-over's table under its heading lines, arranged by the operator
// (columns hidden, deleted, renamed, sorted, merged, aligned, styled, added from MARC records or
// typed in; heading lines moved, edited, styled, hidden), saved as a template under the report's
// name, previewed, printed and exported. One window per session; every caller fills the
// hand-over first (LIB_ShowPrintDesigner).
class frmFlexPrint : public QDialog
{
    Q_OBJECT

public:
    explicit frmFlexPrint(QWidget* parent = nullptr);

    void setReportName(const QString& name);
    QString reportName() const { return m_reportName; }
    void setMode(int mode);
    // Loads the hand-over's table and heading lines (the busy pointer meanwhile).
    void initRawGrid();

    PrintTableModel& model() { return m_model; }
    PrintLayout& layout() { return m_layout; }
    QTableView* grid() const { return vsPrint; }
    PrintHeadingArea* headingArea() const { return m_heading; }
    QAction* action(const QString& name) const { return m_actions.value(name); }

    // Templates: "保存用户设定" and "按用户模板打印" (applies the template, then prints).
    int saveTemplate();
    bool loadTemplate();
    void CustomPrint();

    // The exports to a chosen file: an existing file is replaced only after "WCF011", then
    // "文件导出完毕！". 0 when written, 1 when the operator kept the old file, -1 on failure.
    int exportTextTo(const QString& path);
    int exportHtmlTo(const QString& path);
    int exportXmlTo(const QString& path);

    // Prints to the designer's printer (a PDF file when its output file name is set).
    int printTo(QPrinter* printer);
    QPrinter* printer() { return &m_printer; }

    // Column and label operations, on the current (or selected) columns and the current label.
    void sortCurrentColumn(Qt::SortOrder order);
    void deleteCurrentColumn();
    void showColumnAgain(int column);
    void renameCurrentColumn();
    void setMerged(bool merged);
    void setAlignment(int alignment);
    void setTextStyle(int style);
    void setGridLines(bool shown);
    void toggleLabelHidden();
    void deleteCurrentLabel();
    int addCustomColumn(const QString& heading);
    int addMarcColumn(const QString& heading, const QString& cnMarc, const QString& usMarc);
    void applyColumns(const QList<PrintColumn>& columns); // the output items' OK

private:
    void buildMenus(class QMenuBar* bar);
    QAction* addAction(QMenu* menu, const char* name, const QString& caption, void (frmFlexPrint::*slot)());
    void syncView();
    void refreshSpans();
    void rebuildShowAgainMenu();
    QList<int> selectedColumns() const;
    int confirmOverwrite(const QString& path) const;
    void finishExport(int written);
    QString documentsDirectory() const;

    // Menu commands.
    void printerSetup();
    void outputItems();
    void pageSetup();
    void print();
    void preview();
    void exportText();
    void exportHtml();
    void exportXml();
    void exportExcel();
    void exportAccess();
    QSet<int> hiddenColumns() const;
    void labelFont();
    void labelColor();
    void columnFont();
    void columnColor();
    void newMarcColumn();
    void newCustomColumn();

    QString m_caption;
    QString m_reportName;
    int m_mode = 1;
    PrintTableModel m_model;
    PrintLayout m_layout;
    QPrinter m_printer{QPrinter::HighResolution};
    PrintHeadingArea* m_heading = nullptr;
    QTableView* vsPrint = nullptr;
    QMenu* m_showAgainMenu = nullptr;
    class QSplitter* m_splitter = nullptr;
    QHash<QString, QAction*> m_actions;
};
