#include "loggrid.h"

#include "codes/codenames.h"
#include "db/database.h"
#include "info/bibelements.h"
#include "info/marcreader.h"
#include "latency.h"

#include <QApplication>
#include <QHash>
#include <QSet>
#include <QWidget>

namespace {

constexpr int recordsPerRead = 500;
constexpr int rowsPerBatch = 2000;

// Result columns of the reader-and-book log statement (grid order, from 0).
enum Column {
    Time,
    CertId,
    Name,
    Dept,
    PropNo,
    Barcode,
    MarcTitle,
    MarcAuthor,
    MarcPublisher,
    Price,
    CallNo,
    Location,
    Worker
};

QString logStatement(const QString& from, const QString& to)
{
    return QStringLiteral(" SELECT reader_book_stat.date_time,reader.cert_id,reader.name,reader.dept,") +
           QStringLiteral(
               "        "
               "item.prop_no,item.bar_code,item.marc_rec_no,item.marc_rec_no,item.marc_rec_no,item.price,") +
           QStringLiteral("        item.call_no,reader_book_stat.location_f,reader_book_stat.resp_wkr ") +
           QStringLiteral(" FROM   reader_book_stat,reader,item ") +
           QStringLiteral(" WHERE  reader_book_stat.cert_id=reader.cert_id ") +
           QStringLiteral(" AND    reader_book_stat.prop_no=item.prop_no ") +
           QStringLiteral(" AND    reader_book_stat.date_time >= ") + LIB_SQLQuote(from) +
           QStringLiteral(" AND    reader_book_stat.date_time <= ") + LIB_SQLQuote(to) +
           QStringLiteral(" ORDER BY reader_book_stat.date_time ");
}

struct Texts
{
    QString title, author, publisher;
};

// Measures the stretches between turns of the event loop.
class Breather
{
public:
    Breather() : m_last(monotonicNanoseconds()) {}
    void breathe()
    {
        QApplication::processEvents();
        const qint64 now = monotonicNanoseconds();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    double longestMs() const { return double(m_longest) / 1e6; }

private:
    qint64 m_last;
    qint64 m_longest = 0;
};

} // namespace

QStringList ReadingLogModel::headings()
{
    return {QStringLiteral("到达时间"), QStringLiteral("证件号"), QStringLiteral("姓名"),
            QStringLiteral("单位"),     QStringLiteral("财产号"), QStringLiteral("书刊条码号"),
            QStringLiteral("题名"),     QStringLiteral("作者"),   QStringLiteral("出版社"),
            QStringLiteral("价格"),     QStringLiteral("索书号"), QStringLiteral("馆藏地"),
            QStringLiteral("经手人")};
}

QVariant ReadingLogModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return m_rows.at(index.row()).value(index.column());
}

QVariant ReadingLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? QVariant(headings().value(section)) : QVariant(section + 1);
}

void ReadingLogModel::appendRows(QList<QStringList> rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size()) - 1);
    m_rows.append(std::move(rows));
    endInsertRows();
}

void ReadingLogModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

GridFigures fillReadingLogGrid(ReadingLogModel& model, QWidget* view, int wantedRows)
{
    GridFigures figures;
    ResultTable bounds;
    if (LIB_DB_Select(QStringLiteral("SELECT (SELECT date_time FROM reader_book_stat ORDER BY date_time DESC "
                                     "OFFSET %1 LIMIT 1), (SELECT max(date_time) FROM reader_book_stat)")
                          .arg(std::max(0, wantedRows - 1)),
                      bounds) != 0) {
        figures.failure = LIB_DB_Error().description;
        return figures;
    }
    figures.from = bounds.text(0, 2);
    figures.to = bounds.text(1, 2);
    if (figures.from.isEmpty()) // fewer rows than wanted: all of them
        figures.from = QStringLiteral("0000");

    model.clear();
    QApplication::processEvents();

    const long before = DbSession::current().roundTrips();
    if (view)
        view->setUpdatesEnabled(false);
    const qint64 start = monotonicNanoseconds();
    const qint64 startCpu = processorNanoseconds();
    Breather breather;

    ResultTable rows;
    LIB_DB_CurrentStatement() = logStatement(figures.from, figures.to);
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0) {
        figures.failure = LIB_DB_Error().description;
        if (view)
            view->setUpdatesEnabled(true);
        return figures;
    }
    const qint64 queried = monotonicNanoseconds();
    const qint64 queriedCpu = processorNanoseconds();
    breather.breathe();

    // Each record once, read in sets; its three texts taken once.
    QStringList numbers;
    QSet<QString> seen;
    for (int r = 2; r < rows.recordCount() + 2; ++r) {
        const QString number = rows.text(MarcTitle, r);
        if (!number.isEmpty() && !seen.contains(number)) {
            seen.insert(number);
            numbers.append(number);
        }
    }
    // In number order, the records of one statement lie close together in the tables, so that
    // the server reads far fewer pages than for numbers in the order of the log.
    numbers.sort();
    QHash<QString, Texts> texts;
    for (qsizetype from = 0; from < numbers.size(); from += recordsPerRead) {
        QHash<QString, MarcRecord> records;
        if (MarcReader::readMany(numbers.mid(from, recordsPerRead), records) != 0) {
            figures.failure = LIB_DB_Error().description;
            if (view)
                view->setUpdatesEnabled(true);
            return figures;
        }
        for (auto it = records.cbegin(); it != records.cend(); ++it)
            texts.insert(it.key(), {LIB_GetBibElement(it.value(), BibTitle),
                                    LIB_GetBibElement(it.value(), BibResponsible),
                                    LIB_GetBibElement(it.value(), BibPublisher)});
        breather.breathe();
    }
    const qint64 read = monotonicNanoseconds();
    const qint64 readCpu = processorNanoseconds();

    QHash<QString, QString> locationNames; // a handful of codes on many rows
    QList<QStringList> batch;
    for (int r = 2; r < rows.recordCount() + 2; ++r) {
        const Texts t = texts.value(rows.text(MarcTitle, r));
        QStringList cells;
        cells.reserve(13);
        for (int c = 0; c < 13; ++c)
            cells << rows.text(c, r);
        cells[MarcTitle] = t.title;
        cells[MarcAuthor] = t.author;
        cells[MarcPublisher] = t.publisher;
        auto name = locationNames.constFind(cells[Location]);
        if (name == locationNames.cend())
            name = locationNames.insert(cells[Location], LIB_LocationName(cells[Location]));
        cells[Location] = name.value();
        batch.append(cells);
        if (batch.size() == rowsPerBatch) {
            model.appendRows(std::move(batch));
            batch.clear();
            breather.breathe();
        }
    }
    model.appendRows(std::move(batch));
    if (view)
        view->setUpdatesEnabled(true);
    breather.breathe();
    const qint64 end = monotonicNanoseconds();
    const qint64 endCpu = processorNanoseconds();

    figures.rows = model.rowCount();
    figures.records = int(texts.size());
    figures.queryMs = double(queried - start) / 1e6;
    figures.recordsMs = double(read - queried) / 1e6;
    figures.fillMs = double(end - read) / 1e6;
    figures.totalMs = double(end - start) / 1e6;
    figures.queryProcessorMs = double(queriedCpu - startCpu) / 1e6;
    figures.recordsProcessorMs = double(readCpu - queriedCpu) / 1e6;
    figures.fillProcessorMs = double(endCpu - readCpu) / 1e6;
    figures.longestStallMs = breather.longestMs();
    figures.statements = DbSession::current().roundTrips() - before;
    return figures;
}
