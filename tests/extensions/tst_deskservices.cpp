// The desk's small services: the find window walking the grids of the open windows, the help
// command, and the general certificate window asking a certificate service run by the test.
#include "extensions/frmFindText.h"
#include "extensions/frmGeneralInfo.h"
#include "extensions/helpcontents.h"
#include "startup/environment.h"
#include "startup/profilefile.h"
#include "support/recordingpresenter.h"
#include "support/scriptedservice.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {

// A window named `name` holding one grid per table of texts.
std::unique_ptr<QWidget> windowWithGrids(const char* name, const QList<QList<QStringList>>& tables)
{
    auto window = std::make_unique<QWidget>();
    window->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(window.get());
    for (int g = 0; g < tables.size(); ++g) {
        auto* model = new QStandardItemModel(window.get());
        for (const QStringList& row : tables.at(g)) {
            QList<QStandardItem*> cells;
            for (const QString& text : row)
                cells << new QStandardItem(text);
            model->appendRow(cells);
        }
        auto* grid = new QTableView(window.get());
        grid->setObjectName(QStringLiteral("%1.%2").arg(QLatin1String(name)).arg(g));
        grid->setModel(model);
        layout->addWidget(grid);
    }
    window->show();
    return window;
}

// A service reply written with "|" for character 31, "~" for 30 and "#" for 29.
QByteArray reply(const char* text)
{
    return QByteArray(text).replace('|', '\x1f').replace('~', '\x1e').replace('#', '\x1d');
}

} // namespace

