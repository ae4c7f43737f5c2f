// The login window against the demo library, offscreen, driven by keys typed into the focus widget
// of the active window as a person or a card reader types them.
#include "codes/codetables.h"
#include "db/database.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "desk/frmReadMain.h"
#include "startup/environment.h"
#include "startup/frmCircLogo.h"
#include "startup/operatorsession.h"
#include "startup/shutdown.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

namespace {
template <typename T> T* child(QWidget* window, const char* name)
{
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

QLineEdit* nameBox(QWidget* w)
{
    return child<QComboBox>(w, "cboName")->lineEdit();
}
QLineEdit* passwordBox(QWidget* w)
{
    return child<QLineEdit>(w, "txtPassword");
}

// The box holding the focus, by name (the name box's line edit counts as the name box).
QString focusedBox()
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w->objectName() == QLatin1String("cboName") || w->objectName() == QLatin1String("txtPassword") ||
            w->objectName() == QLatin1String("txtNewPassword"))
            return w->objectName();
    }
    return {};
}

// Keys as a person or a card reader types them: each goes to the focus widget of the active
// window, wherever the window put the focus.
void typeInFocus(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}
void pressInFocus(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

// Name, Enter, password, Enter, starting in the name box.
void typeLogin(const QString& name, const QString& password)
{
    QCOMPARE(focusedBox(), QStringLiteral("cboName"));
    typeInFocus(name);
    pressInFocus(Qt::Key_Return);
    typeInFocus(password);
    pressInFocus(Qt::Key_Return);
}
} // namespace

class TestLogin : public QObject
{
    Q_OBJECT
    RecordingPresenter* presenter = nullptr;
    TestDatabase* db = nullptr;
    QTemporaryDir home;
    int shutdownCode = -1;

