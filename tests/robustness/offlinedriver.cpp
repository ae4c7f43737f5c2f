// A desk without a window for the offline tests, run as a child process that the test may kill:
//
//   offlinedriver <program directory> <dsn> <user> <password>
//
// set up as after A001's login at R1, it reads commands from standard input, one per line, and
// answers each on standard output:
//
//   checkin <card> | count <book>   the scan as the desk window routes it: recorded at once, or,
//                                   after a lost connection the operator does not restore (every
//                                   reconnect question is cancelled), kept in the offline journal
//                                   -> "recorded", "refused" or "journaled <waiting scans>"
//   catchup                         the start after a login: catches up with the journal
//                                   -> "caught up <refused scans>", or "offline"
#include "codes/codetables.h"
#include "db/database.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "desk/admission.h"
#include "desk/offlinedesk.h"
#include "desk/recording.h"
#include "info/marcindexparams.h"
#include "startup/desksettings.h"
#include "startup/environment.h"
#include "startup/operatorsession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTextStream>
#include <cstdio>

namespace {

// No one answers: a question is cancelled, and every box is written to standard error.
class CancellingPresenter : public MessagePresenter
{
public:
    int show(const Box& box) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        return 2;
    }
};

void answer(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

bool prepare(const QStringList& args)
{
    const QString home = args.at(1) + QLatin1Char('/');
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home + QStringLiteral("store"));
    Environment::instance().setProgramDirectory(home);
    DbSession::current().setConnectionValues({args.at(2), args.at(3), args.at(4)});
    if (LIB_DB_Connect() != 0 || LIB_LoadBaseData() != 0 || LIB_LoadCodeTables() != 0 ||
        LIB_LoadLocations(3) != 0 || MarcIndexParameters::instance().load() != 0)
        return false;
    OperatorSession::current().workerNumber = QStringLiteral("A001");
    OperatorSession::current().location = QStringLiteral("R1");
    DeskSettings& settings = DeskSettings::current();
    settings.checkViolations = settings.checkDebts = settings.checkValidity = 1;
    settings.localReaderTypesOnly = settings.showReaderPhoto = settings.settleFines = 0;
    return true;
}

// A scan routed as the desk window routes it.
QString scan(OfflineDesk& offline, DeskMode mode, const QString& code)
{
    DeskContext desk;
    desk.mode = mode;
    desk.location = QStringLiteral("R1");
    desk.worker = QStringLiteral("A001");
    const bool counting = mode == DeskMode::BookCounting;
    bool uncertain = false;
    if (!offline.journals()) {
        const int losses = offline.lossesSeen();
        ReaderAdmission admission;
        const bool recorded = counting ? countOrRegisterBook(desk, code) == 0
                                       : !admission.admit(desk, code).refused && recordCheckIn(desk) == 0;
        if (recorded)
            return QStringLiteral("recorded");
        if (offline.lossesSeen() == losses || !offline.isOffline())
            return QStringLiteral("refused");
        uncertain = offline.lastLossAtCommit();
    }
    OfflineScan journaled;
    journaled.worker = desk.worker;
    journaled.location = desk.location;
    journaled.mode = mode;
    (counting ? journaled.bookCode : journaled.readerCode) = code;
    journaled.uncertain = uncertain;
    if (!offline.journalScan(journaled))
        return QStringLiteral("journal failed: ") + offline.journalError();
    return QStringLiteral("journaled %1").arg(offline.waitingCount());
}

QString catchUp(OfflineDesk& offline)
{
    QEventLoop loop;
    int refused = 0;
    QObject::connect(&offline, &OfflineDesk::caughtUp, &loop, [&](int count) {
        refused = count;
        loop.quit();
    });
    QObject::connect(&offline, &OfflineDesk::stateChanged, &loop, [&] {
        if (offline.isOffline())
            loop.quit();
    });
    offline.start(QStringLiteral("A001"), [](const QStringList&, int) { return true; });
    if (offline.state() == OfflineDesk::State::CatchingUp)
        loop.exec();
    return offline.isOffline() ? QStringLiteral("offline") : QStringLiteral("caught up %1").arg(refused);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: offlinedriver <program directory> <dsn> <user> <password>\n");
        return 2;
    }
    LIB_SetMessagePresenter(std::make_unique<CancellingPresenter>());
    if (!prepare(args)) {
        std::fprintf(stderr, "offlinedriver: %s\n", qPrintable(LIB_DB_Error().description));
        return 1;
    }
    OfflineDesk offline;
    if (!offline.openJournal(OfflineJournal::pathIn(Environment::instance().programDirectory()))) {
        std::fprintf(stderr, "offlinedriver: %s\n", qPrintable(offline.journalError()));
        return 1;
    }
    answer(QStringLiteral("ready"));
    QTextStream in(stdin);
    QString line;
    while (in.readLineInto(&line)) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.value(0) == QLatin1String("checkin"))
            answer(scan(offline, DeskMode::ReaderCheckIn, words.value(1)));
        else if (words.value(0) == QLatin1String("count"))
            answer(scan(offline, DeskMode::BookCounting, words.value(1)));
        else if (words.value(0) == QLatin1String("catchup"))
            answer(catchUp(offline));
        else
            answer(QStringLiteral("unknown command: ") + line);
    }
    return 0;
}
