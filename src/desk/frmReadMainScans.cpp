// Scan routing: each scan box acts on Enter (consumed) and hands its code to the operation of the
// desk's mode; the window shows what the operation returns.
#include "admissionreader.h"
#include "barcoderules.h"
#include "copylending.h"
#include "copylendinggrid.h"
#include "copylendingscan.h"
#include "copyreturn.h"
#include "db/sysparams.h"
#include "frmReadMain.h"
#include "itemlookup.h"
#include "mainwindowgrid.h"
#include "recording.h"
#include "recordingrows.h"

#include <QCheckBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

namespace {

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

bool frmReadMain::isScanBox(QObject* object) const
{
    return object == txtBokBar_code || object == txtRedrBarcode || object == txtBar_code ||
           object == txtLendBookBarCode || object == txtRetBookBarCode;
}

bool frmReadMain::eventFilter(QObject* watched, QEvent* event)
{
    if (!isScanBox(watched))
        return QMainWindow::eventFilter(watched, event);
    const bool override = event->type() == QEvent::ShortcutOverride;
    if (!override && event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // In the registration book box F5 ends the reader instead of choosing photocopy lending.
    const bool endKey =
        watched == txtBar_code && key->key() == Qt::Key_F5 && key->modifiers() == Qt::NoModifier;
    if (override) {
        if (isEnter(key) || endKey)
            event->accept();
        return false;
    }
    if (endKey) {
        endReader();
        return true;
    }
    if (!isEnter(key)) {
        if (watched == txtBar_code)
            startInactivityTimer();
        return false;
    }
    if (watched == txtBokBar_code)
        scanBook();
    else if (watched == txtRedrBarcode)
        scanReader();
    else if (watched == txtBar_code)
        scanRegistrationBook();
    else if (watched == txtLendBookBarCode)
        scanLendingBook();
    else
        scanReturnBook();
    return true;
}

bool frmReadMain::countBook(const QString& code)
{
    m_scannedCode = code;
    if (countOrRegisterBook(m_desk, code) != 0)
        return false;
    m_books->appendRow(CountedBookRow::of(m_desk.item).cells());
    DeskGrid::showNewest(vsBook);
    QStringList values;
    for (const ItemPanelLine& line : itemPanelLines(m_desk.item))
        values << line.value;
    DeskGrid::setPanelValues(vsBookInfo, values);
    return true;
}

void frmReadMain::scanBook()
{
    countBook(txtBokBar_code->text());
    txtBokBar_code->clear();
    txtBokBar_code->setFocus();
}

void frmReadMain::showAdmission(const AdmissionResult& result)
{
    if (result.readerShown)
        DeskGrid::setPanelValues(vsRedrInfo, result.panelValues);
    showPortrait(result.portraitShown, result.portraitPath);
    m_violations->setNumberedRows(result.violationRows);
    vsVolt->setVisible(result.showViolations);
    if (result.showViolations)
        vsVolt->selectRow(0);
    if (result.copyLoansListed) {
        m_copyLoans->clear();
        for (const CopyLoanRow& loan : result.copyLoans)
            m_copyLoans->appendListed(loan.cells.mid(1),
                                      loan.overdue ? CopyGridModel::Ink::Red : CopyGridModel::Ink::Black);
        DeskGrid::showNewest(vsCopyLend);
    }
}

void frmReadMain::showPortrait(bool shown, const QString& path)
{
    // Every portrait arrives under the same file name: it is read afresh, never through the pixmap
    // cache, which takes a file of the same size written in the same second for the one it holds.
    if (shown && !path.isEmpty())
        imgReader->setPixmap(QPixmap::fromImage(QImageReader(path).read()));
    else
        imgReader->clear();
}

bool frmReadMain::scanReader()
{
    const QString text = BarcodeReadRules::current().cardNumberFromScan(txtRedrBarcode->text());
    txtRedrBarcode->setText(text);
    const DeskMode mode = m_desk.mode;
    // The box text as it stands: the control code is upper-cased and trimmed, the text is not.
    if (mode == DeskMode::CopyLending && !m_copyReturnCode.isEmpty() && text == m_copyReturnCode) {
        enterMode(DeskMode::CopyReturn);
        return false;
    }
    m_scannedCode = text;
    const AdmissionResult result = m_admission.admit(m_desk, text);
    showAdmission(result);

    if (mode == DeskMode::ReaderCheckIn || mode == DeskMode::IdentityCheck) {
        const bool listed = !result.refused && recordCheckIn(m_desk) == 0;
        if (listed) {
            m_readers->appendRow(AdmittedReaderRow::of(m_desk).cells());
            DeskGrid::showNewest(vsReader);
        }
        txtRedrBarcode->clear();
        txtRedrBarcode->setFocus();
        return listed;
    }
    QLineEdit* bookBox = mode == DeskMode::CopyLending ? txtLendBookBarCode : txtBar_code;
    if (!result.refused) {
        bookBox->setEnabled(true);
        bookBox->setFocus();
        txtRedrBarcode->setEnabled(false);
    } else {
        bookBox->setEnabled(false);
        txtRedrBarcode->setEnabled(true);
        txtRedrBarcode->clear();
        txtRedrBarcode->setFocus();
    }
    return !result.refused;
}

void frmReadMain::scanRegistrationBook()
{
    tmrLendDelay->stop();
    const QString text = txtBar_code->text();
    if (text.trimmed().isEmpty())
        return;
    if (txtRedrBarcode->text().trimmed().isEmpty()) {
        txtBar_code->clear();
        txtBar_code->setEnabled(false);
        txtRedrBarcode->setEnabled(true);
        txtRedrBarcode->setFocus();
        return;
    }
    const QString endCode = LIB_GetSysPara(22).toString();
    if (!endCode.isEmpty() && text == endCode) {
        endReader();
        return;
    }
    m_scannedCode = text;
    if (countOrRegisterBook(m_desk, text) == 0) {
        m_readerBooks->appendRow(RegisteredBookRow::of(m_desk).cells());
        DeskGrid::showNewest(vsRedrBook);
    }
    txtBar_code->clear();
    txtBar_code->setFocus();
    startInactivityTimer();
}

void frmReadMain::startInactivityTimer()
{
    if (tmrLendDelay->interval() > 0)
        tmrLendDelay->start();
}

void frmReadMain::endReader()
{
    tmrLendDelay->stop();
    DeskGrid::setPanelValues(vsRedrInfo, {});
    if (chkClear->isChecked())
        m_readerBooks->clear();
    m_violations->clear();
    m_desk.readerAdmitted = false;
    txtBar_code->clear();
    txtBar_code->setEnabled(false);
    txtRedrBarcode->setEnabled(true);
    txtRedrBarcode->clear();
    txtRedrBarcode->setFocus();
}

void frmReadMain::clearCheckBoxFocus()
{
    if (txtRedrBarcode->isEnabled())
        txtRedrBarcode->setFocus();
    else
        txtBar_code->setFocus();
}

void frmReadMain::scanLendingBook()
{
    const CopyScan scan = LIB_CopyLendScan(txtLendBookBarCode->text(), m_endReaderCode, m_copyReturnCode);
    switch (scan.action) {
    case CopyScanAction::RestartLending:
        enterMode(DeskMode::CopyLending);
        return;
    case CopyScanAction::SwitchToReturn:
        enterMode(DeskMode::CopyReturn);
        return;
    case CopyScanAction::Lend: {
        m_scannedCode = scan.code;
        const CopyLendOutcome outcome = LendForPhotocopy(m_desk, scan.code);
        if (!outcome.failed) {
            m_copyLoans->appendNewest(outcome.line.cells());
            DeskGrid::showNewest(vsCopyLend);
        }
        txtLendBookBarCode->clear();
        return;
    }
    default:
        return;
    }
}

void frmReadMain::scanReturnBook()
{
    const CopyScan scan = LIB_CopyReturnScan(txtRetBookBarCode->text(), m_copyReturnCode);
    switch (scan.action) {
    case CopyScanAction::LeaveReturn:
        copyToggle();
        return;
    case CopyScanAction::Return: {
        m_scannedCode = scan.code;
        const CopyReturnOutcome outcome = ReturnPhotocopy(m_desk, scan.code);
        if (outcome.readerShown) {
            DeskGrid::setPanelValues(vsRedrInfo, readerPanelValues(m_desk.reader));
            showPortrait(outcome.portraitShown, outcome.portraitPath);
        }
        if (outcome.returned) {
            m_copyReturns->appendNewest(outcome.line.cells());
            DeskGrid::showNewest(vsCopyRet);
        }
        txtRetBookBarCode->clear();
        txtRetBookBarCode->setFocus();
        return;
    }
    default:
        txtRetBookBarCode->clear();
        return;
    }
}