    void showLogin(frmCircLogo& logo)
    {
        logo.SetMode(frmCircLogo::loginLayout());
        logo.show();
        QVERIFY(QTest::qWaitForWindowActive(&logo));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QDir(home.path()).mkpath(QStringLiteral("LOG"));
        QDir(home.path()).mkpath(QStringLiteral("CFG/LT"));
        Environment::instance().setProgramDirectory(home.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           home.filePath(QStringLiteral("settings")));
        presenter = RecordingPresenter::install();
        LIB_SetShutdownAction([this](int code) { shutdownCode = code; });
        db = new TestDatabase(QStringLiteral("login"));
        QVERIFY(db->isReady());
        QCOMPARE(db->connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        db->scalar(QStringLiteral("SELECT demo_register_workstation('DESK-T1')"));
    }
    void cleanupTestCase() { delete db; }
    void init()
    {
        presenter->clear();
        shutdownCode = -1;
        OperatorSession::current() = OperatorSession();
        qputenv("LT3_COMPUTERNAME", "desk-t1"); // registered upper-cased
        if (DbSession::current().isConnected())
            return;
        QCOMPARE(db->connectCurrentSession(), 0); // a test that "ended the program" closed it
    }

    // The window's Chinese captions are drawn with real glyphs: some installed font covers them
    // (on a machine without a CJK font every caption is a row of empty boxes).
    void captionsHaveGlyphs()
    {
        frmCircLogo logo;
        showLogin(logo);
        for (const char* name : {"imgLogo", "lblName", "lblPassword"}) {
            const auto* label = child<QLabel>(&logo, name);
            QTextLayout layout(label->text(), label->font());
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            int glyphs = 0;
            for (const QGlyphRun& run : layout.glyphRuns()) {
                for (const quint32 glyph : run.glyphIndexes()) {
                    QVERIFY2(glyph != 0, qPrintable(QStringLiteral("no glyph in %1 for %2")
                                                        .arg(run.rawFont().familyName(), label->text())));
                    ++glyphs;
                }
            }
            QCOMPARE(glyphs, int(label->text().size()));
        }
    }

    void firstLoginOpensTheMainWindow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("workstation");
        QTest::addColumn<QString>("location");
        // clang-format off
        QTest::newRow("lower-case name") << "a001" << "demo" << "desk-t1" << "R1";
        QTest::newRow("password in another case") << "A001" << "DeMo" << "DESK-T1" << "R1";
        QTest::newRow("other reading room") << "b002" << "DEMO" << "Desk-R2" << "R2";
        // clang-format on
    }
    void firstLoginOpensTheMainWindow()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, workstation);
        qputenv("LT3_COMPUTERNAME", workstation.toUtf8());
        CodeTables::instance().clear();
        frmReadMain main;
        const DeskHandover desk = main.handover();
        frmCircLogo logo(&desk);
        showLogin(logo);
        typeLogin(name, password);

        QCOMPARE(presenter->texts(), QStringList());
        QCOMPARE(shutdownCode, -1);
        QVERIFY(main.isVisible());
        QVERIFY(!logo.isVisible());
        const OperatorSession& op = OperatorSession::current();
        QVERIFY(op.loggedIn);
        QCOMPARE(op.workerNumber, name.toUpper());
        QTEST(op.location, "location");
        QCOMPARE(LIB_GetEnv(4).toString(), name.toUpper());
        QCOMPARE(child<QLabel>(&main, "sbrOperator")->text(), QStringLiteral("流通阅览 - ") + name.toUpper());
        QVERIFY(LIB_CodeTable(CodeTable::Locations).recordCount() > 0);
    }

    // The refused login stays open with the focus where the operator corrects it.
    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("workstation");
        QTest::addColumn<bool>("reLogin");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("focus");
        // clang-format off
        QTest::newRow("unknown worker") << "zz99" << "demo" << "desk-t1" << false << "ECM500" << "cboName";
        QTest::newRow("disabled worker") << "c003" << "demo" << "desk-t1" << false << "ECM501" << "cboName";
        QTest::newRow("wrong password") << "a001" << "dem" << "desk-t1" << false << "ECM502" << "txtPassword";
        QTest::newRow("foreign workstation")
            << "a001" << "demo" << "NOWHERE-9" << false << "ECM503" << "cboName";
        QTest::newRow("no desk right") << "d004" << "demo" << "desk-t1" << false << "ECM504" << "cboName";
        QTest::newRow("no desk right, re-login")
            << "d004" << "demo" << "desk-t1" << true << "ECM504" << "cboName";
        // clang-format on
    }
    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, workstation);
        QFETCH(bool, reLogin);
        QFETCH(QString, code);
        qputenv("LT3_COMPUTERNAME", workstation.toUtf8());
        frmReadMain main;
        const DeskHandover desk = main.handover();
        frmCircLogo logo(&desk);
        logo.setReLogin(reLogin);
        showLogin(logo);
        typeLogin(name, password);

        QCOMPARE(presenter->texts(), QStringList{LIB_GetMsg(code)});
        QVERIFY(logo.isVisible());
        QVERIFY(!main.isVisible());
        QVERIFY(!logo.isBusy());
        QVERIFY(!OperatorSession::current().loggedIn);
        QTEST(focusedBox(), "focus");
        QCOMPARE(child<QLabel>(&logo, "lblStatus")->text(),
                 reLogin ? QStringLiteral("用户重新登录") : QStringLiteral("用户登录"));
    }

    void workstationWithoutReadingRoomEndsTheProgram()
    {
        qputenv("LT3_COMPUTERNAME", "desk-s1");
        frmReadMain main;
        const DeskHandover desk = main.handover();
        frmCircLogo logo(&desk);
        showLogin(logo);
        typeLogin(QStringLiteral("a001"), QStringLiteral("demo"));
        QCOMPARE(presenter->texts(), QStringList{LIB_GetMsg(QStringLiteral("ILT003"))});
        QCOMPARE(shutdownCode, 1);
        QVERIFY(!main.isVisible());
    }

    void nameBoxTakesFourCharacters_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("fifth refused") << "abcd" << false << "e" << "abcd";
        QTest::newRow("blanks do not count") << " abcd" << false << "e" << " abcd";
        QTest::newRow("dot accepted") << "abcd" << false << ".e" << "abcd.";
        QTest::newRow("backspace accepted") << "abcd" << false << "\be" << "abce";
        QTest::newRow("selection replaced") << "abcd" << true << "x" << "x";
        // clang-format on
    }
    void nameBoxTakesFourCharacters()
    {
        QFETCH(QString, first);
        QFETCH(bool, selectAll);
        QFETCH(QString, then);
        frmCircLogo logo;
        showLogin(logo);
        typeInFocus(first);
        if (selectAll)
            nameBox(&logo)->selectAll();
        typeInFocus(then);
        QTEST(nameBox(&logo)->text(), "expected");
    }

    void enterInTheNameBoxNeedsAName()
    {
        frmCircLogo logo;
        showLogin(logo);
        pressInFocus(Qt::Key_Return);
        QCOMPARE(focusedBox(), QStringLiteral("cboName"));
        typeInFocus(QStringLiteral("a001"));
        pressInFocus(Qt::Key_Return);
        QCOMPARE(focusedBox(), QStringLiteral("txtPassword"));
        QVERIFY(presenter->boxes.isEmpty());
    }

    void exit_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<bool>("reLogin");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("cancel keeps the login") << "登录" << false << 2 << true << true << -1;
        QTest::newRow("ok ends the program") << "登录" << false << 1 << true << false << 0;
        QTest::newRow("ok at re-login only closes") << "登录" << true << 1 << true << false << -1;
        QTest::newRow("about closes at once") << "关于" << false << 1 << false << false << -1;
    }
    void exit()
    {
        QFETCH(QString, layout);
        QFETCH(bool, reLogin);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        frmCircLogo logo;
        logo.setReLogin(reLogin);
        logo.SetMode(layout);
        logo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&logo));
        presenter->answerNext(answer);
        auto* exitLink = child<QPushButton>(&logo, "lblExit");
        QTest::mouseClick(exitLink, Qt::LeftButton);
        QCOMPARE(presenter->texts(),
                 asked ? QStringList{LIB_GetMsg(QStringLiteral("QCM501"))} : QStringList());
        QTEST(logo.isVisible(), "stillOpen");
        QTEST(shutdownCode, "exitCode");
    }

    void passwordChange()
    {
        frmCircLogo logo;
        showLogin(logo);
        pressInFocus(Qt::Key_F1);
        QCOMPARE(presenter->texts(), QStringList{QStringLiteral("请输入正确的名称以及口令！")});
        QCOMPARE(presenter->boxes.last().title, QStringLiteral("提示"));
        QCOMPARE(logo.mode(), frmCircLogo::loginLayout());

        presenter->clear();
        typeInFocus(QStringLiteral("b002"));
        pressInFocus(Qt::Key_Return);
        typeInFocus(QStringLiteral("demo"));
        pressInFocus(Qt::Key_F1);
        QCOMPARE(logo.mode(), frmCircLogo::passwordLayout());
        auto* confirmBox = child<QLineEdit>(&logo, "txtConfirmPassword");
        QCOMPARE(focusedBox(), QStringLiteral("txtNewPassword"));
        typeInFocus(QStringLiteral("Read1"));
        pressInFocus(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), confirmBox);
        typeInFocus(QStringLiteral("Read2"));
        pressInFocus(Qt::Key_Return); // the save button is the default once a new password is typed
        QCOMPARE(presenter->texts(), QStringList{LIB_GetMsg(QStringLiteral("ECM510"))});
        QCOMPARE(logo.mode(), frmCircLogo::passwordLayout());
        QCOMPARE(db->scalar(QStringLiteral("SELECT password FROM lib_worker WHERE wkr_no = 'B002'")),
                 QStringLiteral("DEMO"));

        presenter->clear();
        confirmBox->clear();
        confirmBox->setFocus();
        typeInFocus(QStringLiteral("Read1"));
        pressInFocus(Qt::Key_Return);
        QCOMPARE(presenter->texts(), QStringList{QStringLiteral("成功修改登录口令！")});
        QCOMPARE(db->scalar(QStringLiteral("SELECT password FROM lib_worker WHERE wkr_no = 'B002'")),
                 QStringLiteral("READ1"));
        QCOMPARE(logo.mode(), frmCircLogo::loginLayout());
        QCOMPARE(passwordBox(&logo)->text(), QStringLiteral("Read1"));

        // The next login uses the new password.
        presenter->clear();
        logo.setReLogin(true);
        QCOMPARE(focusedBox(), QStringLiteral("cboName"));
        passwordBox(&logo)->setFocus();
        pressInFocus(Qt::Key_Return);
        QCOMPARE(presenter->texts(), QStringList());
        QCOMPARE(OperatorSession::current().password, QStringLiteral("READ1"));
        db->exec(QStringLiteral("UPDATE lib_worker SET password = 'DEMO' WHERE wkr_no = 'B002'"));
    }

    void reLoginReplacesTheOperator()
    {
        frmReadMain main;
        const DeskHandover desk = main.handover();
        frmCircLogo logo(&desk);
        showLogin(logo);
        typeLogin(QStringLiteral("a001"), QStringLiteral("demo"));
        QVERIFY(main.isVisible());
        // A re-login must not read the code tables again: a marker table stays.
        ResultTable marker(1, 1);
        marker.setValue(0, 2, QStringLiteral("marker"));
        CodeTables::instance().setTable(CodeTable::Languages, marker);

        QString reLoginStatus;
        QTimer::singleShot(0, this, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!modal)
                return; // the menu command opened no modal window; the checks below fail
            reLoginStatus = child<QLabel>(modal, "lblStatus")->text();
            QVERIFY(QTest::qWaitForWindowActive(modal));
            typeLogin(QStringLiteral("b002"), QStringLiteral("demo"));
            if (modal->isVisible())
                modal->done(QDialog::Rejected); // refused: end the modal loop so the checks can report
        });
        child<QAction>(&main, "mnuReJoin")->trigger();

        QCOMPARE(reLoginStatus, QStringLiteral("用户重新登录"));
        QCOMPARE(presenter->texts(), QStringList());
        QVERIFY(main.isVisible());
        QCOMPARE(OperatorSession::current().workerNumber, QStringLiteral("B002"));
        QCOMPARE(child<QLabel>(&main, "sbrOperator")->text(), QStringLiteral("流通阅览 - B002"));
        QCOMPARE(LIB_CodeTable(CodeTable::Languages).text(0, 2), QStringLiteral("marker"));
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
