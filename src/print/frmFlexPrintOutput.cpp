// The designer's output: printer and page, preview and print, templates and the file exports.
#include "basExport.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "frmFlexPrint.h"
#include "printexport.h"
#include "printheadingarea.h"
#include "printpages.h"
#include "printtemplateapply.h"
#include "printtemplates.h"
#include "savefilechooser.h"
#include "startup/environment.h"

#include <QApplication>
#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

QString frmFlexPrint::documentsDirectory() const
{
    return LIB_GetEnv(12).toString();
}

int frmFlexPrint::printTo(QPrinter* printer)
{
    printer->setPageLayout(m_layout.page.pageLayout());
    printer->setDocName(m_reportName);
    return PrintPages(m_model, m_layout).print(printer) < 0 ? -1 : 0;
}

void frmFlexPrint::printerSetup()
{
    m_printer.setPageLayout(m_layout.page.pageLayout());
    QPrintDialog dialog(&m_printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    if (dialog.exec() == QDialog::Accepted)
        m_layout.page.setPageLayout(m_printer.pageLayout());
}

void frmFlexPrint::pageSetup()
{
    m_printer.setPageLayout(m_layout.page.pageLayout());
    QPageSetupDialog dialog(&m_printer, this);
    if (dialog.exec() == QDialog::Accepted)
        m_layout.page.setPageLayout(m_printer.pageLayout());
}

void frmFlexPrint::print()
{
    m_printer.setPageLayout(m_layout.page.pageLayout());
    QPrintDialog dialog(&m_printer, this);
    if (dialog.exec() == QDialog::Accepted)
        printTo(&m_printer);
}

void frmFlexPrint::preview()
{
    m_printer.setPageLayout(m_layout.page.pageLayout());
    QPrintPreviewDialog dialog(&m_printer, this);
    dialog.setObjectName(QStringLiteral("dlgPreview"));
    dialog.setWindowTitle(windowTitle());
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        PrintPages(m_model, m_layout).print(printer);
        m_layout.page.setPageLayout(printer->pageLayout());
    });
    dialog.exec();
}

int frmFlexPrint::saveTemplate()
{
    if (m_reportName.isEmpty()) {
        LIB_ShowMsg(QStringLiteral("E这张报表没有名称，不能保存用户设定！"));
        return -1;
    }
    const QString cfg = LIB_GetEnv(14).toString();
    const int written = PrintTemplates::save(cfg, m_reportName, {m_model.columns(), m_layout});
    if (written != 0)
        LIB_ShowMsg(QStringLiteral("E模板文件写入失败：") + PrintTemplates::gridPath(cfg, m_reportName));
    return written;
}

bool frmFlexPrint::loadTemplate()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int applied = LIB_ApplyPrintTemplate(m_model, m_layout, LIB_GetEnv(14).toString(), m_reportName);
    QApplication::restoreOverrideCursor();
    if (applied < 0)
        LIB_DB_ShowError();
    m_actions.value(QStringLiteral("mnuGridLines"))->setChecked(m_layout.gridLines);
    m_heading->setLabels(&m_layout.labels);
    syncView();
    rebuildShowAgainMenu();
    return applied != 0;
}

void frmFlexPrint::CustomPrint()
{
    if (loadTemplate())
        print();
    else
        LIB_ShowMsg(QStringLiteral("I没有找到报表“") + m_reportName + QStringLiteral("”的用户模板。"));
}

int frmFlexPrint::confirmOverwrite(const QString& path) const
{
    return QFile::exists(path) && LIB_ShowMsg(QStringLiteral("WCF011")) != 1 ? 1 : 0;
}

void frmFlexPrint::finishExport(int written)
{
    if (written == 0)
        LIB_ShowMsg(QStringLiteral("I文件导出完毕！"));
    else if (written < 0)
        LIB_ShowMsg(QStringLiteral("E文件写入失败！"));
}

int frmFlexPrint::exportTextTo(const QString& path)
{
    if (confirmOverwrite(path))
        return 1;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int written = PrintExport::writeText(m_model, m_layout, path);
    QApplication::restoreOverrideCursor();
    finishExport(written);
    return written;
}

int frmFlexPrint::exportHtmlTo(const QString& path)
{
    if (confirmOverwrite(path))
        return 1;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int written = PrintExport::writeHtml(m_model, m_layout, m_reportName, path);
    QApplication::restoreOverrideCursor();
    finishExport(written);
    return written;
}

int frmFlexPrint::exportXmlTo(const QString& path)
{
    if (confirmOverwrite(path))
        return 1;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int written = PrintExport::writeXml(m_model, m_layout, m_reportName, path);
    QApplication::restoreOverrideCursor();
    finishExport(written);
    return written;
}

void frmFlexPrint::exportText()
{
    const QString path = LIB_ChooseSaveFile(this, {QStringLiteral("保存到文本文件"),
                                                   documentsDirectory(),
                                                   {QStringLiteral("文本文件 (*.txt)")},
                                                   QStringLiteral("txt")});
    if (!path.isEmpty())
        exportTextTo(path);
}

void frmFlexPrint::exportHtml()
{
    const QString path = LIB_ChooseSaveFile(this, {QStringLiteral("保存到html文件"),
                                                   documentsDirectory(),
                                                   {QStringLiteral("html文件 (*.htm *.html)")},
                                                   QStringLiteral("htm")});
    if (!path.isEmpty())
        exportHtmlTo(path);
}

void frmFlexPrint::exportXml()
{
    const QString path = LIB_ChooseSaveFile(this, {QStringLiteral("保存到xml文件"),
                                                   documentsDirectory(),
                                                   {QStringLiteral("xml文件 (*.xml)")},
                                                   QStringLiteral("xml")});
    if (!path.isEmpty())
        exportXmlTo(path);
}

QSet<int> frmFlexPrint::hiddenColumns() const
{
    QSet<int> hidden;
    for (int c = 0; c < m_model.columnCount(); ++c)
        if (m_model.isColumnHidden(c))
            hidden.insert(c);
    return hidden;
}

void frmFlexPrint::exportExcel()
{
    QStringList condition;
    for (int i = 1; i <= 5; ++i)
        condition.append(m_layout.labelText(i));
    ExportGridToExcel(this, m_model, hiddenColumns(), m_layout.labelText(0),
                      condition.join(QLatin1Char(' ')));
}

void frmFlexPrint::exportAccess()
{
    ExportGridToAccess(this, m_model, hiddenColumns());
}
