// The designer's logic without windows: text, HTML, XML and PDF output, templates, slips,
// sorting and the progress texts.
#include "print/printexport.h"
#include "print/printlayout.h"
#include "print/printpages.h"
#include "print/printtablemodel.h"
#include "print/printtemplateapply.h"
#include "print/printtemplates.h"
#include "print/progresstext.h"
#include "print/slips.h"
#include "printfixture.h"
#include "support/testfiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestPrintDesign : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    PrintHandover handover;

    QString path(const QString& name) const { return dir.filePath(name); }

private Q_SLOTS:
    void init() { fillReadingLog(handover); }

    // Each output leaves out the column the caller hid; the text export is the fixed layout.
    void hiddenColumnNeverLeaves_data()
    {
        QTest::addColumn<QString>("format");
        for (const char* format : {"txt", "html", "xml", "pdf"})
            QTest::newRow(format) << QString::fromLatin1(format);
    }
    void hiddenColumnNeverLeaves()
    {
        QFETCH(QString, format);
        PrintTableModel model;
        model.load(handover);
        // The operator cannot bring back a column the caller hid, nor can a template.
        model.setColumnHidden(2, false);
        QList<PrintColumn> columns = model.columns();
        columns[2].hidden = false;
        model.setColumns(columns);
        const PrintLayout layout = PrintLayout::fromHeadingLines(handover.headingLines());
        const QString file = path("hidden." + format);
        int written = -1;
        if (format == "txt")
            written = PrintExport::writeText(model, layout, file);
        else if (format == "html")
            written = PrintExport::writeHtml(model, layout, QStringLiteral("阅览日志"), file);
        else if (format == "xml")
            written = PrintExport::writeXml(model, layout, QStringLiteral("阅览日志"), file);
        else
            written = LIB_PrintToPdf(model, layout, file);
        QCOMPARE(written, 0);
        if (format == "txt")
            QCOMPARE(readFile(file), readFile(QStringLiteral(PRINT_TEST_DATA "/reading-log.txt")));
        const QString text = format == "pdf" ? pdfText(file) : QString::fromUtf8(readFile(file));
        QVERIFY(text.contains(QStringLiteral("红楼梦")));
        QVERIFY(text.contains(QStringLiteral("12.50")));
        QVERIFY(!text.contains(QStringLiteral("秘密")));
        QVERIFY(!text.contains(QStringLiteral("读者")));
    }

    void pdfOfManyRowsHasEveryPageFooter()
    {
        handover.setRows({});
        for (int r = 1; r <= 2000; ++r)
            handover.appendRow({QString::number(r), QStringLiteral("题名%1").arg(r), QStringLiteral("秘密"),
                                QStringLiteral("%1.00").arg(r)});
        PrintTableModel model;
        model.load(handover);
        const PrintLayout layout = PrintLayout::fromHeadingLines(handover.headingLines());
        QCOMPARE(LIB_PrintToPdf(model, layout, path("many.pdf")), 0);
        QStringList pages = pdfText(path("many.pdf")).split(QLatin1Char('\f'));
        if (pages.last().trimmed().isEmpty())
            pages.removeLast();
        QVERIFY(pages.size() > 10);
        for (int n = 1; n <= pages.size(); ++n)
            QVERIFY2(pages.at(n - 1).contains(PrintPages::footer(n, int(pages.size()))),
                     qPrintable(QString::number(n)));
        for (const QString& line : handover.headingLines())
            QVERIFY2(pages.first().contains(line), qPrintable(line));
        const QString all = pages.join(QString());
        for (int r : {1, 999, 2000})
            QVERIFY(all.contains(QRegularExpression(QStringLiteral("\\b%1\\s+题名%1\\s+%1\\.00").arg(r))));
    }

    // The page record chooses paper and orientation; merged columns print a run once.
    void pageSettingsAndMergedRunsReachThePdf_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<bool>("merged");
        QTest::addColumn<QString>("pageSize"); // points, as pdfinfo rounds them
        QTest::addColumn<int>(
            "roomShown"); // "阅览室" in the page: twice in heading line 3, then per row or run
        QTest::newRow("A4 portrait") << "1;9;15;15;15;15" << false << "595 x 842" << 8;
        QTest::newRow("A4 landscape, merged") << "2;9;10;10;10;10" << true << "842 x 595" << 4;
        QTest::newRow("A3") << "1;8;20;20;20;20" << false << "842 x 1191" << 8;
        QTest::newRow("bad record") << "x;;-3" << false << "595 x 842" << 8;
    }
    void pageSettingsAndMergedRunsReachThePdf()
    {
        QFETCH(QString, record);
        QFETCH(bool, merged);
        QFETCH(QString, pageSize);
        handover.setRows({});
        for (int r = 1; r <= 6; ++r)
            handover.appendRow({QString::number(r), QStringLiteral("题名%1").arg(r), QString(),
                                r <= 4 ? QStringLiteral("第一阅览室") : QStringLiteral("第二阅览室")});
        PrintTableModel model;
        model.load(handover);
        model.changeColumn(3, [merged](PrintColumn& c) { c.merged = merged; });
        PrintLayout layout = PrintLayout::fromHeadingLines(handover.headingLines());
        layout.page = PageSettings::fromRecord(record);
        QCOMPARE(LIB_PrintToPdf(model, layout, path("page.pdf")), 0);
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path("page.pdf")});
        QVERIFY(info.waitForFinished(60000));
        const QRegularExpressionMatch size =
            QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
                .match(QString::fromUtf8(info.readAllStandardOutput()));
        QVERIFY(size.hasMatch());
        QCOMPARE(QStringLiteral("%1 x %2")
                     .arg(qRound(size.captured(1).toDouble()))
                     .arg(qRound(size.captured(2).toDouble())),
                 pageSize);
        QTEST(int(pdfText(path("page.pdf")).count(QStringLiteral("阅览室"))), "roomShown");
    }

    void templateIsFoundUnderItsReportOnly()
    {
        PrintTableModel model;
        model.load(handover);
        QList<PrintColumn> columns = model.columns();
        columns.move(3, 0);
        columns[0].width = 77;
        columns[0].alignment = Qt::AlignRight | Qt::AlignVCenter;
        columns[0].font = QStringLiteral("WenQuanYi Micro Hei,12,-1,5,700,0,0,0,0,0,0,0,0,0,0,1");
        columns[0].color = QStringLiteral("#ff0000");
        columns[0].sortChoice = PrintColumn::Descending;
        columns[1].heading = QStringLiteral("序号");
        columns[1].merged = true;
        columns[1].textStyle = PrintColumn::Raised;
        columns[2].hidden = true; // 题名, deleted by the operator
        PrintLayout layout = PrintLayout::fromHeadingLines(handover.headingLines());
        layout.labels[1].hidden = true;
        layout.labels[2].color = QStringLiteral("#0000ff");
        layout.labels[2].pos = QPointF(120, 44);
        layout.labels.append(
            {QStringLiteral("插入的文字"), QString(), QString(), false, false, QPointF(300, 10)});
        layout.page = PageSettings::fromRecord(QStringLiteral("2;8;10;12;14;16"));
        layout.gridLines = false;
        const QString cfg = dir.filePath("CFG/");
        QCOMPARE(PrintTemplates::save(cfg, QStringLiteral("阅览日志"), {columns, layout}), 0);
        QCOMPARE(QString::fromUtf8(readFile(PrintTemplates::itemsPath(cfg, QStringLiteral("阅览日志")))),
                 QStringLiteral("输出项|列宽|打印|排序|\r\n金额|77|-1|2|\r\n序号|100|-1|0|\r\n"
                                "题名|100|0|0|\r\n读者|100|0|0|\r\n"));

        // New data of the same report: the arrangement comes back, the heading texts are today's.
        handover.setHeadingLine(4, QStringLiteral("制表日期：2026-03-01"));
        PrintTableModel fresh;
        fresh.load(handover);
        PrintLayout freshLayout = PrintLayout::fromHeadingLines(handover.headingLines());
        QCOMPARE(LIB_ApplyPrintTemplate(fresh, freshLayout, cfg, QStringLiteral("统计报表")), 0);
        QCOMPARE(LIB_ApplyPrintTemplate(fresh, freshLayout, cfg, QStringLiteral("阅览日志")), 1);
        QCOMPARE(fresh.columnCount(), 4);
        for (int c = 0; c < 4; ++c) {
            const PrintColumn& got = fresh.column(c);
            const PrintColumn& want = columns.at(c);
            QCOMPARE(got.source, want.source);
            QCOMPARE(got.heading, want.heading);
            QCOMPARE(got.width, want.width);
            QCOMPARE(got.alignment, want.alignment);
            QCOMPARE(got.font, want.font);
            QCOMPARE(got.color, want.color);
            QCOMPARE(got.hidden, want.hidden || c == 3);
            QCOMPARE(got.merged, want.merged);
            QCOMPARE(got.textStyle, want.textStyle);
        }
        QCOMPARE(fresh.cell(0, 0), QStringLiteral("12.50")); // sorted by 金额, descending
        QCOMPARE(freshLayout.labels.size(), layout.labels.size());
        QVERIFY(freshLayout.labels.at(1).hidden);
        QCOMPARE(freshLayout.labels.at(2).color, QStringLiteral("#0000ff"));
        QCOMPARE(freshLayout.labels.at(2).pos, QPointF(120, 44));
        QCOMPARE(freshLayout.labels.at(4).text, QStringLiteral("制表日期：2026-03-01"));
        QCOMPARE(freshLayout.labels.at(7).text, QStringLiteral("插入的文字"));
        QCOMPARE(freshLayout.page.record(), QStringLiteral("2;8;10;12;14;16"));
        QVERIFY(!freshLayout.gridLines);
    }

    void sortOrdersNumbersByValueAndTextInChineseOrder_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ascending") << int(Qt::AscendingOrder)
                                   << QStringList{"9", "10", "阿姨", "波浪", "车站"};
        QTest::newRow("descending") << int(Qt::DescendingOrder)
                                    << QStringList{"车站", "波浪", "阿姨", "10", "9"};
    }
    void sortOrdersNumbersByValueAndTextInChineseOrder()
    {
        QFETCH(int, order);
        PrintHandover h;
        h.setHeadings({QStringLiteral("值")});
        for (const char* value : {"波浪", "10", "车站", "9", "阿姨"})
            h.appendRow({QString::fromUtf8(value)});
        PrintTableModel model;
        model.load(h);
        model.sortByColumn(0, Qt::SortOrder(order));
        QStringList shown;
        for (int r = 0; r < model.rowCount(); ++r)
            shown.append(model.cell(r, 0));
        QTEST(shown, "expected");
    }

    void slipFillsItsTemplateOrFallsBack_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("field");  // a field of the kind with the value "值"
        QTest::addColumn<QString>("filled"); // how the template shows it
        const QList<QStringList> kinds{{"RedrAsback", "催还通知单", "要求还书日期"},
                                       {"StopAsback", "催还通知单", "原还书日期"},
                                       {"OverAsback", "到期提醒通知单", "应还书日期"},
                                       {"RetAsback", "到期提醒通知单", "催还日期"},
                                       {"ExceedFine", "超期罚款", "实罚款额"},
                                       {"Lend", "读者借阅单", "附件"},
                                       {"Ret", "读者还书单", "超期天数"},
                                       {"money", "读者缴费单", "缴费项目"},
                                       {"Recoup", "遗失赔偿单", "出版社"}};
        for (const QStringList& k : kinds)
            QTest::newRow(qPrintable(k.at(0))) << k.at(0) << k.at(1) << k.at(2) << k.at(2) + "：值";
        // clang-format off
        QTest::newRow("money amount") << "money" << "读者缴费单" << "金额" << "金额：12.50";
        QTest::newRow("compensation way") << "Recoup" << "遗失赔偿单" << "方式" << "方式：赔钱";
        QTest::newRow("compensation total") << "Recoup" << "遗失赔偿单" << "总额" << "【赔偿额 + 技术费 + 人工费 + 超期额】：值";
        // clang-format on
    }
    void slipFillsItsTemplateOrFallsBack()
    {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QFETCH(QString, field);
        QFETCH(QString, filled);
        QMap<QString, QString> data{{QStringLiteral("姓名"), QStringLiteral("张三")},
                                    {QStringLiteral("图书馆"), QStringLiteral("示范图书馆")},
                                    {QStringLiteral("经手人"), QStringLiteral("A001")},
                                    {QStringLiteral("单据日期"), QStringLiteral("2026-02-01")},
                                    {field, QStringLiteral("值")}};
        if (field == "金额")
            data[field] = QStringLiteral("12.5");
        if (field == "方式")
            data[field] = QStringLiteral("2");
        const QString fromTemplate = LIB_SlipText(kind, data, QStringLiteral(READDESK_RUNTIME_DIR "/CFG/"));
        QVERIFY2(fromTemplate.contains(filled), qPrintable(fromTemplate));
        QVERIFY(fromTemplate.contains(QStringLiteral("姓名：张三")));
        QVERIFY(!fromTemplate.contains(QLatin1Char('[')));
        QVERIFY(fromTemplate.contains(QStringLiteral("示范图书馆")) &&
                !fromTemplate.contains(QStringLiteral("图书馆：")));
        if (kind == "ExceedFine" || kind == "Lend" || kind == "Ret" || kind == "money" || kind == "Recoup")
            QVERIFY(fromTemplate.contains(QStringLiteral("A001")) &&
                    fromTemplate.contains(QStringLiteral("2026-02-01")));

        const QString fixed = LIB_SlipText(kind, data, dir.filePath("no-such-CFG/"));
        QVERIFY(fixed.startsWith(title + "\n"));
        QVERIFY2(fixed.contains(QStringLiteral("【姓    名】：张三\n")), qPrintable(fixed));
        QVERIFY(fixed.contains(filled.contains("【") ? filled : filled.section("：", 1)));
    }

    void slipPrintsToPdf()
    {
        const QMap<QString, QString> data{{QStringLiteral("姓名"), QStringLiteral("张三")},
                                          {QStringLiteral("实罚款额"), QStringLiteral("1.50")},
                                          {QStringLiteral("单据日期"), QStringLiteral("2026-02-01")}};
        QCOMPARE(LIB_PrintSlipToPdf(QStringLiteral("ExceedFine"), data, path("slip.pdf")), 0);
        const QString text = pdfText(path("slip.pdf"));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("姓\\s*名】?：张三"))), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("1.50")));
    }

    void progressTexts_data()
    {
        QTest::addColumn<qint64>("maximum");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<QString>("count");
        // clang-format off
        QTest::newRow("not started") << qint64(100) << qint64(0) << 5.0 << "00:00:00" << "总计 100条, 现 0条";
        QTest::newRow("a quarter") << qint64(100) << qint64(25) << 10.0 << "00:00:30" << "总计 100条, 现 25条";
        QTest::newRow("hours") << qint64(100000) << qint64(1000) << 60.0 << "01:39:00" << "总计 100000条, 现 1000条";
        QTest::newRow("done") << qint64(10) << qint64(10) << 3.0 << "00:00:00" << "总计 10条, 现 10条";
        // clang-format on
    }
    void progressTexts()
    {
        QFETCH(qint64, maximum);
        QFETCH(qint64, value);
        QFETCH(double, elapsed);
        QTEST(LIB_ProgressRemaining(0, maximum, value, elapsed), "remaining");
        QTEST(LIB_ProgressCountLine(maximum, value), "count");
    }
};

QTEST_MAIN(TestPrintDesign)
#include "tst_printdesign.moc"
