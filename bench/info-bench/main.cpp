// info-bench: how fast the reader and book searches answer at library scale, beside the floor of
// the same statements sent with bare client calls on the same connection. See bench/README.md.
//
// A name-prefix search is what the reader window does for a name typed into its query box: the
// quick lookup, then (several readers) the general search's statement filling its result model.
// A title-prefix search is the book search window's: the combined statement, then the first
// batch of the hit list.
#include "../scan-bench/benchdesk.h"
#include "../scan-bench/floorsession.h"
#include "../scan-bench/latency.h"
#include "db/database.h"
#include "info/bookhitsmodel.h"
#include "info/booksearch.h"
#include "info/readerlookup.h"
#include "info/readersearchmodel.h"
#include "info/readersearchquery.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <functional>

namespace {

struct Search
{
    QString kind;
    QString prefix;
    std::function<int()> run; // returns the rows found
};

int nameSearch(const QString& prefix)
{
    QStringList found;
    if (ReaderLookup::find(ReaderLookup::Name, prefix, found) != 0 || found.size() < 2)
        return int(found.size());
    ReaderSearchCriteria criteria;
    criteria.conditions.append({QStringLiteral("READER.name"), prefix});
    QString refusal;
    ResultTable rows;
    LIB_DB_Select(ReaderSearch::statement(criteria, &refusal), rows);
    ReaderSearchModel model;
    model.setResult(rows);
    return model.rowCount();
}

int titleSearch(const QString& prefix)
{
    QString refusal;
    const QString statement = BookSearch::combinedStatement(
        {{QStringLiteral("01"), BookSearch::Prefix, prefix}}, LIB_DB_SchemaFlags().longMarc, &refusal);
    QStringList found;
    BookSearch::find(statement, found);
    BookHitsModel hits(BookHitsModel::Layout::SearchHits);
    hits.setHits(found);
    return hits.hitCount();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("dsn"),
                      QStringLiteral("libpq connection string of the generated library"),
                      QStringLiteral("dsn"), QStringLiteral("dbname=library_big")});
    parser.addOption({QStringLiteral("user"), QStringLiteral("database user"), QStringLiteral("user"),
                      QStringLiteral("readdesk")});
    parser.addOption({QStringLiteral("rounds"), QStringLiteral("timed runs per search (default 5)"),
                      QStringLiteral("n"), QStringLiteral("5")});
    parser.process(app);

    BenchTarget target;
    target.connection = {parser.value(QStringLiteral("dsn")), parser.value(QStringLiteral("user")),
                         QString()};
    BenchDesk desk(target);
    QTextStream out(stdout);
    if (!desk.open()) {
        out << "info-bench: " << desk.error() << "\n";
        return 1;
    }
    FloorSession floor;
    const int rounds = parser.value(QStringLiteral("rounds")).toInt();

    QList<Search> searches;
    for (const char* name : {"李", "王", "张伟", "欧阳"})
        searches.append({QStringLiteral("name"), QString::fromUtf8(name),
                         [n = QString::fromUtf8(name)] { return nameSearch(n); }});
    for (const char* title : {"中国", "世界", "A", "ACCOUNTING"})
        searches.append({QStringLiteral("title"), QString::fromUtf8(title),
                         [t = QString::fromUtf8(title)] { return titleSearch(t); }});

    out << "| search | prefix | rows | statements | desk median ms | desk max ms | floor median ms | "
           "desk/floor |\n"
        << "|---|---|---:|---:|---:|---:|---:|---:|\n";
    DbSession& session = DbSession::current();
    for (const Search& search : searches) {
        QList<QByteArray> statements;
        session.setStatementTrace(&statements);
        const int rows = search.run(); // untimed: brings the pages into the cache, records the statements
        session.setStatementTrace(nullptr);
        floor.replay(statements);
        LatencySamples deskTimes;
        LatencySamples floorTimes;
        for (int round = 0; round < rounds; ++round) {
            // Alternating order, so that neither side always runs on the other's warm cache.
            if (round % 2)
                floorTimes.add(floor.replay(statements));
            const qint64 start = monotonicNanoseconds();
            search.run();
            deskTimes.add(monotonicNanoseconds() - start);
            if (round % 2 == 0)
                floorTimes.add(floor.replay(statements));
        }
        const LatencySummary d = deskTimes.summary();
        const LatencySummary f = floorTimes.summary();
        out << "| " << search.kind << " | " << search.prefix << " | " << rows << " | " << statements.size()
            << " | " << QString::number(d.median / 1000, 'f', 1) << " | "
            << QString::number(d.max / 1000, 'f', 1) << " | " << QString::number(f.median / 1000, 'f', 1)
            << " | " << QString::number(d.median / f.median, 'f', 2) << " |\n";
    }
    if (floor.failures() > 0)
        out << "\nfloor refusals: " << floor.failures() << " (" << floor.lastFailure() << ")\n";
    if (!desk.presenter().texts.isEmpty())
        out << "\nmessages: " << desk.presenter().texts.join(QStringLiteral(" / ")) << "\n";
    return 0;
}
