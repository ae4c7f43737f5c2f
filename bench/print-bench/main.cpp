// print-bench: the print designer opened on a large hand-over (time until the grid has painted,
// resident memory), beside the floor of building the same table; and the file exports of the
// same rows. No database is needed.
//
//   QT_QPA_PLATFORM=offscreen build/bin/print-bench [rows] [--pdf file]
#include "print/accessdatabase.h"
#include "print/frmFlexPrint.h"
#include "print/printdesigner.h"
#include "print/printhandover.h"
#include "print/workbookexport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {

// Resident and peak resident memory of this process in MB.
QPair<double, double> memoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    double rss = 0;
    double peak = 0;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2 && parts.at(0) == "VmRSS:")
                rss = parts.at(1).toDouble() / 1024;
            if (parts.size() >= 2 && parts.at(0) == "VmHWM:")
                peak = parts.at(1).toDouble() / 1024;
        }
    return {rss, peak};
}

// A reading log of `rows` rows and twelve columns, the last one hidden.
void fillHandover(int rows)
{
    PrintHandover& h = PrintHandover::instance();
    h.reset(QStringLiteral("阅览日志"));
    h.setHeadingLine(0, QStringLiteral("阅览日志"));
    h.setHeadingLine(1, QStringLiteral("起始日期：2026-01-01  终止日期：2026-12-31"));
    h.setHeadingLine(4, QStringLiteral("制表日期：2026-12-31"));
    h.setHeadingLine(5, QStringLiteral("制表人：A001"));
    h.setHeadingLine(6, QStringLiteral("总计： %1 条").arg(rows));
    h.setHeadings({"序号", "证件号", "姓名", "单位", "条码号", "题名", "责任者", "索书号", "阅览室", "时间",
                   "操作员", "记录号"});
    QList<QStringList> table;
    table.reserve(rows);
    for (int r = 1; r <= rows; ++r)
        table.append({QString::number(r), QStringLiteral("D%1").arg(r % 1000000, 7, 10, QLatin1Char('0')),
                      QStringLiteral("读者%1").arg(r % 5000), QStringLiteral("计算机学院"),
                      QStringLiteral("B%1").arg(r, 7, 10, QLatin1Char('0')),
                      QStringLiteral("数据结构与算法分析第%1版").arg(r % 9), QStringLiteral("严蔚敏"),
                      QStringLiteral("TP311.12/%1").arg(r % 300), QStringLiteral("第一阅览室"),
                      QStringLiteral("2026-03-%1 10:%2:00")
                          .arg(r % 28 + 1, 2, 10, QLatin1Char('0'))
                          .arg(r % 60, 2, 10, QLatin1Char('0')),
                      QStringLiteral("A001"), QString::number(r % 300000)});
    h.setRows(std::move(table));
    h.setColumnHidden(11, true);
}

// The floors of the exports: the same texts (already UTF-8) written with bare library calls.
qint64 bareWorkbookMs(const QList<QList<QByteArray>>& rows, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "ExportData");
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), rows.at(r).at(c).constData(), nullptr);
    workbook_close(workbook);
    return timer.elapsed();
}

qint64 bareDatabaseMs(const QList<QList<QByteArray>>& rows, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    QByteArray fields;
    QByteArray marks;
    for (int c = 0; c < rows.first().size(); ++c) {
        fields += (c ? ",c" : "c") + QByteArray::number(c);
        marks += c ? ",?" : "?";
    }
    sqlite3_exec(db, QByteArray("CREATE TABLE t(" + fields + ")").constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, QByteArray("insert into t(" + fields + ") values(" + marks + ")").constData(), -1,
                       &insert, nullptr);
    for (const QList<QByteArray>& row : rows) {
        for (int c = 0; c < row.size(); ++c)
            sqlite3_bind_text(insert, c + 1, row.at(c).constData(), int(row.at(c).size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return timer.elapsed();
}

class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rows = args.size() > 1 && args.at(1).toInt() > 0 ? args.at(1).toInt() : 100000;
    QTextStream out(stdout);
    const double baseMb = memoryMb().first;

    QElapsedTimer timer;
    timer.start();
    fillHandover(rows);
    const qint64 floorMs = timer.elapsed();
    const double tableMb = memoryMb().first - baseMb;

    timer.restart();
    frmFlexPrint* designer = LIB_PrintDesigner(nullptr);
    PaintWatch watch;
    designer->grid()->viewport()->installEventFilter(&watch);
    designer->show();
    while (!watch.painted)
        app.processEvents(QEventLoop::AllEvents, 10);
    const qint64 designerMs = timer.elapsed();
    const auto [rss, peak] = memoryMb();

    out << "rows " << rows << ", 12 columns (1 hidden)\n";
    out << "floor: hand-over table built          " << floorMs << " ms, " << qRound(tableMb) << " MB\n";
    out << "designer shown, grid painted          " << designerMs << " ms\n";
    out << "process memory after showing          " << qRound(rss) << " MB resident, peak " << qRound(peak)
        << " MB\n";
    out.flush();

    // The exports of the designer's table (its visible columns).
    QTemporaryDir dir;
    const PrintTableModel& model = designer->model();
    QSet<int> hidden;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.isColumnHidden(c))
            hidden.insert(c);
    const QList<ExportColumn> columns = LIB_ExportColumns(model, hidden);
    int ticks = 0;
    const ExportProgress progress = [&ticks](int) { return ++ticks > 0; };
    timer.restart();
    const int workbook =
        LIB_WriteWorkbook(dir.filePath("rows.xlsx"), model, columns, QStringLiteral("阅览日志"),
                          QStringLiteral("起始日期：2026-01-01"), progress);
    const qint64 workbookMs = timer.elapsed();
    timer.restart();
    AccessDatabase database(dir.filePath("rows.db"));
    const int added = database.create() == 0 && database.createTable(QStringLiteral("日志"), columns) == 0
                          ? database.insertRows(QStringLiteral("日志"), model, columns, 0, progress)
                          : -1;
    const qint64 databaseMs = timer.elapsed();
    QList<QList<QByteArray>> texts;
    texts.reserve(model.rowCount());
    for (int r = 0; r < model.rowCount(); ++r) {
        QList<QByteArray> row;
        for (const ExportColumn& column : columns)
            row.append(model.cell(r, column.index).toUtf8());
        texts.append(row);
    }
    out << "workbook (.xlsx) of every row          " << workbookMs << " ms (" << workbook << "); floor, bare "
        << "libxlsxwriter " << bareWorkbookMs(texts, dir.filePath("bare.xlsx")) << " ms\n";
    out << "database file (SQLite) of every row    " << databaseMs << " ms (" << added << " records); floor, "
        << "bare prepared inserts " << bareDatabaseMs(texts, dir.filePath("bare.db")) << " ms\n";
    out.flush();

    const int pdf = args.indexOf(QStringLiteral("--pdf"));
    if (pdf > 0 && pdf + 1 < args.size()) {
        timer.restart();
        const int printed = LIB_PrintHandoverToPdf(args.at(pdf + 1));
        out << "PDF of every row                      " << timer.elapsed() << " ms (" << printed << ")\n";
    }
    return 0;
}
