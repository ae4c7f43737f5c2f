// Barcode read rules: normalisation, the rule file and store, and the editor offscreen.
#include "desk/barcoderules.h"
#include "desk/barcoderulesfile.h"
#include "desk/frmBarReadRule.h"
#include "startup/environment.h"
#include "support/recordingpresenter.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::unique_ptr<QSettings> ruleStore()
{
    auto store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Tavorn"), QStringLiteral("LT"));
    store->beginGroup(QStringLiteral("BarReadRule"));
    return store;
}

// "3,8;15,2" -> the two rules.
QList<BarcodeRule> rulesFrom(const QString& text)
{
    QList<BarcodeRule> rules;
    for (const QString& rule : text.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        rules.append({rule.section(',', 0, 0).toInt(), rule.section(',', 1).toInt()});
    return rules;
}

void writeRuleFile(const QByteArray& content)
{
    QDir().mkpath(QFileInfo(barcodeRuleFilePath()).absolutePath());
    QFile file(barcodeRuleFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void type(frmBarReadRule& editor, const QString& start, const QString& length)
{
    auto* startBox = editor.findChild<QLineEdit*>("txtStart");
    auto* lengthBox = editor.findChild<QLineEdit*>("txtLength");
    startBox->clear();
    lengthBox->clear();
    QTest::keyClicks(startBox, start);
    QTest::keyClicks(lengthBox, length);
    QTest::mouseClick(editor.findChild<QWidget*>("cmdNew"), Qt::LeftButton);
}

// On the indicator: a click beyond a stretched option's caption misses.
void clickOption(frmBarReadRule& editor, const char* name)
{
    auto* option = editor.findChild<QWidget*>(QLatin1String(name));
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

QStringList shownLines(frmBarReadRule& editor)
{
    auto* list = editor.findChild<QListWidget*>("lstRules");
    QStringList lines;
    for (int row = 0; row < list->count(); ++row)
        lines << list->item(row)->text();
    return lines;
}

} // namespace

class TestBarcodeRules : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    RecordingPresenter* presenter = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("store"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath("store"));
        Environment::instance().setProgramDirectory(home.path());
        presenter = RecordingPresenter::install();
    }
    void init()
    {
        presenter->clear();
        ruleStore()->remove(QString());
        QFile::remove(barcodeRuleFilePath());
        BarcodeReadRules::current() = BarcodeReadRules();
    }

    void normalise_data()
    {
        QTest::addColumn<int>("used");
        QTest::addColumn<bool>("byPosition");
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("suffix, no rules") << 1 << true << "" << "ABC*SS*" << "ABC成";
        QTest::newRow("suffix is case-sensitive") << 1 << true << "" << "ABC*ss*" << "ABC*ss*";
        QTest::newRow("two rules") << 1 << true << "3,8;15,2" << "ABCDEFGHIJKLMNOPQ" << "CDEFGHIJOP";
        QTest::newRow("shorter than the first rule") << 1 << true << "3,8;15,2" << "ABCDEFGHI" << "ABCDEFGHI";
        QTest::newRow("second rule past the end") << 1 << true << "3,8;15,2" << "ABCDEFGHIJ" << "CDEFGHIJ";
        QTest::newRow("rule cut at the end") << 1 << true << "3,8;15,5" << "ABCDEFGHIJKLMNOPQ" << "CDEFGHIJOPQ";
        QTest::newRow("suffix counted as one") << 1 << true << "1,4" << "12*SS*" << "12成";
        QTest::newRow("025: after the fourth =") << 1 << false << "" << "ABCDEFG025=a=b=c=987654321X" << "598765432";
        QTest::newRow("025: fewer than four =") << 1 << false << "" << "ABCDEFG025=X" << "";
        QTest::newRow("025: nothing after the fourth =") << 1 << false << "" << "ABCDEFG025====" << "";
        QTest::newRow("not 025 at 8 to 10") << 1 << false << "" << "ABCDEF025==A=B=C" << "ABCDEF025==A=B=C";
        QTest::newRow("separator rule after the suffix") << 1 << false << "" << "1234*SS*" << "1234成";
        QTest::newRow("rules ignored by the separator rule") << 1 << false << "1,2" << "ABCDEFGHIJ" << "ABCDEFGHIJ";
        QTest::newRow("rules not used") << 0 << false << "" << "ABC*SS*" << "ABC*SS*";
        QTest::newRow("rules used only when 1") << 2 << false << "" << "ABC*SS*" << "ABC*SS*";
        // clang-format on
    }
    void normalise()
    {
        BarcodeReadRules r;
        QFETCH(int, used);
        QFETCH(bool, byPosition);
        QFETCH(QString, rules);
        QFETCH(QString, raw);
        r.used = used;
        r.positionRules = byPosition;
        r.rules = rulesFrom(rules);
        QTEST(r.cardNumberFromScan(raw), "expected");
    }

    void loadFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("rules");
        // clang-format off
        QTest::newRow("blanks around fields") << QByteArray(" 3 , 8 \n15,2") << "3,8;15,2";
        QTest::newRow("CR LF, blank line skipped") << QByteArray("3,8\r\n\r\n15,2\r\n") << "3,8;15,2";
        QTest::newRow("bad fields skipped") << QByteArray("x,2\r\n0,1\r\n4\r\n5,-1\r\n6,10000\r\n1,2,3\r\n7,0\r\n") << "7,0";
        QTest::newRow("empty file") << QByteArray("") << "";
        QTest::newRow("missing file keeps the rules") << QByteArray() << "9,9";
        // clang-format on
    }
    void loadFile()
    {
        QFETCH(QByteArray, content);
        if (!content.isNull())
            writeRuleFile(content);
        ruleStore()->setValue("Type", "True");
        ruleStore()->setValue("Used", "1");
        BarcodeReadRules r;
        r.rules = rulesFrom("9,9");
        r.load();
        QVERIFY(r.positionRules);
        QCOMPARE(r.used, 1);
        QFETCH(QString, rules);
        QCOMPARE(r.rules, rulesFrom(rules));
    }

    void newRefusesBadFields_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("blank start") << " " << "2" << "";
        QTest::newRow("blank length") << "3" << "" << "";
        QTest::newRow("letters") << "a" << "2" << "起始位置应是1到9999之间的整数！";
        QTest::newRow("start 0") << "0" << "2" << "起始位置应是1到9999之间的整数！";
        QTest::newRow("start too big") << "10000" << "2" << "起始位置应是1到9999之间的整数！";
        QTest::newRow("negative length") << "3" << "-1" << "截取长度应是0到9999之间的整数！";
        QTest::newRow("fraction") << "3" << "2.5" << "截取长度应是0到9999之间的整数！";
        // clang-format on
    }
    void newRefusesBadFields()
    {
        frmBarReadRule editor(BarcodeReadRules::current());
        editor.show();
        QFETCH(QString, start);
        QFETCH(QString, length);
        type(editor, start, length);
        QVERIFY(shownLines(editor).isEmpty());
        QTEST(presenter->lastText(), "message");
    }

    // Rules added, one deleted (nothing selected deletes nothing; the rest are renumbered), stored
    // on OK and used at once.
    void editAndStore()
    {
        frmBarReadRule editor(BarcodeReadRules::current());
        editor.show();
        clickOption(editor, "chkUsed");
        clickOption(editor, "optPosition");
        type(editor, "3", "8");
        type(editor, " 15 ", "2");
        type(editor, "20", "1");
        const auto line = [](int n, const QString& start, const QString& length) -> QString {
            return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')) + QString(8, ' ') + start +
                   QString(14 - start.size(), ' ') + length;
        };
        auto* list = editor.findChild<QListWidget*>("lstRules");
        QTest::mouseClick(editor.findChild<QWidget*>("cmdDelete"), Qt::LeftButton);
        QCOMPARE(shownLines(editor),
                 (QStringList{line(1, "3", "8"), line(2, "15", "2"), line(3, "20", "1")}));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(editor.findChild<QWidget*>("cmdDelete"), Qt::LeftButton);
        QCOMPARE(shownLines(editor), (QStringList{line(1, "15", "2"), line(2, "20", "1")}));
        QTest::mouseClick(editor.findChild<QWidget*>("cmdOK"), Qt::LeftButton);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(ruleStore()->value("Type").toString(), QStringLiteral("True"));
        QCOMPARE(ruleStore()->value("Used").toString(), QStringLiteral("1"));
        QFile file(barcodeRuleFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("15,2\r\n20,1\r\n"));
        QCOMPARE(BarcodeReadRules::current().cardNumberFromScan("ABCDEFGHIJKLMNOPQRSTU"),
                 QStringLiteral("OPT"));
    }
};

QTEST_MAIN(TestBarcodeRules)
#include "tst_barcoderules.moc"
