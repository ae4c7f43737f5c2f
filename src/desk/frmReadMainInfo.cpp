// The desk window's way to the reader and item information windows: the 信息查询 commands and a
// double click on a row of a result grid.
#include "barcoderules.h"
#include "db/errorreporter.h"
#include "frmReadMain.h"
#include "info/frmBookInfo.h"
#include "info/frmRedrDetail.h"
#include "info/frmRedrInfo.h"
#include "info/readerlookup.h"
#include "info/readerpanel.h"

#include <QTableView>

namespace {

// The one window of a kind the desk keeps open; a second command raises it.
template <typename Window> Window* ownedWindow(QWidget* owner)
{
    Window* window = owner->findChild<Window*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new Window(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

int columnCaptioned(const QAbstractItemModel* model, const QString& caption)
{
    for (int column = 0; column < model->columnCount(); ++column) {
        if (model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() == caption)
            return column;
    }
    return -1;
}

} // namespace

void frmReadMain::connectInformationWindows()
{
    // Card barcodes typed into the information windows are read by the desk's barcode rules.
    ReaderLookup::setCardNormaliser(
        [](const QString& raw) { return BarcodeReadRules::current().cardNumberFromScan(raw); });
    for (QTableView* grid : {vsReader, vsBook, vsRedrBook, vsVolt, vsCopyLend, vsCopyRet})
        connect(grid, &QTableView::doubleClicked, this, &frmReadMain::openRowInformation);
}

void frmReadMain::openReaderDetail()
{
    frmRedrDetail detail(m_desk.reader.cardBarcode, this);
    detail.exec();
}

void frmReadMain::openReaderInformation()
{
    QString card;
    if (!m_desk.reader.certId.isEmpty() && ReaderPanel::validCard(m_desk.reader.certId, card) != 0) {
        LIB_DB_ShowError();
        return;
    }
    auto* window = ownedWindow<frmRedrInfo>(this);
    if (!card.isEmpty())
        window->frmRedrInfoSet(m_desk.reader.certId);
}

void frmReadMain::openItemInformation()
{
    auto* window = ownedWindow<frmBookInfo>(this);
    if (!m_desk.item.propNo.isEmpty())
        window->showItem(m_desk.item.propNo);
}

// A reader row (it names the certificate number) opens the reader window, a book row (property
// number or barcode) the item window.
void frmReadMain::openRowInformation(const QModelIndex& index)
{
    const QAbstractItemModel* model = index.model();
    auto cell = [&](const QString& caption) {
        const int column = columnCaptioned(model, caption);
        return column < 0 ? QString() : model->index(index.row(), column).data().toString();
    };
    if (const QString certId = cell(QStringLiteral("证件号")); !certId.isEmpty()) {
        ownedWindow<frmRedrInfo>(this)->frmRedrInfoSet(certId);
    } else if (const QString propNo = cell(QStringLiteral("财产号")); !propNo.isEmpty()) {
        ownedWindow<frmBookInfo>(this)->showItem(propNo);
    } else if (const QString barcode = cell(QStringLiteral("条码号")); !barcode.isEmpty()) {
        ownedWindow<frmBookInfo>(this)->showItemBarcode(barcode);
    }
}
