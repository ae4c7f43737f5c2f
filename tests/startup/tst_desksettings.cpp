// Desk settings in the per-user store and the settings window, offscreen.
#include "startup/applicationtitle.h"
#include "startup/desksettings.h"
#include "startup/frmReadSet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::unique_ptr<QSettings> rawStore()
{
    auto store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Tavorn"), LIB_ApplicationTitle());
    store->beginGroup(QStringLiteral("Settings"));
    return store;
}

QString storedText(const QString& key)
{
    return rawStore()->value(key).toString();
}

// Brings the tab holding a control to the front, as the operator would, and returns the control.
template <typename Widget> Widget* reveal(QWidget* window, const char* name)
{
    auto* widget = window->findChild<Widget*>(QLatin1String(name));
    auto* tabs = window->findChild<QTabWidget*>();
    for (int page = 0; widget && tabs && page < tabs->count(); ++page) {
        if (tabs->widget(page)->isAncestorOf(widget))
            tabs->setCurrentIndex(page);
    }
    return widget;
}

// Check boxes and options are clicked on their indicator: the layout stretches them wider than
// their caption, and a click beyond the caption misses.
void click(QWidget* window, const char* name)
{
    QWidget* widget = reveal<QWidget>(window, name);
    QVERIFY2(widget, name);
    const bool indicator = qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, indicator ? QPoint(6, widget->height() / 2) : QPoint());
}

} // namespace

class TestDeskSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir storeDir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(storeDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, storeDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, storeDir.path());
    }
    void init() { rawStore()->remove(QString()); }

    void freshWorkstationDefaults()
    {
        DeskSettings s;
        s.readingMode = s.checkViolations = s.checkDebts = s.checkValidity = 7;
        s.readLoginSwitches();
        s.readMainWindowSettings();
        QCOMPARE(s.readingMode, 1);
        QCOMPARE(s.checkViolations, 1);
        QCOMPARE(s.checkDebts, 1);
        QCOMPARE(s.checkValidity, 1);
        QCOMPARE(s.localReaderTypesOnly, 0);
        QCOMPARE(s.passwordFreeAmount, QStringLiteral("0.00"));
        QCOMPARE(s.displayFont().family(), QStringLiteral("宋体"));
        QCOMPARE(s.subfieldMarkCode, 31);
    }

    void storedTexts()
    {
        DeskSettings s;
        s.fontBold = true;
        s.fontSize = 10.5;
        s.checkDebts = 0;
        s.localReaderTypesOnly = 1;
        s.themeId = QStringLiteral("Blue");
        s.writeEditableSettings();
        QCOMPARE(storedText("FontBold"), QStringLiteral("-1"));
        QCOMPARE(storedText("FontSize"), QStringLiteral("10.5"));
        QCOMPARE(storedText("LT3_CheckFine"), QStringLiteral("0"));
        QVERIFY(!rawStore()->contains("LT3_CheckValue"));
        QVERIFY(!rawStore()->contains("StyleID"));
        s.saveLocalReaderTypesOnly(1);
        s.saveThemeId(QStringLiteral("Blue"));
        // Older spellings and damaged texts.
        rawStore()->setValue("FontBold", "True");
        rawStore()->setValue("PayMode", "abc");
        DeskSettings read;
        read.readLoginSwitches();
        read.readMainWindowSettings();
        QCOMPARE(read.localReaderTypesOnly, 1);
        QCOMPARE(read.themeId, QStringLiteral("Blue"));
        QCOMPARE(read.checkDebts, 0);
        QCOMPARE(read.fontSize, 10.5);
        QVERIFY(read.fontBold);
        QCOMPARE(read.payMode, 0);
    }

    void cardPasswordOptionsFollowOpeningMode_data()
    {
        QTest::addColumn<int>("payMode");
        QTest::addColumn<bool>("enabled");
        // clang-format off
        QTest::newRow("现金") << 0 << false;
        QTest::newRow("刷卡") << 1 << true;
        QTest::newRow("预付款扣除") << 2 << false;
        QTest::newRow("自定义选择") << 3 << true;
        // clang-format on
    }
    void cardPasswordOptionsFollowOpeningMode()
    {
        DeskSettings s;
        QFETCH(int, payMode);
        s.payMode = payMode;
        frmReadSet window(s, {});
        QTEST(window.findChild<QCheckBox*>("chkOutPut")->isEnabled(), "enabled");
        QTEST(window.findChild<QWidget*>("txtMaxMoney")->isEnabled(), "enabled");
    }

    // OK stores the controls; the custom pay mode, last in its list, is stored as 3.
    void okTakesTheControls()
    {
        DeskSettings s;
        s.readLoginSwitches();
        s.readMainWindowSettings();
        s.copyLend = 1;
        frmReadSet window(s, {});
        QSignalSpy visibility(&window, &frmReadSet::copyLendCommandsVisible);
        window.show();
        QVERIFY(reveal<QRadioButton>(&window, "optReadChose1")->isChecked());
        click(&window, "optReadChose3");
        click(&window, "chkCheckVolt");
        click(&window, "chkCopyLend");
        auto* payMode = reveal<QComboBox>(&window, "cboPayMode");
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(payMode, Qt::Key_Down);
        click(&window, "cmdOK");
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(storedText("LT3_ReadCHose"), QStringLiteral("3"));
        QCOMPARE(storedText("LT3_CheckVolt"), QStringLiteral("0"));
        QCOMPARE(storedText("LT3_CheckFine"), QStringLiteral("1"));
        QCOMPARE(storedText("CopyLend"), QStringLiteral("0"));
        QCOMPARE(storedText("PayMode"), QStringLiteral("3"));
        QCOMPARE(s.payMode, 3);
        QCOMPARE(visibility.size(), 1); // the photocopy commands are hidden at once
        QCOMPARE(visibility.first().first().toBool(), false);
    }

    // Enter typed into the amount box (the focus widget of the active window) confirms the
    // window, as the default button does.
    void enterInTheAmountBoxConfirms()
    {
        DeskSettings s;
        s.payMode = 1;
        frmReadSet window(s, {});
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* amount = reveal<QLineEdit>(&window, "txtMaxMoney");
        amount->setFocus();
        amount->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5.00"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(storedText("MaxMoney"), QStringLiteral("5.00"));
    }

    void copyRuleList_data()
    {
        QTest::addColumn<QStringList>("cachedRules");
        QTest::addColumn<QString>("storedRule");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<int>("downKeys");
        QTest::addColumn<QString>("storedAfterOk");
        const QStringList cached{"R01", "COPY1", "copy2", "COPY-B", "XCOPY"};
        // clang-format off
        QTest::newRow("stored rule shown") << cached << "COPY-B" << QStringList{"COPY1", "COPY-B"} << 0 << "COPY-B";
        QTest::newRow("another chosen") << cached << "COPY1" << QStringList{"COPY1", "COPY-B"} << 1 << "COPY-B";
        QTest::newRow("no copy rules") << QStringList{"R01"} << "COPY9" << QStringList{} << 0 << "COPY9";
        // clang-format on
    }
    void copyRuleList()
    {
        QFETCH(QStringList, cachedRules);
        QFETCH(int, downKeys);
        DeskSettings s;
        QFETCH(QString, storedRule);
        s.copyLendRule = storedRule;
        frmReadSet window(s, cachedRules);
        window.show();
        auto* rules = reveal<QComboBox>(&window, "cboCopyRule");
        QStringList offered;
        for (int i = 0; i < rules->count(); ++i)
            offered << rules->itemText(i);
        QTEST(offered, "offered");
        for (int step = 0; step < downKeys; ++step)
            QTest::keyClick(rules, Qt::Key_Down);
        click(&window, "cmdOK");
        QTEST(storedText("CopyLendRule"), "storedAfterOk");
    }

    void fontAndSubfieldApplyAtOnceButExitStoresNothing()
    {
        DeskSettings s;
        s.fontName = QStringLiteral("黑体");
        s.fontSize = 12;
        frmReadSet window(s, {});
        window.setFontChooser([](const QFont&, QWidget*) {
            QFont chosen(QStringLiteral("Serif"), 14);
            chosen.setBold(true);
            return std::optional<QFont>(chosen);
        });
        window.show();
        auto* label = reveal<QLabel>(&window, "lblFont");
        QCOMPARE(label->text(), QStringLiteral("黑体 12号"));
        click(&window, "cmdFont");
        QCOMPARE(label->text(), QStringLiteral("Serif 14号"));
        QVERIFY(s.fontBold);
        click(&window, "cmdDefaultFont");
        QCOMPARE(label->text(), QStringLiteral("宋体 9号"));
        QVERIFY(!s.fontBold);
        auto* marks = reveal<QComboBox>(&window, "cboSubId");
        QCOMPARE(marks->currentIndex(), 0); // code 31
        QTest::keyClick(marks, Qt::Key_Down);
        QCOMPARE(s.subfieldMark(), QLatin1Char('|'));
        click(&window, "cmdExit");
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(rawStore()->childKeys().isEmpty());
    }
};

QTEST_MAIN(TestDeskSettings)
#include "tst_desksettings.moc"
