// The local reader selection window, offscreen: moving entries, OK and cancel.
#include "desk/frmRedrValid.h"
#include "desk/localreadertypes.h"
#include "startup/applicationtitle.h"
#include "startup/desksettings.h"
#include "startup/environment.h"
#include "support/recordingpresenter.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray demoFile = "00  10      本科生\r\n00  20      研究生\r\n01  90      校外读者\r\n";

QByteArray fileContent()
{
    QFile file(localReaderTypesFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const frmRedrValid& window, const char* list)
{
    QStringList texts;
    auto* widget = window.findChild<QListWidget*>(QLatin1String(list));
    for (int row = 0; widget && row < widget->count(); ++row)
        texts.append(widget->item(row)->text());
    return texts;
}

QPushButton* button(const frmRedrValid& window, const char* name)
{
    return window.findChild<QPushButton*>(QLatin1String(name));
}

void click(const frmRedrValid& window, const char* name)
{
    QTest::mouseClick(button(window, name), Qt::LeftButton);
}

// "r1"/"u1" click row 1 of the non-local/local list, "R1"/"U1" double-click it; else a button.
void act(const frmRedrValid& window, const QString& step)
{
    if (step.startsWith(QLatin1String("cmd")))
        return click(window, qPrintable(step));
    auto* list = window.findChild<QListWidget*>(step.at(0).toLower() == 'r' ? "lstRedrtype" : "lstUsetype");
    const QPoint at = list->visualItemRect(list->item(step.mid(1).toInt())).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (step.at(0).isUpper())
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

QString storedCheckValue()
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavorn"),
                    LIB_ApplicationTitle());
    return store.value(QStringLiteral("Settings/LT3_CheckValue")).toString();
}

} // namespace

class TestFrmRedrValid : public QObject
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
        ResultTable messages(2, 3); // each message shows its id in lower case
        const QStringList ids{"QCM002", "ICM002", "WCM001"};
        for (int row = 0; row < ids.size(); ++row) {
            messages.setValue(0, row + 2, ids.at(row));
            messages.setValue(1, row + 2, ids.at(row).toLower());
        }
        MessageCatalogue::instance().setRows(messages);
    }
    void init()
    {
        QVERIFY(writeLocalReaderTypesFile(localReaderTypesFilePath(),
                                          QString::fromUtf8(demoFile).split("\r\n", Qt::SkipEmptyParts)));
        DeskSettings::current().localReaderTypesOnly = 0;
        presenter->clear();
    }

    void movingEntries_data()
    {
        const QString u = QStringLiteral("10      本科生"), g = QStringLiteral("20      研究生"),
                      x = QStringLiteral("90      校外读者");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("local");
        QTest::addColumn<QStringList>("nonLocal");
        QTest::newRow("nothing chosen") << QStringList{"cmdSelect"} << QStringList{u, g} << QStringList{x};
        QTest::newRow("double-click non-local") << QStringList{"R0"} << QStringList{u, g, x} << QStringList{};
        QTest::newRow("double-click local") << QStringList{"U0"} << QStringList{g} << QStringList{x, u};
        QTest::newRow("choose non-local")
            << QStringList{"r0", "cmdSelect"} << QStringList{u, g, x} << QStringList{};
        QTest::newRow("give back local")
            << QStringList{"u1", "cmdUnselect"} << QStringList{u} << QStringList{x, g};
        QTest::newRow("all local") << QStringList{"cmdSelectAll"} << QStringList{u, g, x} << QStringList{};
        QTest::newRow("none local") << QStringList{"cmdUnselectAll"} << QStringList{} << QStringList{x, u, g};
    }
    void movingEntries()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, local);
        QFETCH(QStringList, nonLocal);
        frmRedrValid window;
        window.show();
        for (const QString& step : clicks)
            act(window, step);
        QCOMPARE(entries(window, "lstUsetype"), local);
        QCOMPARE(entries(window, "lstRedrtype"), nonLocal);
        const bool changed = clicks != QStringList{"cmdSelect"};
        QCOMPARE(button(window, "cmdOK")->isEnabled(), changed);
        QCOMPARE(button(window, "cmdCancel")->isEnabled(), changed);
        QCOMPARE(button(window, "cmdSelectAll")->isEnabled(), !nonLocal.isEmpty());
        QCOMPARE(button(window, "cmdUnselectAll")->isEnabled(), !local.isEmpty());
    }

    void okWritesFileAndTurnsCheckOn()
    {
        frmRedrValid window;
        window.show();
        click(window, "cmdUnselectAll");
        presenter->answerNext(2); // "QCM002" answered cancel: nothing happens
        click(window, "cmdOK");
        QCOMPARE(fileContent(), demoFile);
        QCOMPARE(DeskSettings::current().localReaderTypesOnly, 0);

        click(window, "cmdOK");
        QCOMPARE(fileContent(),
                 QByteArray("01  90      校外读者\r\n01  10      本科生\r\n01  20      研究生\r\n"));
        QCOMPARE(DeskSettings::current().localReaderTypesOnly, 1);
        QCOMPARE(storedCheckValue(), QStringLiteral("1"));
        QCOMPARE(presenter->texts(), (QStringList{"qcm002", "qcm002", "icm002"}));
        QVERIFY(!button(window, "cmdOK")->isEnabled());
    }

    void cancelReloadsUnlessRefused()
    {
        frmRedrValid window;
        window.show();
        click(window, "cmdSelectAll");
        presenter->answerNext(2); // "WCM001" answered cancel: the change stays
        click(window, "cmdCancel");
        QCOMPARE(entries(window, "lstRedrtype"), QStringList{});
        click(window, "cmdCancel");
        QCOMPARE(presenter->texts(), (QStringList{"wcm001", "wcm001"}));
        QCOMPARE(entries(window, "lstRedrtype"), QStringList{"90      校外读者"});
        QVERIFY(!button(window, "cmdCancel")->isEnabled());
        QCOMPARE(fileContent(), demoFile);
    }
};

QTEST_MAIN(TestFrmRedrValid)
#include "tst_frmredrvalid.moc"
