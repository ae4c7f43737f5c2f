#include "itemlookup.h"

#include "codes/codenames.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "info/bibelements.h"
#include "info/isbnform.h"
#include "info/marcindexparams.h"
#include "info/marcreader.h"
#include "info/marcvalue.h"

namespace {

// The index group that names the ISBN field of each MARC type.
constexpr int isbnIndexGroup = 5;

QString isbnOf(const MarcRecord& record)
{
    if (record.isEmpty())
        return {};
    const QString isbnField = MarcIndexParameters::instance().fieldSpec(record.type(), isbnIndexGroup);
    return LIB_IsbnForm(LIB_GetMarcValue(record, isbnField));
}

} // namespace

ItemDetails itemFromLookupRow(const ResultTable& rows, int row)
{
    using namespace ItemLookupColumn;
    ItemDetails item;
    item.propNo = rows.text(PropNo, row);
    item.marcRecNo = rows.text(MarcRecNo, row);
    item.location = rows.text(Location, row);
    item.callNo = rows.text(CallNo, row);
    item.barcode = rows.text(Barcode, row);
    item.statusCode = rows.text(StatusCode, row);
    item.lendFlag = rows.text(LendFlag, row);
    item.attachment = rows.text(Attachment, row);
    item.lendGrade = rows.text(LendGrade, row);
    item.circTypeCode = rows.text(CircType, row);
    item.price = rows.number(Price, row);
    item.priced = rows.hasNumber(Price, row);
    return item;
}

QString itemLookupStatement(const QString& code)
{
    return QStringLiteral(
               "SELECT item.prop_no, item.marc_rec_no, item.location, item.call_no, item.bar_code, "
               "item.book_stat_code, item.book_lend_flag, item.attachment, call_no_lst.lend_grd, "
               "call_no_lst.circ_type_code, item.price FROM item, call_no_lst WHERE item.bar_code = ") +
           LIB_SQLQuote(code) + QStringLiteral(" AND call_no_lst.call_no = item.call_no");
}

int lookUpDeskItem(const QString& scannedCode, const QString& deskLocation, ItemDetails& item)
{
    const QString code = scannedCode.trimmed().toUpper();
    ResultTable rows;
    LIB_DB_CurrentStatement() = itemLookupStatement(code);
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    if (rows.recordCount() < 1) {
        LIB_ShowMsg(QStringLiteral("ELT130"));
        return -1;
    }
    const QString location = rows.text(2, 2);
    if (location != deskLocation) {
        // Books of other locations are never counted here.
        LIB_ShowMsg(QStringLiteral("ELT111") + LIB_LocationName(location));
        return -1;
    }
    item = itemFromLookupRow(rows);
    return 0;
}

int readItemTexts(ItemDetails& item, const ItemDetails& known)
{
    if (known.textsRead && !item.marcRecNo.isEmpty() && known.marcRecNo == item.marcRecNo) {
        item.title = known.title;
        item.author = known.author;
        item.publisher = known.publisher;
        item.isbn = known.isbn;
        item.textsRead = true;
        return 0;
    }
    item.title = item.author = item.publisher = item.isbn = QString();
    MarcRecord record;
    if (MarcReader::read(item.marcRecNo, record) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    item.title = LIB_GetBibElement(record, BibTitle);
    item.author = LIB_GetBibElement(record, BibResponsible);
    item.publisher = LIB_GetBibElement(record, BibPublisher);
    item.isbn = isbnOf(record);
    item.textsRead = true;
    return 0;
}

QList<ItemPanelLine> itemPanelLines(const ItemDetails& item)
{
    return {
        {QStringLiteral("题  名"), item.title},  {QStringLiteral("财产号"), item.propNo},
        {QStringLiteral("索书号"), item.callNo}, {QStringLiteral("责任者"), item.author},
        {QStringLiteral("ISBN号"), item.isbn},   {QStringLiteral("出版社"), item.publisher},
    };
}
