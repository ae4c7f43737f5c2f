// print-bench: the print designer opened on a large hand-over (time until the grid has painted,
// resident memory), beside the floor of building the same table; and the file exports of the
// same rows. No database is needed.
//
//   QT_QPA_PLATFORM=offscreen build/bin/print-bench [rows] [--pdf file]
#include "print/frmFlexPrint.h"
#include "print/printdesigner.h"
#include "print/printhandover.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTextStream>
#include <cstdio>

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

    const int pdf = args.indexOf(QStringLiteral("--pdf"));
    if (pdf > 0 && pdf + 1 < args.size()) {
        timer.restart();
        const int printed = LIB_PrintHandoverToPdf(args.at(pdf + 1));
        out << "PDF of every row                      " << timer.elapsed() << " ms (" << printed << ")\n";
    }
    return 0;
}
