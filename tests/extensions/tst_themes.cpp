// Themes: the folders the desk takes, the value types, applying by name to windows and controls,
// the stored style and its fallback, and the theme manager.
#include "extensions/frmThemeManager.h"
#include "extensions/themescollection.h"
#include "support/recordingpresenter.h"
#include "support/testfiles.h"
#include "testpackages.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

void writeTheme(const QString& folder, const QString& id, const QString& forms = {})
{
    const QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<theme %1 name=\"主题%2\">%3</theme>\n")
            .arg(id.isEmpty() ? QString() : QStringLiteral("id=\"%1\"").arg(id), id, forms);
    if (!writeFile(folder + QStringLiteral("/theme.xml"), xml.toUtf8()))
        qFatal("cannot write %s", qPrintable(folder));
}

QString entry(const char* kind, const char* name, const char* type, const char* value)
{
    return QStringLiteral("<%1 Name=\"%2\" Type=\"%3\" Value=\"%4\"/>")
        .arg(QLatin1String(kind), QLatin1String(name), QLatin1String(type), QString::fromUtf8(value));
}

} // namespace

class TestThemes : public QObject
{
    Q_OBJECT
    QTemporaryDir work;
    RecordingPresenter* presenter = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        presenter = RecordingPresenter::install();
        QPixmap picture(4, 3);
        picture.fill(Qt::red);
        QVERIFY(picture.save(work.filePath(QStringLiteral("p.png"))));
    }

    void folderNames_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("loaded");
        // clang-format off
        QTest::newRow("the desk's") << "zqui.tavorn.lt3.blue.1" << "blue" << true;
        QTest::newRow("capitals") << "ZQUI.TAVORN.LT3.BLUE.1" << "blue" << true;
        QTest::newRow("more parts") << "zqui.tavorn.lt3.blue.1.2" << "blue" << true;
        QTest::newRow("other module") << "zqui.tavorn.abc.blue.1" << "blue" << false;
        QTest::newRow("four parts") << "zqui.tavorn.lt3.blue" << "blue" << false;
        QTest::newRow("other maker") << "zqui.other.lt3.blue.1" << "blue" << false;
        QTest::newRow("no id") << "zqui.tavorn.lt3.blue.1" << "" << false;
        // clang-format on
    }
    void folderNames()
    {
        QFETCH(QString, folder);
        QFETCH(QString, id);
        QFETCH(bool, loaded);
        QTemporaryDir themes;
        writeTheme(themes.filePath(folder), id);
        cThemesCollection collection;
        collection.LoadThemes(themes.path());
        QCOMPARE(collection.Themes().size(), std::size_t(loaded ? 1 : 0));
    }

    void valueTypes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value");
        const QColor red(255, 0, 0);
        // clang-format off
        QTest::newRow("RGBColor") << "RGBColor" << "255,0,0" << QVariant(red);
        QTest::newRow("RGBColor, two parts") << "RGBColor" << "255,0" << QVariant();
        QTest::newRow("RGBColor, out of range") << "RGBColor" << "256,0,0" << QVariant();
        QTest::newRow("LongColor") << "LongColor" << "255" << QVariant(red);
        QTest::newRow("StrColor") << "StrColor" << "&H0000FF" << QVariant(red);
        QTest::newRow("StrColor, green") << "StrColor" << "0x00FF00" << QVariant(QColor(0, 255, 0));
        QTest::newRow("Long") << "Long" << "42" << QVariant(42);
        QTest::newRow("Integer, not a number") << "Integer" << "4x" << QVariant();
        QTest::newRow("Double") << "Double" << "0.75" << QVariant(0.75);
        QTest::newRow("CBool True") << "CBool" << "True" << QVariant(true);
        QTest::newRow("CBool 0") << "CBool" << "0" << QVariant(false);
        QTest::newRow("String") << "String" << " 文字 " << QVariant(QStringLiteral(" 文字 "));
        QTest::newRow("unknown type") << "Currency" << "1" << QVariant();
        QTest::newRow("Picture") << "Picture" << "p.png" << QVariant(QSize(4, 3)); // the picture's size
        QTest::newRow("Picture, no file") << "Picture" << "none.png" << QVariant();
        // clang-format on
    }
    void valueTypes()
    {
        QFETCH(QString, type);
        QFETCH(QString, text);
        const QVariant value = themeValue(type, text, work.path());
        if (type == QLatin1String("Picture") && value.isValid())
            QTEST(QVariant(value.value<QPixmap>().size()), "value");
        else
            QTEST(value, "value");
    }

    // Entries reach the window and its controls by name (an array element by its index), skip
    // what does not exist, and the next theme starts from what the window had before.
    void themesApplyByName()
    {
        QWidget window;
        window.setObjectName(QStringLiteral("frmTest"));
        window.setWindowTitle(QStringLiteral("原标题"));
        auto* box = new QLineEdit(&window);
        box->setObjectName(QStringLiteral("txtBox"));
        for (int i = 0; i < 3; ++i)
            (new QRadioButton(QStringLiteral("选项%1").arg(i), &window))
                ->setObjectName(QStringLiteral("optChoice%1").arg(i));
        const QString forms =
            QStringLiteral(
                "<form id=\"frmTest\"><FORMTHEME><applyparam>%1</applyparam><AfterParam>%2</AfterParam>"
                "<BeforeParam>%3</BeforeParam></FORMTHEME>"
                "<Controls><Control id=\"txtBox\"><ApplyParam>%4%5</ApplyParam></Control>"
                "<Control id=\"optChoice\" index=\"2\"><ApplyParam>%6</ApplyParam></Control>"
                "<Control id=\"txtNoSuch\"><ApplyParam>%6</ApplyParam></Control></Controls></form>"
                "<Form id=\"frmNotOpen\"><FormTheme><ApplyParam>%1</ApplyParam></FormTheme></Form>")
                .arg(entry("Property", "windowTitle", "String", "应用"),
                     entry("Property", "windowTitle", "String", "之后"),
                     entry("Property", "toolTip", "String", "之前"),
                     entry("Method", "setEnabled", "CBool", "False"),
                     entry("Property", "Base", "RGBColor", "255,0,0"),
                     entry("Property", "text", "String", "第三项"));
        writeTheme(work.filePath(QStringLiteral("t/zqui.tavorn.lt3.a.1")), QStringLiteral("A"), forms);
        writeTheme(work.filePath(QStringLiteral("t/zqui.tavorn.lt3.b.1")), QStringLiteral("B"));
        cThemesCollection themes;
        themes.LoadThemes(work.filePath(QStringLiteral("t")));
        const ThemeWindowFinder find = [&window](const QString& name) {
            return name == window.objectName() ? &window : nullptr;
        };

        QCOMPARE(themes.ApplyStyle(QStringLiteral("a"), find), QStringLiteral("A"));
        QCOMPARE(window.windowTitle(), QStringLiteral("之后"));
        QCOMPARE(window.toolTip(), QStringLiteral("之前"));
        QVERIFY(!box->isEnabled());
        QCOMPARE(box->palette().color(QPalette::Base), QColor(255, 0, 0));
        QCOMPARE(window.findChild<QRadioButton*>(QStringLiteral("optChoice2"))->text(),
                 QStringLiteral("第三项"));
        QCOMPARE(window.findChild<QRadioButton*>(QStringLiteral("optChoice0"))->text(),
                 QStringLiteral("选项0"));

        QVERIFY(themes.Apply(themes.Item(QStringLiteral("B")), find));
        QCOMPARE(window.windowTitle(), QStringLiteral("原标题"));
        QCOMPARE(window.toolTip(), QString());
        QCOMPARE(box->palette().color(QPalette::Active, QPalette::Base),
                 window.palette().color(QPalette::Active, QPalette::Base));
        QCOMPARE(themes.SelectedItem()->Id, QStringLiteral("B"));
    }

    void managerInstallsAppliesUninstalls()
    {
        const QString directory = work.filePath(QStringLiteral("m"));
        writeTheme(directory + QStringLiteral("/zqui.tavorn.lt3.a.1"), QStringLiteral("A"));
        cThemesCollection themes;
        themes.LoadThemes(directory);
        themes.ApplyStyle(QStringLiteral("A"), {});
        frmThemeManager manager(themes, {});
        auto* tree = manager.findChild<QTreeWidget*>(QStringLiteral("tvwItems"));
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("主题A(当前应用主题)"));

        const QString package = work.filePath(QStringLiteral("theme.zip"));
        QVERIFY(writeZip(package, {{"zqui.tavorn.lt3.b.1/theme.xml",
                                    "<theme id=\"B\" name=\"乙\" description=\"说明\"/>"}}));
        presenter->clear();
        manager.installPackage(package);
        QCOMPARE(presenter->texts(), QStringList{"是否确定从" + package + "中安装界面主题？"});
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("乙"));
        QCOMPARE(tree->topLevelItem(1)->child(0)->text(0), QStringLiteral("说明"));

        QVERIFY(writeZip(package, {{"zqui.tavorn.abc.c.1/theme.xml", "<theme id=\"C\"/>"}}));
        presenter->clear();
        manager.installPackage(package);
        QCOMPARE(presenter->lastText(), QStringLiteral("界面主题文件无效！"));
        QCOMPARE(presenter->boxes.last().title, QStringLiteral("错误提示"));

        tree->setCurrentItem(tree->topLevelItem(0));
        presenter->clear();
        manager.uninstallSelected();
        QCOMPARE(presenter->texts(), QStringList{"不能卸载当前应用主题！"});
        QCOMPARE(presenter->boxes.last().title, QStringLiteral("提示"));

        tree->setCurrentItem(tree->topLevelItem(1));
        manager.applySelected();
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("乙(当前应用主题)"));
        tree->setCurrentItem(tree->topLevelItem(0));
        presenter->clear();
        manager.uninstallSelected();
        QCOMPARE(presenter->texts(), QStringList{"您确定要卸载界面主题 主题A 吗？"});
        QCOMPARE(tree->topLevelItemCount(), 1);
        QVERIFY(!QFile::exists(directory + QStringLiteral("/zqui.tavorn.lt3.a.1")));
    }
};

QTEST_MAIN(TestThemes)
#include "tst_themes.moc"
