#include "robustdesk.h"

#include <QThread>

namespace {
thread_local int t_deskTag = 0;
} // namespace

SharedPresenter* SharedPresenter::install()
{
    auto presenter = std::make_unique<SharedPresenter>();
    SharedPresenter* raw = presenter.get();
    LIB_SetMessagePresenter(std::move(presenter));
    return raw;
}

void SharedPresenter::setDeskTag(int tag)
{
    t_deskTag = tag;
}

int SharedPresenter::show(const Box& box)
{
    std::function<int(const Box&)> answer;
    {
        QMutexLocker lock(&m_mutex);
        m_boxes.append({t_deskTag, box.text});
        answer = m_answer;
    }
    return answer ? answer(box) : 1;
}

void SharedPresenter::setAnswer(std::function<int(const Box&)> answer)
{
    QMutexLocker lock(&m_mutex);
    m_answer = std::move(answer);
}

QStringList SharedPresenter::texts(int tag) const
{
    QMutexLocker lock(&m_mutex);
    QStringList result;
    for (const auto& box : m_boxes) {
        if (box.first == tag)
            result.append(box.second);
    }
    return result;
}

QStringList SharedPresenter::takeTexts(int tag)
{
    const QStringList result = texts(tag);
    QMutexLocker lock(&m_mutex);
    m_boxes.removeIf([tag](const QPair<int, QString>& box) { return box.first == tag; });
    return result;
}

void SharedPresenter::clear()
{
    QMutexLocker lock(&m_mutex);
    m_boxes.clear();
    m_answer = nullptr;
}

AdminLink::AdminLink(const ConnectionValues& values)
{
    m_session.setConnectionValues(values);
}

bool AdminLink::connect()
{
    if (m_session.connect() == 0)
        return true;
    m_error = m_session.error().description;
    m_session.error().clear();
    return false;
}

// A statement that fails on a session the server has dropped meanwhile is tried once more on a
// new one.
bool AdminLink::run(const std::function<int(DbSession&)>& statement)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_session.isConnected() && !connect())
            return false;
        if (statement(m_session) == 0)
            return true;
        m_error = m_session.error().description;
        m_session.error().clear();
        if (m_session.isConnected())
            break;
    }
    return false;
}

QString AdminLink::text(const QString& sql)
{
    ResultTable table;
    if (!run([&](DbSession& session) { return session.select(sql, table = ResultTable()); }))
        return {};
    return table.recordCount() > 0 ? table.value(0, 2).toString() : QStringLiteral("");
}

bool AdminLink::exec(const QString& sql)
{
    return run([&](DbSession& session) { return session.execute(sql, 0); });
}

bool ProcedurePause::install(AdminLink& admin, const QStringList& tables)
{
    // The session sleeps in short steps while its point is armed, a minute at most. The deferred
    // trigger runs when the transaction commits; its argument names the point.
    bool ok = admin.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS fault_point (tbl text PRIMARY KEY)")) &&
              admin.exec(QStringLiteral(
                  "CREATE OR REPLACE FUNCTION fault_pause() RETURNS trigger LANGUAGE plpgsql AS $$ "
                  "DECLARE point text := coalesce(TG_ARGV[0], TG_TABLE_NAME); "
                  "BEGIN "
                  "  FOR step IN 1 .. 6000 LOOP "
                  "    EXIT WHEN NOT EXISTS (SELECT 1 FROM fault_point WHERE tbl = point); "
                  "    PERFORM pg_sleep(0.01); "
                  "  END LOOP; "
                  "  RETURN NULL; "
                  "END $$"));
    for (const QString& table : tables) {
        ok = ok &&
             admin.exec(QStringLiteral("CREATE OR REPLACE TRIGGER fault_pause AFTER INSERT OR UPDATE OR "
                                       "DELETE ON %1 FOR EACH ROW EXECUTE FUNCTION fault_pause()")
                            .arg(table)) &&
             admin.exec(QStringLiteral("DROP TRIGGER IF EXISTS fault_pause_commit ON %1; CREATE CONSTRAINT "
                                       "TRIGGER fault_pause_commit AFTER INSERT OR UPDATE OR DELETE ON %1 "
                                       "DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION "
                                       "fault_pause('%2')")
                            .arg(table, QLatin1String(AtCommit)));
    }
    return ok;
}

bool ProcedurePause::arm(AdminLink& admin, const QString& table)
{
    return admin.exec(
        QStringLiteral("INSERT INTO fault_point VALUES ('%1') ON CONFLICT DO NOTHING").arg(table));
}

bool ProcedurePause::release(AdminLink& admin)
{
    return admin.exec(QStringLiteral("DELETE FROM fault_point"));
}

bool ProcedurePause::awaitPaused(AdminLink& watcher, int pid, const std::atomic<bool>& operationDone)
{
    const QString sleeping =
        QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = %1 AND wait_event = 'PgSleep'")
            .arg(pid);
    // Bounded: a few thousand looks, each a round trip and a short rest.
    for (int look = 0; look < 3000 && !operationDone; ++look) {
        if (watcher.number(sleeping) == 1)
            return true;
        QThread::msleep(5);
    }
    return false;
}

int robustnessRounds(int fallback)
{
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("READDESK_ROBUSTNESS_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : fallback;
}

int robustnessSeconds(int fallback)
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("READDESK_ROBUSTNESS_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : fallback;
}
