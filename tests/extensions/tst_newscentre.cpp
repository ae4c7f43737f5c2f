// The message centre against a small HTTP service run by the test: the download queue (order,
// progress, stalls and retries, refusals), the check of the channels with news.xml and the pages,
// and the window showing, marking and deleting messages.
#include "extensions/desktopopener.h"
#include "extensions/frmNewsManager.h"
#include "extensions/httpdownload.h"
#include "extensions/newscheck.h"
#include "startup/profilefile.h"
#include "support/recordingpresenter.h"
#include "support/scriptedservice.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

const char* stateName(cHttpDownload::State state)
{
    static const char* const names[] = {"Waiting", "Receiving", "Retrying", "Completed", "Failed"};
    return names[int(state)];
}

// One message of each type, with element names in mixed case.
const QByteArray threeTypes =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><NewDataSet>"
    "<Table><NEWS_ID>101</NEWS_ID><SUBJECT>停机通知</SUBJECT>"
    "<CONTENT>周六停机维护</CONTENT><NEWS_TYPE>T</NEWS_TYPE>"
    "<ISSUE_TIME>2024-05-02 10:00</ISSUE_TIME><ISSUE_ORGNAME>岚典</ISSUE_ORGNAME></Table>"
    "<table><news_id>102</news_id><subject>论坛</subject>"
    "<linkurl>http://example.org/bbs</linkurl><news_type>L</news_type></table>"
    "<Table><NEWS_ID>103</NEWS_ID><SUBJECT>新版本</SUBJECT>"
    "<LINKURL>%PAGE%</LINKURL><NEWS_TYPE>W</NEWS_TYPE></Table>"
    "<Table><NEWS_ID>../evil</NEWS_ID><NEWS_TYPE>W</NEWS_TYPE></Table>"
    "</NewDataSet>";

} // namespace

class TestNewsCentre : public QObject
{
    Q_OBJECT
    QTemporaryDir work;
    ScriptedService service;
    RecordingPresenter* presenter = nullptr;
    QStringList openedLinks;
    int made = 0;

    // A fresh program directory whose message centre has the given channels.
    QString programDirectory(const QStringList& channels)
    {
        const QString home = work.filePath(QStringLiteral("home%1").arg(++made));
        const QString setting = home + QStringLiteral("/InfoCenter/setting.ini");
        QDir().mkpath(home + QStringLiteral("/InfoCenter"));
        ProfileFile::write(setting, "Channels", "Count", QString::number(channels.size()));
        for (int n = 0; n < channels.size(); ++n)
            ProfileFile::write(setting, "Channels", QStringLiteral("Channel%1").arg(n + 1), channels.at(n));
        ProfileFile::write(setting, "NewsChannel", "LastNewsTime", "2024-05-01 08:30");
        return home;
    }

    void runCheck(NewsCheck& check)
    {
        QSignalSpy finished(&check, &NewsCheck::finished);
        QCOMPARE(check.start(true), 0);
        QVERIFY(finished.wait(10000));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(service.isListening());
        presenter = RecordingPresenter::install();
        LIB_SetDesktopUrlOpener([this](const QUrl& url) {
            openedLinks << url.toString();
            return true;
        });
        service.bodies.insert("/a.txt", QByteArray(200000, 'a'));
        service.bodies.insert("/b.txt", "bee");
        service.bodies.insert("/page.htm", "<html><body><p>新版本说明</p></body></html>");
    }