class TestDeskServices : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    RecordingPresenter* presenter = nullptr;
    ScriptedService service;
    std::unique_ptr<QWidget> first;
    std::unique_ptr<QWidget> second;

    QString hitText; // the grid and cell that last became current, "grid:row:column"

    // Enter in the find window: the current hit, or the message shown.
    QString clickFindNext()
    {
        presenter->clear();
        hitText.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        return presenter->boxes.isEmpty() ? hitText : presenter->lastText();
    }

    void forgetCurrentCells()
    {
        for (QWidget* w : {first.get(), second.get()}) {
            for (QTableView* grid : w->findChildren<QTableView*>())
                grid->setCurrentIndex({});
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        Environment::instance().setProgramDirectory(home.path());
        presenter = RecordingPresenter::install();
        // The first window: a grid with a hidden third column, and a second grid.
        first = windowWithGrids("first", {{{"cab", "x", "ab"}, {"ab", "AB", "ab"}}, {{"ab"}}});
        first->findChild<QTableView*>("first.0")->setColumnHidden(2, true);
        second = windowWithGrids("second", {{{"zab"}}});
        for (QWidget* w : {first.get(), second.get()}) {
            for (QTableView* grid : w->findChildren<QTableView*>()) {
                connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
                        [this, grid](const QModelIndex& index) {
                            hitText = QStringLiteral("%1:%2:%3")
                                          .arg(grid->objectName())
                                          .arg(index.row())
                                          .arg(index.column());
                        });
            }
        }
    }

    // Each click (Enter in the find box) selects the next hit; after the last grid the end message,
    // then the walk starts again; "=text" changes the text between clicks. Options: "whole", "case", "back";
    // scope "all", "window" or "grid" (the second grid of the first window is its active control).
    void findWalksTheGrids_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QStringList>("clicks");
        const QString done = QStringLiteral("已搜索指定区域！");
        QTest::newRow("contains") << "ab" << QStringList() << "all"
                                  << QStringList{"first.0:0:0",  "first.0:1:0", "first.0:1:1", "first.1:0:0",
                                                 "second.0:0:0", done,          "first.0:0:0"};
        QTest::newRow("whole cell") << "ab" << QStringList{"whole"} << "all"
                                    << QStringList{"first.0:1:0", "first.0:1:1", "first.1:0:0", done};
        QTest::newRow("whole cell, case")
            << "AB" << QStringList{"whole", "case"} << "all" << QStringList{"first.0:1:1", done};
        QTest::newRow("backwards") << "ab" << QStringList{"back"} << "all"
                                   << QStringList{"first.0:1:1", "first.0:1:0",  "first.0:0:0",
                                                  "first.1:0:0", "second.0:0:0", done};
        // The second window's "zab" would be the next hit.
        QTest::newRow("current window")
            << "ab" << QStringList() << "window"
            << QStringList{"first.0:0:0", "first.0:1:0", "first.0:1:1", "first.1:0:0", done};
        QTest::newRow("current grid") << "ab" << QStringList() << "grid" << QStringList{"first.1:0:0", done};
        QTest::newRow("changed text restarts")
            << "ab" << QStringList() << "all"
            << QStringList{"first.0:0:0", "first.0:1:0", "=a", "first.0:0:0"};
        QTest::newRow("nothing found")
            << "qq" << QStringList() << "all" << QStringList{"未找到搜索文本！", "未找到搜索文本！"};
    }
    void findWalksTheGrids()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, options);
        QFETCH(QString, scope);
        QFETCH(QStringList, clicks);
        forgetCurrentCells();
        first->findChild<QTableView*>("first.1")->setFocus();
        frmFindText find;
        find.setSearchWindow(scope == QLatin1String("all") ? nullptr : first.get());
        // Without a window only every window can be searched; with one whose grid is active, all scopes.
        QCOMPARE(find.findChild<QRadioButton*>("optWindow")->isEnabled(), scope != QLatin1String("all"));
        QCOMPARE(find.findChild<QRadioButton*>("optGrid")->isEnabled(), scope != QLatin1String("all"));
        QVERIFY(!find.findChild<QPushButton*>("cmdFindNext")->isEnabled());
        find.show();
        find.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&find));
        find.findChild<QRadioButton*>(scope == QLatin1String("all")      ? "optAll"
                                      : scope == QLatin1String("window") ? "optWindow"
                                                                         : "optGrid")
            ->setChecked(true);
        find.findChild<QAbstractButton*>("chkWhole")->setChecked(options.contains("whole"));
        find.findChild<QAbstractButton*>("chkCase")->setChecked(options.contains("case"));
        find.findChild<QRadioButton*>(options.contains("back") ? "optUp" : "optDown")->setChecked(true);
        find.findChild<QComboBox*>("cboFind")->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), text);
        for (const QString& click : clicks) {
            if (click.startsWith(QLatin1Char('='))) { // the text changes before the next click
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
                QCOMPARE(find.findChild<QComboBox*>("cboFind")->currentText(), click.mid(1));
                continue;
            }
            if (click.endsWith(QChar(0xFF01))) // a message, not a hit
                forgetCurrentCells();
            QCOMPARE(clickFindNext(), click);
            if (click.endsWith(QChar(0xFF01)))
                QCOMPARE(presenter->boxes.last().title, QStringLiteral("提示"));
        }
    }

    // (The desk's help command without a help file: tst_deskextensions.)
    void helpCommandWithAMissingFile()
    {
        presenter->clear();
        LIB_ShowHelpContents(QStringLiteral("/nonexistent/help.html"));
        QCOMPARE(presenter->texts(), QStringList{"帮助文件 /nonexistent/help.html 不存在。"});
    }

    // The card's fields and state from the certificate lookup, the three grids from the reader
    // lookup; a failed lookup shows its message and leaves the fields empty.
    void generalCertificateWindow_data()
    {
        QTest::addColumn<QByteArray>("certificate");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("lost card") << reply("1|成功#G0001|2|张伟|信息学院") << QString() << "挂失"
                                   << QList<int>{2, 1, 0};
        QTest::newRow("lookup failed") << reply("-1|证件不存在#") << "获取通用证信息失败!\n证件不存在"
                                       << QString() << QList<int>{0, 0, 0};
    }
    void generalCertificateWindow()
    {
        QFETCH(QByteArray, certificate);
        QFETCH(QString, message);
        QFETCH(QList<int>, rows);
        QVERIFY(ProfileFile::write(home.filePath("tavorn.ini"), "GENERAL", "URL", service.address()));
        service.bodies.insert("/general/certsearch.php?strChr=D0000001", certificate);
        service.bodies.insert(
            "/general/redrsearch.php?strChr=G0001",
            reply("1|成功#B1|题名一|2024-01-01|2024-02-01|总馆~B2|题名二|2024-01-02|2024-02-02|总馆"
                  "#B3|题名三|2023-01-01|2023-02-01|总馆#"));
        presenter->clear();
        frmGeneralInfo window;
        QCOMPARE(window.frmGeneralInfoSet(QStringLiteral("R0000001"), QStringLiteral("D0000001")),
                 message.isEmpty() ? 0 : -1);
        QCOMPARE(presenter->lastText(), message);
        QCOMPARE(window.findChild<QLineEdit*>("txtField0")->text(), message.isEmpty() ? "G0001" : "");
        QTEST(window.findChild<QLineEdit*>("txtField1")->text(), "state");
        QCOMPARE(window.findChild<QLineEdit*>("txtField2")->text(), message.isEmpty() ? "张伟" : "");
        const char* grids[] = {"vsLoans", "vsHistory", "vsDebts"};
        for (int g = 0; g < 3; ++g)
            QCOMPARE(window.findChild<QTableView*>(grids[g])->model()->rowCount(), rows.at(g));
        if (rows.first() > 0)
            QCOMPARE(window.findChild<QTableView*>("vsLoans")->model()->index(1, 2).data().toString(),
                     QStringLiteral("题名二"));
    }
};

QTEST_MAIN(TestDeskServices)
#include "tst_deskservices.moc"
