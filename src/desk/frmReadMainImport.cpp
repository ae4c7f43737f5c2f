// Barcode import: the codes of a text file are processed as if scanned, book counting in mode 0
// and reader check-in in mode 1. The window keeps handling its events between codes and shows
// the progress in the status bar.
#include "barcodeimport.h"
#include "frmReadMain.h"
#include "mainwindowgrid.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
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
    auto* progress = new QProgressBar(statusBar());
    progress->setObjectName(QStringLiteral("prgImport"));
    progress->setRange(0, 1000);
    statusBar()->addPermanentWidget(progress);

    int processed = 0;
    int recorded = 0;
    QString code;
    // The import belongs to the mode it started in: a mode switch during the import ends it.
    while (m_desk.mode == mode && reader.next(code)) {
        ++processed;
        if (mode == DeskMode::BookCounting) {
            recorded += countBook(code) ? 1 : 0;
        } else {
            txtRedrBarcode->setText(code);
            recorded += scanReader() ? 1 : 0;
        }
        if (reader.size() > 0)
            progress->setValue(int(reader.bytesRead() * 1000 / reader.size()));
        QApplication::processEvents();
    }

    statusBar()->removeWidget(progress);
    delete progress;
    statusBar()->showMessage(QStringLiteral("条码导入：%1 条，登记 %2 条").arg(processed).arg(recorded));
    m_importRunning = false;
    m_menuItems.value(QStringLiteral("mnuInfoImport"))
        ->setEnabled(m_desk.mode == DeskMode::BookCounting || m_desk.mode == DeskMode::ReaderCheckIn);
    txtBokBar_code->clear();
    txtBokBar_code->setFocus();
    QApplication::restoreOverrideCursor();
    return processed;
}
