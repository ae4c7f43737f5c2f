// Barcode import: the codes of a text file are processed as if scanned, book counting in mode 0
// and reader check-in in mode 1. The window keeps handling its events between codes; the progress
// display shows how far the file is read and lets the operator stop the import.
#include "barcodeimport.h"
#include "frmReadMain.h"
#include "mainwindowgrid.h"
#include "print/clsProgressBar.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>

int frmReadMain::importBarcodes(const QString& path, const QString& separator)
{
    const DeskMode mode = m_desk.mode;
    if (m_importRunning || (mode != DeskMode::BookCounting && mode != DeskMode::ReaderCheckIn))
        return 0;
    BarcodeImportReader reader(separator);
    if (!reader.open(path))
        return 0;

    m_importRunning = true;
    m_menuItems.value(QStringLiteral("mnuInfoImport"))->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    clsProgressBar progress;
    progress.setTitle(QStringLiteral("正在导入条码..."));
    progress.setMax(1000); // per mille of the file read
    progress.setCountVisible(false);
    progress.SetLockSource(this);
    progress.Show();

    int processed = 0;
    int recorded = 0;
    QString code;
    // The import belongs to the mode it started in: a mode switch during the import ends it.
    while (m_desk.mode == mode && !progress.Interrupt() && reader.next(code)) {
        ++processed;
        if (mode == DeskMode::BookCounting) {
            recorded += countBook(code) ? 1 : 0;
        } else {
            txtRedrBarcode->setText(code);
            recorded += scanReader() ? 1 : 0;
        }
        if (reader.size() > 0)
            progress.setValue(reader.bytesRead() * 1000 / reader.size());
        QApplication::processEvents();
    }

    progress.Finish();
    statusBar()->showMessage(QStringLiteral("条码导入：%1 条，登记 %2 条").arg(processed).arg(recorded));
    m_importRunning = false;
    m_menuItems.value(QStringLiteral("mnuInfoImport"))
        ->setEnabled(m_desk.mode == DeskMode::BookCounting || m_desk.mode == DeskMode::ReaderCheckIn);
    txtBokBar_code->clear();
    txtBokBar_code->setFocus();
    QApplication::restoreOverrideCursor();
    return processed;
}
