#include "readinglogtitles.h"

#include "db/dbsession.h"
#include "info/bibelements.h"
#include "info/marcreader.h"

#include <QMutex>
#include <algorithm>
#include <thread>

namespace {

constexpr int recordsPerRead = 500; // one statement of the MARC reader

struct Texts
{
    QString title, author, publisher;
};

} // namespace

bool ReadingLogTitles::read(ReadingLogRows& rows)
{
    // The rows in record-number order give the distinct numbers, sorted, and each row's place
    // among them, without hashing 100,000 numbers; the keys sit beside their row numbers, so
    // that sorting does not wander through the rows.
    std::vector<std::pair<QStringView, int>> order;
    order.reserve(rows.size());
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (!rows.at(r).marcRecNo.isEmpty())
            order.emplace_back(rows.at(r).marcRecNo, int(r));
    }
    std::sort(order.begin(), order.end());
    QStringList numbers;
    QList<int> numberOfRow(rows.size(), -1);
    for (const auto& [number, r] : order) {
        if (numbers.isEmpty() || numbers.constLast() != number)
            numbers.append(rows.at(r).marcRecNo);
        numberOfRow[r] = int(numbers.size()) - 1;
    }
    m_records = int(numbers.size());

    const int sets = int((numbers.size() + recordsPerRead - 1) / recordsPerRead);
    QList<Texts> texts(numbers.size());
    Texts* const out = texts.data(); // written by every thread, each set its own range
    std::atomic_int nextSet{0};
    std::atomic_int setsDone{0};
    std::atomic_bool stop{false};
    QMutex failureLock;
    // Each thread takes the next set until none is left; the sets write disjoint ranges of texts.
    auto readSets = [&](DbSession* session) {
        DbSession::setCurrent(session);
        for (int set = nextSet++; set < sets && !stop && !m_cancel; set = nextSet++) {
            const qsizetype first = qsizetype(set) * recordsPerRead;
            const QStringList chunk = numbers.mid(first, recordsPerRead);
            QHash<QString, MarcRecord> records;
            if (MarcReader::readMany(chunk, records) != 0) {
                const QMutexLocker lock(&failureLock);
                if (!m_failed)
                    m_failed = session;
                stop = true;
                return;
            }
            for (qsizetype i = 0; i < chunk.size(); ++i) {
                const auto found = records.constFind(chunk.at(i));
                if (found != records.cend())
                    out[first + i] = {LIB_GetBibElement(*found, BibTitle),
                                      LIB_GetBibElement(*found, BibResponsible),
                                      LIB_GetBibElement(*found, BibPublisher)};
            }
            if (m_progress)
                m_progress(++setsDone, sets);
        }
    };
    DbSession* own = &DbSession::current();
    std::vector<std::thread> helpers;
    for (qsizetype s = 1; s < m_sessions.size() && s < sets; ++s)
        helpers.emplace_back(readSets, m_sessions.at(s));
    readSets(m_sessions.value(0, own));
    for (std::thread& helper : helpers)
        helper.join();
    DbSession::setCurrent(own);
    if (m_failed)
        return false;

    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (numberOfRow.at(r) < 0)
            continue;
        const Texts& t = texts.at(numberOfRow.at(r));
        std::array<QString, ReadingLogModel::ColumnCount>& cells = rows[r].cells;
        cells[ReadingLogModel::Title] = t.title;
        cells[ReadingLogModel::Author] = t.author;
        cells[ReadingLogModel::Publisher] = t.publisher;
    }
    return true;
}