    // The queue runs its tasks one after the other; a stalled transfer times out and is tried
    // again; a file the service lacks fails after the attempts and leaves no file.
    void downloadQueue_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<int>("stalls");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QList<int>>("attempts");
        using Texts = QStringList;
        QTest::newRow("in turn") << Texts{"/a.txt", "/b.txt"} << 0 << Texts{"Completed", "Completed"}
                                 << QList<int>{1, 1};
        QTest::newRow("stalled, then retried") << Texts{"/b.txt"} << 1 << Texts{"Completed"} << QList<int>{2};
        QTest::newRow("missing") << Texts{"/gone.txt", "/b.txt"} << 0 << Texts{"Failed", "Completed"}
                                 << QList<int>{3, 1};
    }
    void downloadQueue()
    {
        QFETCH(QStringList, paths);
        QFETCH(int, stalls);
        QFETCH(QStringList, states);
        QFETCH(QList<int>, attempts);
        cHttpDownload downloads;
        downloads.retryIntervalMs = 10;
        const QString folder = work.filePath(QStringLiteral("q%1").arg(++made));
        for (const QString& path : paths)
            QCOMPARE(downloads.AddHttpDownload(path, service.address() + path, folder + path, 80, 500), 0);
        QCOMPARE(downloads.AddHttpDownload(paths.first(), service.address() + "/b.txt", folder + "/x"), -1);
        QCOMPARE(downloads.errorString(), QStringLiteral("关键值重复"));
        QCOMPARE(downloads.DownloadListCount(), paths.size());

        QList<int> completedAtRequest;
        service.onRequest = [&](const QByteArray&) { completedAtRequest << downloads.CompletedCount(); };
        service.stalls = stalls;
        QHash<QString, qint64> totals;
        QStringList retryReasons;
        connect(&downloads, &cHttpDownload::stateChanged, this,
                [&](const QString& key, cHttpDownload::State s) {
                    totals[key] = downloads.task(key)->total;
                    if (s == cHttpDownload::State::Retrying)
                        retryReasons << downloads.task(key)->error;
                });
        QSignalSpy finished(&downloads, &cHttpDownload::queueFinished);
        downloads.StartDownload();
        QVERIFY(downloads.StillExecuting());
        QVERIFY(finished.wait(10000));
        service.onRequest = nullptr;

        QVERIFY(!downloads.StillExecuting());
        QCOMPARE(retryReasons.contains(QStringLiteral("下载超时")), stalls > 0);
        int completed = 0;
        for (int i = 0; i < paths.size(); ++i) {
            const cHttpDownload::Task* task = downloads.task(paths.at(i));
            QCOMPARE(QString::fromLatin1(stateName(task->state)), states.at(i));
            QCOMPARE(task->attempts, attempts.at(i));
            if (task->state == cHttpDownload::State::Completed) {
                ++completed;
                QCOMPARE(readFile(folder + paths.at(i)), service.bodies.value(paths.at(i).toLatin1()));
                QCOMPARE(totals.value(paths.at(i)), service.bodies.value(paths.at(i).toLatin1()).size());
            } else {
                QVERIFY(!QFile::exists(folder + paths.at(i)));
            }
        }
        QCOMPARE(downloads.CompletedCount(), completed);
        // Each request went out only after the task before it had ended.
        QCOMPARE(completedAtRequest.size(), std::accumulate(attempts.begin(), attempts.end(), 0));
        QVERIFY(std::is_sorted(completedAtRequest.begin(), completedAtRequest.end()));
        QCOMPARE(completedAtRequest.last(), completed - 1);
    }

    // The channels' answers become messages in news.xml; new "W" pages land in their folders.
    void channelCheck_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("stored"); // "id:type:read" of each stored message
        QTest::addColumn<int>("added");
        QTest::addColumn<bool>("advanced"); // LastNewsTime moved on
        QTest::addColumn<QString>("message");
        const QString known = QStringLiteral("100:T:1 101:T:1");
        QTest::newRow("one of each type") << threeTypes << "101:T:0 102:L:0 103:W:0" << 3 << true << "";
        QTest::newRow("known message kept") << threeTypes << known + " 102:L:0 103:W:0" << 2 << true << "";
        QTest::newRow("channel fails") << QByteArray() << known << 0 << false << "";
        QTest::newRow("answer not XML") << QByteArray("Server Error") << known << 0 << false << "";
        QTest::newRow("no channel") << QByteArray() << known << 0 << false << "没有设定消息频道！";
    }
    void channelCheck()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, stored);
        QFETCH(bool, advanced);
        QFETCH(QString, message);
        const bool noChannel = !message.isEmpty();
        const QString home =
            programDirectory(noChannel ? QStringList() : QStringList{service.address() + "/news/"});
        NewsCheck check(home);
        check.downloads().retryIntervalMs = 10;
        if (QTest::currentDataTag() != QLatin1String("one of each type")) {
            NewsMessage known{"100", "旧消息", "", "", "T", "", "", true, false};
            NewsMessage again = known;
            again.id = QStringLiteral("101");
            check.store().save({known, again});
        }
        const QByteArray path = "/news/CheckLastNews.aspx?lasttime=2024-05-01";
        service.bodies.remove(path);
        if (!answer.isEmpty())
            service.bodies.insert(
                path, QByteArray(answer).replace("%PAGE%", (service.address() + "/page.htm").toUtf8()));
        presenter->clear();
        service.requests.clear();
        QSignalSpy arrived(&check, &NewsCheck::messagesArrived);
        if (noChannel) {
            QCOMPARE(check.start(false), -1);
            QCOMPARE(presenter->boxes.size(), 0);
            QCOMPARE(check.start(true), -1);
            QCOMPARE(presenter->lastText(), message);
            QCOMPARE(presenter->boxes.last().title, QStringLiteral("提示"));
        } else {
            runCheck(check);
            QCOMPARE(arrived.size(), 1);
            QTEST(arrived.first().first().toInt(), "added");
            QCOMPARE(service.requests.first(), "GET " + path + " HTTP/1.1");
        }

        QStringList found;
        for (const NewsMessage& m : check.store().load())
            found << QStringLiteral("%1:%2:%3").arg(m.id, m.type).arg(int(m.read));
        QCOMPARE(found.join(' '), stored);
        QCOMPARE(check.store().lastNewsTime() != QLatin1String("2024-05-01 08:30"), advanced);
        if (advanced)
            QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$")
                        .match(check.store().lastNewsTime())
                        .hasMatch());
        QCOMPARE(QFile::exists(check.store().pageFile("103")), stored.contains("103"));
        if (stored.contains("103"))
            QCOMPARE(readFile(check.store().pageFile("103")), service.bodies.value("/page.htm"));
        QVERIFY(!QFile::exists(check.store().answerFile(0)));
        QVERIFY(!QFile::exists(work.filePath(QStringLiteral("home%1/InfoCenter/evil").arg(made))));
    }

    // Showing a message: text in the browser, a link opened, a page from its local copy; each is
    // then marked read.
    void windowShowsMessages_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("opened");
        // clang-format off
        QTest::newRow("text") << 0 << "周六停机维护" << "";
        QTest::newRow("link") << 1 << "http://example.org/bbs" << "http://example.org/bbs";
        QTest::newRow("page") << 2 << "新版本说明" << "";
        // clang-format on
    }
    void windowShowsMessages()
    {
        QFETCH(int, row);
        QFETCH(QString, shown);
        const QString home = programDirectory({service.address() + "/news/"});
        service.bodies.insert(
            "/news/CheckLastNews.aspx?lasttime=2024-05-01",
            QByteArray(threeTypes).replace("%PAGE%", (service.address() + "/page.htm").toUtf8()));
        openedLinks.clear();
        frmNewsManager window(home);
        window.readDelayMs = 0;
        window.check().downloads().retryIntervalMs = 10;
        window.show();
        runCheck(window.check());
        auto* list = window.findChild<QTableView*>("vsNews");
        QCOMPARE(list->model()->rowCount(), 3);
        QCOMPARE(list->model()->index(row, 4).data().toString(), QStringLiteral("未读"));
        list->setCurrentIndex(list->model()->index(row, 0));
        auto* browser = window.findChild<QTextBrowser*>("webNews");
        QVERIFY(browser->toPlainText().contains(shown));
        QTEST(openedLinks.join(' '), "opened");
        QTRY_COMPARE(list->model()->index(row, 4).data().toString(), QStringLiteral("已读"));
        QVERIFY(window.check().store().load().at(row).read);
        window.check().downloads().Clear();
    }

    // Ticked messages are deleted with their folders after the question; closing while a download
    // runs asks first.
    void windowDeletesAndAsksBeforeClosing()
    {
        const QString home = programDirectory({service.address() + "/slow/"});
        NewsStore store(home);
        store.save({{"1", "甲", "", "", "T", "", "", false, true},
                    {"2", "乙", "", "", "W", "", "", false, false},
                    {"3", "丙", "", "", "W", "", "", false, true}});
        QDir().mkpath(store.pageFolder("3"));
        frmNewsManager window(home);
        window.show();
        presenter->clear();
        presenter->answerNext(1);
        window.deleteMessages();
        QCOMPARE(presenter->boxes.last().title, QStringLiteral("删除消息"));
        QCOMPARE(presenter->lastText(), QStringLiteral("是否确定删除您所选择的消息？"));
        QCOMPARE(store.load().size(), 1);
        QCOMPARE(store.load().first().id, QStringLiteral("2"));
        QVERIFY(!QDir(store.pageFolder("3")).exists());

        service.stalls = 1;
        window.checkNow();
        QVERIFY(window.check().running());
        presenter->answerNext(2);
        window.close();
        QVERIFY(window.isVisible());
        QCOMPARE(presenter->lastText(),
                 QStringLiteral("关闭此窗体将中止正在进行的操作，您是否确定关闭此窗口？"));
        presenter->answerNext(1);
        window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(!window.check().running());
        service.stalls = 0;
    }
};

QTEST_MAIN(TestNewsCentre)
#include "tst_newscentre.moc"
